// What a faulty engine, a log-off, a crash or a locked file can do to the
// host: no crash, the expected results, nothing left behind.
#include <gtest/gtest.h>

#include "messages/control_messages.h"
#include "plugin/plugin_call_table.h"
#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const char16_t kForm[] =
    u"窗口 w \"可靠\" 0 0 400 300 | 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"文字\" 10 10 100 30 |\n"
    u"下拉框 下拉1 \"a|b|\" 10 40 100 120 |\n"
    u"窗口结束\n";

std::vector<std::string> SendResults(HostRun& run, const std::string& function) {
  std::vector<std::string> results;
  for (const std::string& line : run.LogLines())
    if (line.rfind(function + ": send ", 0) == 0) results.push_back(line.substr(line.find(" -> ") + 4));
  return results;
}

// Every message the host serves, with null pointers where it expects them,
// and plug-in records of a thread that has no object.
TEST(Reliability, NullPointersAndStrangers) {
  std::string script = "func main.init\n  start main.faults\nend\nfunc main.faults\n";
  std::vector<std::string> expected;
  size_t boxes = 0;
  for (const ControlMessage& row : ControlMessages()) {
    script += "  send " + std::to_string(row.number) + " null null\n";
    expected.push_back(std::to_string(row.wrongNameResult));
    ++boxes;  // a null name is a wrong name, whatever else is missing
    if (row.needsLParam && row.nameSource == NameSource::WParam) {
      // A label's name, no buffer: no box, unless the message needs another kind.
      script += "  send " + std::to_string(row.number) + " \"标签1\" null\n";
      expected.push_back(std::to_string(row.wrongNameResult));
      if (row.kind && *row.kind != ControlKind::Label) ++boxes;
    }
  }
  script += "  send 1525 \"标签1\" null\n";  // a null text is an empty text
  expected.push_back("1");
  script += "  send 1526 \"标签1\" buf\n";
  expected.push_back("1 buf=\"\" len=0 touched=1");
  for (unsigned number : {2525u, 2528u, 2531u}) {
    script += "  send " + std::to_string(number) + " null null\n";
    expected.push_back("0");
  }
  for (const PluginCall& call : PluginCalls()) {
    const std::string n = std::to_string(call.message), none = std::to_string(call.noObject);
    script += "  send " + n + " null buf\n  send " + n + " rec(int 12345, int 1, int 2) buf\n";
    expected.push_back(none + " buf=untouched");
    expected.push_back(none + " buf=untouched");
  }
  script += "  send 1675 null 1\n  send 1679 null null\n  send 1676 null null\n  log done\nend\n";
  expected.insert(expected.end(), {"0", "0", "1"});

  const std::wstring exe = Project(L"faults").Form(kForm).Script(script).Engine().Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  ASSERT_TRUE(run.WaitForLog("main.faults: log done", 120000));
  EXPECT_EQ(SendResults(run, "main.faults"), expected);
  EXPECT_EQ(run.host().boxes().size(), boxes);
  EXPECT_TRUE(run.host().running());
  ASSERT_TRUE(run.CloseAndWait());
}

TEST(Reliability, LogOffRunsTheCloseSequence) {
  const std::wstring exe = Project(L"log off").Form(kForm).Script("").Engine().Pack();
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(run.host().running());
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(run.host().WaitForExit(30000));
  EXPECT_EQ(run.CloseSequenceFault(), "");
}

TEST(Reliability, AKilledRunsDirectoryGoesWithTheNextStart) {
  const std::wstring exe = Project(L"killed").Form(kForm).Script("").Engine().Pack();
  const std::wstring temp = ScratchDir(L"killed temp");
  driver::StartOptions options;
  options.environment = {{L"TMP", temp}, {L"TEMP", temp}};
  auto dirOf = [&](driver::HostProcess& host) { return temp + L"\\" + std::to_wstring(host.processId()) + L"killed"; };

  HostRun dead(exe, options), live(exe, options);
  ASSERT_TRUE(dead.host().WaitForMainWindow(30000) && live.host().WaitForMainWindow(30000));
  const std::wstring deadDir = dirOf(dead.host()), liveDir = dirOf(live.host());
  dead.host().Kill();
  ASSERT_TRUE(driver::FileExists(deadDir + L"\\main.qwin"));
  // Not a work directory: no marks. It stays.
  const std::wstring stranger = temp + L"\\99999killed";
  CreateDirectoryW(stranger.c_str(), nullptr);

  HostRun next(exe, options);
  ASSERT_TRUE(next.host().WaitForMainWindow(30000));
  EXPECT_FALSE(driver::DirectoryExists(deadDir));
  EXPECT_TRUE(driver::FileExists(liveDir + L"\\main.qwin"));
  EXPECT_TRUE(driver::DirectoryExists(stranger));
  ASSERT_TRUE(next.CloseAndWait());
  ASSERT_TRUE(live.CloseAndWait());
  EXPECT_FALSE(driver::DirectoryExists(liveDir));
}

