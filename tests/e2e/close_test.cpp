// Closing the program in every state it can be in: inside the nested loops
// of the wait for a key, the input box, a message box and the About box;
// right after the script that asked for it has ended; with an engine that
// cannot be stopped. The close sequence runs once, in order, and the
// process ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const char16_t kForm[] =
    u"窗口 w \"关闭\" 0 0 300 200 | 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"文字\" 10 10 100 30 |\n"
    u"窗口结束\n";

size_t CountLines(HostRun& run, const std::string& prefix) {
  size_t n = 0;
  for (const std::string& line : run.LogLines()) n += line.rfind(prefix, 0) == 0;
  return n;
}

std::string SendResult(HostRun& run, const std::string& function) {
  for (const std::string& line : run.LogLines())
    if (line.rfind(function + ": send ", 0) == 0) return line.substr(line.find(" -> ") + 4);
  return "(none)";
}

bool HasVisibleWindow(HostRun& run, const std::wstring& caption) {
  for (HWND window : driver::TopLevelWindows(run.host().processId()))
    if (IsWindowVisible(window) && driver::WindowText(window) == caption) return true;
  return false;
}

// How a user (or the system) asks the program to close.
enum class Trigger { Escape, CloseBox, TrayClose, LogOff };

const char* TriggerName(Trigger trigger) {
  switch (trigger) {
    case Trigger::Escape: return "Escape";
    case Trigger::CloseBox: return "the close box";
    case Trigger::TrayClose: return "the tray menu's close";
    case Trigger::LogOff: return "log-off";
  }
  return "?";
}

void RequestClose(HWND main, Trigger trigger) {
  switch (trigger) {
    case Trigger::Escape: PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0); break;
    case Trigger::CloseBox: PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case Trigger::TrayClose: PostMessageW(main, WM_COMMAND, 1678, 0); break;
    case Trigger::LogOff: {
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
      SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
      break;
    }
  }
}

struct NestedLoop {
  const char* name;
  std::string script;    // main.nested runs the loop's request
  std::string expected;  // what main.nested's request returns; empty: no request
  // Opens the loop (when the script does not) and waits until it runs.
  std::function<bool(HostRun&, HWND main)> open;
};

const std::string kSlot = "outptr@" + std::to_string(sizeof(void*) * 3) + "=";

const NestedLoop kLoops[] = {
    {"the wait for a key", "  log waiting\n  send 2674 0 0\n", "0",
     [](HostRun& run, HWND) { return run.WaitForLog("main.nested: log waiting", 10000); }},
    {"the input box", "  send 1679 rec(int 0, str \"问\", str \"p\", outptr) 0\n", "0 " + kSlot + "\"\"",
     [](HostRun& run, HWND) {
       return run.host().ServeUntil([&] { return HasVisibleWindow(run, L"问"); }, 10000);
     }},
    {"a wrong name's message box", "  send 1525 \"没有\" \"x\"\n", "0",
     [](HostRun& run, HWND) {
       return run.host().ServeUntil([&] { return !driver::MessageBoxes(run.host().processId()).empty(); }, 10000);
     }},
    {"the About box", "", "",
     [](HostRun& run, HWND main) {
       PostMessageW(main, WM_SYSCOMMAND, 0x10, 0);
       return run.host().ServeUntil([&] { return HasVisibleWindow(run, L"关于 QSExe"); }, 10000);
     }},
};

// A close request inside a nested loop ends the loop (as a cancel, or a
// wait with no key), then the close sequence runs once, after the loop's
// handler has returned, and the program ends with nothing left. (The close
// box of a window that a message box or the input box has disabled cannot
// be clicked; the tray menu and the session's end still reach it.)
TEST(Close, InsideNestedLoops) {
  const struct {
    size_t loop;
    Trigger trigger;
  } cases[] = {
      {0, Trigger::Escape}, {0, Trigger::CloseBox}, {0, Trigger::LogOff}, {1, Trigger::TrayClose},
      {1, Trigger::LogOff}, {2, Trigger::TrayClose}, {2, Trigger::LogOff},   {3, Trigger::TrayClose},
  };
  for (const auto& c : cases) {
    const NestedLoop& loop = kLoops[c.loop];
    const std::string label = std::string(loop.name) + ", closed by " + TriggerName(c.trigger);
    const std::string script =
        "func main.init\n  start main.nested\nend\nfunc main.nested\n" + loop.script + "  log returned\nend\n";
    const std::wstring exe = Project(L"nested close").Form(kForm).Script(script).Engine().Pack();
    ASSERT_FALSE(exe.empty());
    HostRun run(exe);
    run.host().set_answerBoxes(false);
    HWND main = run.host().WaitForMainWindow(30000);
    ASSERT_TRUE(main) << label;
    ASSERT_TRUE(loop.open(run, main)) << label;

    const ULONGLONG asked = GetTickCount64();
    RequestClose(main, c.trigger);
    const bool ended = run.host().WaitForExit(20000);
    const ULONGLONG took = GetTickCount64() - asked;
    ASSERT_TRUE(ended) << label << ": still running";
    printf("%s: ended %llu ms after the request\n", label.c_str(), took);
    EXPECT_EQ(run.host().exitCode(), 0u) << label;
    EXPECT_EQ(run.CloseSequenceFault(), "") << label;
    EXPECT_EQ(CountLines(run, "QSCmd module=main function=quit"), 1u) << label;
    EXPECT_EQ(CountLines(run, "QSTerminate done"), 1u) << label;
    if (!loop.expected.empty()) {
      EXPECT_EQ(SendResult(run, "main.nested"), loop.expected) << label;
    }
  }
}

// A script that asks for the close as its last statement: the program ends
// normally, however soon after the request the script's thread ends.
TEST(Close, RequestedByAScriptThatEndsAtOnce) {
  for (const char* request : {"post 273 2 0", "post 16 0 0"}) {
    const std::wstring exe = Project(L"script close")
                                 .Form(kForm)
                                 .Script(std::string("func main.init\n  start main.bye\nend\nfunc main.bye\n  ") +
                                         request + "\nend\n")
                                 .Engine()
                                 .Pack();
    HostRun run(exe);
    ASSERT_TRUE(run.host().WaitForExit(30000)) << request;
    EXPECT_EQ(run.host().exitCode(), 0u) << request;
    EXPECT_EQ(run.CloseSequenceFault(), "") << request;
  }
}

// An engine without QSTerminate cannot be told to stop: the thread that
// its destroy handler starts goes on after the close sequence, in a library
// that stays loaded until the process ends.
TEST(Close, EngineWithoutTerminateKeepsItsThreadsSafe) {
  const std::wstring exe =
      Project(L"no terminate")
          .Form(kForm)
          .Script("func main.quit\n  start main.after\nend\n"
                  "func main.after\n  repeat 100\n    send 1526 \"标签1\" buf\n    sleep 20\n  end\nend\n")
          .Engine(L"scriptcore_no_terminate.dll")
          .Pack();
  HostRun run(exe);
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_EQ(run.host().exitCode(), 0u);
  EXPECT_TRUE(run.WaitForLog("main.after: begin", 0));
  EXPECT_TRUE(run.host().boxes().empty());
}

}  // namespace
}  // namespace qs::test