// A start never removes a directory that a running program uses, whatever
// the names and process ids: while 1demo.exe runs in <pid>1demo, demo.exe
// reads that name as the directory of a process <pid>1 that does not run.
TEST(Reliability, NoStartRemovesADirectoryInUse) {
  const std::wstring other = Project(L"one demo").Form(kForm).Script("").Engine().Pack(L"1demo.exe");
  const std::wstring demo = Project(L"demo").Form(kForm).Script("").Engine().Pack(L"demo.exe");
  ASSERT_FALSE(other.empty() || demo.empty());
  const std::wstring temp = ScratchDir(L"names temp");
  driver::StartOptions options;
  options.environment = {{L"TMP", temp}, {L"TEMP", temp}};
  auto dirOf = [&](driver::HostProcess& host, const wchar_t* title) {
    return temp + L"\\" + std::to_wstring(host.processId()) + title;
  };

  HostRun first(other, options), dead(demo, options), live(demo, options);
  ASSERT_TRUE(first.host().WaitForMainWindow(30000) && dead.host().WaitForMainWindow(30000) &&
              live.host().WaitForMainWindow(30000));
  const std::wstring firstDir = dirOf(first.host(), L"1demo"), deadDir = dirOf(dead.host(), L"demo"),
                     liveDir = dirOf(live.host(), L"demo");
  dead.host().Kill();
  ASSERT_TRUE(driver::FileExists(deadDir + L"\\main.qwin"));

  HostRun next(demo, options);
  ASSERT_TRUE(next.host().WaitForMainWindow(30000));
  EXPECT_TRUE(driver::FileExists(firstDir + L"\\main.qwin"));
  EXPECT_TRUE(driver::FileExists(firstDir + L"\\scriptcore.dll"));
  EXPECT_TRUE(driver::FileExists(liveDir + L"\\main.qwin"));
  EXPECT_FALSE(driver::DirectoryExists(deadDir));  // a dead run's directory still goes
  for (HostRun* run : {&next, &live, &first}) {
    ASSERT_TRUE(run->CloseAndWait());
  }
  EXPECT_FALSE(driver::DirectoryExists(firstDir));
  EXPECT_FALSE(driver::DirectoryExists(liveDir));
}

TEST(Reliability, ALockedFileIsRemovedByTheNextStart) {
  const std::wstring exe = Project(L"locked")
                               .Form(kForm)
                               .Script("func main.init\n  hold data.txt\nend\n")
                               .File(L"data.txt", "held open by the engine")
                               .Engine()
                               .Pack();
  const std::wstring temp = ScratchDir(L"locked temp");
  driver::StartOptions options;
  options.environment = {{L"TMP", temp}, {L"TEMP", temp}};
  HostRun first(exe, options);
  ASSERT_TRUE(first.WaitForLog("main.init: hold data.txt -> open", 30000));
  const std::wstring dir = temp + L"\\" + std::to_wstring(first.host().processId()) + L"locked";
  ASSERT_TRUE(first.CloseAndWait());
  // The locked file kept the directory; it is marked for the next start.
  ASSERT_TRUE(driver::FileExists(dir + L"\\data.txt"));
  EXPECT_TRUE(driver::FileExists(dir + L"\\.qsexe-remove"));
  EXPECT_FALSE(driver::FileExists(dir + L"\\main.qwin"));

  HostRun second(exe, options);
  ASSERT_TRUE(second.host().WaitForMainWindow(30000));
  EXPECT_FALSE(driver::DirectoryExists(dir));
  ASSERT_TRUE(second.CloseAndWait());
}

}  // namespace
}  // namespace qs::test
