// The host services through the engine script and the driver: the tray
// icon and its menu, the input box and the wait for a key.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

const char16_t kForm[] = u"窗口 w \"服务\" 0 0 300 200 | 窗口初始化:main.init|窗口销毁:main.quit|\n窗口结束\n";

// The input box of the process with this caption. A box that closes while
// it is looked at reads as an empty caption: it must still be shown after
// its caption was read.
HWND FindInputBox(driver::HostProcess& host, const std::wstring& caption) {
  HWND found = nullptr;
  host.ServeUntil(
      [&] {
        for (HWND window : driver::TopLevelWindows(host.processId()))
          if (IsWindowVisible(window) && GetDlgItem(window, 1001) && driver::WindowText(window) == caption &&
              IsWindowVisible(window))
            return (found = window) != nullptr;
        return false;
      },
      15000);
  return found;
}

void Answer(HWND box, const std::wstring& typed, bool ok) {
  HWND edit = GetDlgItem(box, 1001);
  for (wchar_t c : typed) PostMessageW(edit, WM_CHAR, c, 0);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
}

std::string Result(HostRun& run, const std::string& function, size_t index = 0) {
  size_t seen = 0;
  for (const std::string& line : run.LogLines())
    if (line.rfind(function + ": send ", 0) == 0 && seen++ == index) return line.substr(line.find(" -> ") + 4);
  return "(none)";
}

TEST(Services, InputBoxes) {
  const std::wstring exe =
      Project(L"input box")
          .Form(kForm)
          .Script("func main.init\n  start main.ask\nend\n"
                  "func main.ask\n"
                  "  send 1679 rec(int 0, str \"标题\", str \"请输入\", outptr) 0\n"
                  "  send 1679 rec(int 0, str \"空\", str \"x\", outptr) 0\n"
                  "  send 1679 rec(int 0, str \"取消\", str \"x\", outptr) 0\n"
                  "  send 1679 rec(int 0, str null, str null, outptr) 0\n"
                  "  start main.first\n  sleep 500\n  start main.second\nend\n"
                  "func main.first\n  send 1679 rec(int 0, str \"A\", str \"a\", outptr) 0\nend\n"
                  "func main.second\n  send 1679 rec(int 0, str \"B\", str \"b\", outptr) 0\nend\n")
          .Engine()
          .Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));

  HWND box = FindInputBox(run.host(), L"标题");
  ASSERT_TRUE(box);
  EXPECT_EQ(driver::WindowText(GetDlgItem(box, 1000)), L"请输入");
  EXPECT_EQ(SendMessageW(GetDlgItem(box, 1001), EM_GETLIMITTEXT, 0, 0), 1023);
  Answer(box, L"你好 world", true);
  box = FindInputBox(run.host(), L"空");
  ASSERT_TRUE(box);
  Answer(box, L"", true);
  box = FindInputBox(run.host(), L"取消");
  ASSERT_TRUE(box);
  Answer(box, L"not taken", false);
  box = FindInputBox(run.host(), L"");
  ASSERT_TRUE(box);
  EXPECT_EQ(driver::WindowText(GetDlgItem(box, 1000)), L"");
  Answer(box, L"n", true);

  // Two boxes from two threads, open at once, answered in reverse order.
  HWND first = FindInputBox(run.host(), L"A");
  HWND second = FindInputBox(run.host(), L"B");
  ASSERT_TRUE(first && second);
  Answer(second, L"bee", true);
  ASSERT_TRUE(run.WaitForLog("main.second: send 1679", 10000));
  Answer(first, L"ay", true);
  ASSERT_TRUE(run.WaitForLog("main.first: send 1679", 10000));

  const std::string slot = "outptr@" + std::to_string(sizeof(void*) * 3) + "=";
  EXPECT_EQ(Result(run, "main.ask", 0), "1 " + slot + "\"你好 world\"");
  EXPECT_EQ(Result(run, "main.ask", 1), "1 " + slot + "\"\"");
  EXPECT_EQ(Result(run, "main.ask", 2), "0 " + slot + "\"\"");
  EXPECT_EQ(Result(run, "main.ask", 3), "1 " + slot + "\"n\"");
  EXPECT_EQ(Result(run, "main.first"), "1 " + slot + "\"ay\"");
  EXPECT_EQ(Result(run, "main.second"), "1 " + slot + "\"bee\"");
  ASSERT_TRUE(run.CloseAndWait());
}

TEST(Services, WaitForAKey) {
  const std::wstring exe = Project(L"wait key")
                               .Form(kForm)
                               .Script("func main.init\n  start main.wait\nend\n"
                                       "func main.wait\n  log shift\n  send 2674 0 0\n  sleep 1500\n  log letter\n"
                                       "  send 2674 0 0\nend\n")
                               .Engine()
                               .Pack();
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  ASSERT_TRUE(run.WaitForLog("main.wait: log shift", 10000));
  run.host().ServeUntil([] { return false; }, 300);
  driver::KeyDown(VK_LSHIFT);
  run.host().ServeUntil([] { return false; }, 400);
  driver::KeyUp(VK_LSHIFT);
  ASSERT_TRUE(run.WaitForLog("main.wait: log letter", 10000));
  // A mouse click does not end the wait; a letter does.
  driver::ClickAt(main, 50, 50);
  run.host().ServeUntil([] { return false; }, 400);
  EXPECT_FALSE(run.WaitForLog("main.wait: send 2674 0 0 -> 0", 10));
  driver::KeyDown('Q');
  run.host().ServeUntil([] { return false; }, 400);
  driver::KeyUp('Q');
  ASSERT_TRUE(run.WaitForLog("main.wait: send 2674 0 0 -> 81", 10000));
  EXPECT_EQ(Result(run, "main.wait", 0), "16");  // left Shift reads as the generic Shift
  ASSERT_TRUE(run.CloseAndWait());
}

// Two waits at once end with the same key; a quit message ends a wait
// with 0 and the host closes cleanly.
TEST(Services, NestedWaitsAndQuit) {
  const std::wstring exe = Project(L"nested wait")
                               .Form(kForm)
                               .Script("func main.init\n  start main.a\n  start main.b\nend\n"
                                       "func main.a\n  send 2674 0 0\n  log a done\n  send 2674 0 0\nend\n"
                                       "func main.b\n  sleep 300\n  send 2674 0 0\n  log b done\n"
                                       "  sleep 1500\n  post 18 0 0\nend\n")
                               .Engine()
                               .Pack();
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  run.host().ServeUntil([] { return false; }, 800);
  driver::KeyDown('Z');
  run.host().ServeUntil([] { return false; }, 400);
  driver::KeyUp('Z');
  ASSERT_TRUE(run.WaitForLog("main.b: log b done", 10000));
  ASSERT_TRUE(run.WaitForLog("main.a: log a done", 10000));
  EXPECT_EQ(Result(run, "main.a", 0), "90");
  EXPECT_EQ(Result(run, "main.b", 0), "90");
  ASSERT_TRUE(run.host().WaitForExit(30000));
  EXPECT_EQ(Result(run, "main.a", 1), "0");
  EXPECT_EQ(run.EntryLines().back(), "QSTerminate done");
  EXPECT_FALSE(driver::DirectoryExists(run.WorkDir()));
}

// A notification area of the test's own: Wine's shell hands each tray
// request to the first "Shell_TrayWnd" window as WM_COPYDATA (the request in
// dwData, the icon's data in the record below).
struct TrayRecord {
  LONG window;
  UINT id;
  UINT flags;
  UINT callback;
  WCHAR tip[128];
};

struct TrayRequest {
  DWORD message;
  TrayRecord record;
};

std::vector<TrayRequest> g_tray;

LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    TrayRequest request{static_cast<DWORD>(data->dwData), {}};
    memcpy(&request.record, data->lpData, std::min<size_t>(data->cbData, sizeof request.record));
    g_tray.push_back(request);
    return TRUE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateFakeTray() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  HWND tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return tray;
}

TEST(Services, TrayIconMenuAndMinimise) {
  const std::string tip(200, 't');
  const std::wstring exe = Project(L"tray")
                               .Form(kForm)
                               .Script("func main.init\n  start main.tray\nend\n"
                                       "func main.tray\n  send 1675 \"" + tip + "\" 0\n"
                                       "  send 1676 5 515\n  send 1676 128 512\n  log ready\nend\n")
                               .Engine()
                               .Pack();
  HWND tray = CreateFakeTray();
  ASSERT_TRUE(tray);
  g_tray.clear();
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  ASSERT_TRUE(run.WaitForLog("main.tray: log ready", 10000));
  EXPECT_EQ(Result(run, "main.tray", 0), "0");
  EXPECT_EQ(Result(run, "main.tray", 1), "1");  // another icon id
  EXPECT_EQ(Result(run, "main.tray", 2), "0");

  // The icon's record: id 128, callback 1676, icon and tip, the tip cut to 127 characters.
  ASSERT_FALSE(g_tray.empty());
  EXPECT_EQ(g_tray[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_tray[0].record.window, HandleToLong(main));
  EXPECT_EQ(g_tray[0].record.id, 128u);
  EXPECT_EQ(g_tray[0].record.flags & 7u, 7u);
  EXPECT_EQ(g_tray[0].record.callback, 1676u);
  EXPECT_EQ(std::wstring(g_tray[0].record.tip), std::wstring(127, L't'));

  // The notification area restarts: the icon is added again.
  SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  run.host().ServeUntil([] { return g_tray.size() >= 2; }, 5000);
  ASSERT_GE(g_tray.size(), 2u);
  EXPECT_EQ(g_tray[1].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_tray[1].record.id, 128u);

  // Minimising hides the window; a double click on the icon brings it back.
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(run.host().ServeUntil([&] { return !IsWindowVisible(main); }, 10000));
  SendMessageW(main, 1676, 128, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_FALSE(IsIconic(main));

  // The menu: "激活", "关闭"; choosing "关闭" runs the close sequence. It
  // opens once the restored window is the host thread's active window (an
  // activation still on its way would cancel it), and the keys go to it
  // once its loop runs.
  const DWORD hostThread = GetWindowThreadProcessId(main, nullptr);
  auto gui = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(hostThread, &info);
    return info;
  };
  ASSERT_TRUE(run.host().ServeUntil([&] { return gui().hwndActive == main; }, 10000));
  PostMessageW(main, 1676, 128, WM_RBUTTONUP);
  HWND menu = nullptr;
  run.host().ServeUntil(
      [&] {
        for (HWND window : driver::TopLevelWindows(run.host().processId()))
          if (driver::WindowClass(window) == L"#32768" && IsWindowVisible(window)) menu = window;
        return menu && (gui().flags & GUI_POPUPMENUMODE);
      },
      10000);
  ASSERT_TRUE(menu) << "menu mode " << (gui().flags & GUI_POPUPMENUMODE) << ", active window " << gui().hwndActive;
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
  ASSERT_TRUE(run.host().WaitForExit(30000));
  EXPECT_EQ(run.CloseSequenceFault(), "");
  EXPECT_EQ(g_tray.back().message, static_cast<DWORD>(NIM_DELETE));
  DestroyWindow(tray);
}

// The same services through the product engine's named functions.
TEST(Services, LuaTrayInputBoxAndWaitForAKey) {
  const std::wstring exe = Project(L"lua services")
                               .Form(kForm)
                               .Script("function main.init() start('main.go') end\n"
                                       "function main.go()\n"
                                       "  tray('Lua 提示')\n"
                                       "  log('answered', input('问', '名字'))\n"
                                       "  log('cancelled', input('再问', '名字'))\n"
                                       "  log('waiting')\n"
                                       "  log('key', wait_key())\n"
                                       "end\n")
                               .Engine(L"lua\\scriptcore.dll")
                               .Pack();
  HWND tray = CreateFakeTray();
  ASSERT_TRUE(tray);
  g_tray.clear();
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  HWND box = FindInputBox(run.host(), L"问");
  ASSERT_TRUE(box);
  EXPECT_EQ(driver::WindowText(GetDlgItem(box, 1000)), L"名字");
  Answer(box, L"张三", true);
  box = FindInputBox(run.host(), L"再问");
  ASSERT_TRUE(box);
  Answer(box, L"not taken", false);
  ASSERT_TRUE(run.WaitForLog("waiting", 10000));
  // The wait begins just after the line: the key is held down until it is seen.
  driver::KeyDown('Q');
  EXPECT_TRUE(run.WaitForLog("key\t81", 20000));
  driver::KeyUp('Q');
  const std::vector<std::string> lines = run.LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "answered\t张三"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "cancelled\tnil"), lines.end());
  ASSERT_FALSE(g_tray.empty());
  EXPECT_EQ(g_tray[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(std::wstring(g_tray[0].record.tip), L"Lua 提示");
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(run.host().ServeUntil([&] { return !IsWindowVisible(main); }, 10000)) << "minimising hides the window";
  SendMessageW(main, 1676, 128, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(run.CloseAndWait());
  DestroyWindow(tray);
}

}  // namespace
}  // namespace qs::test
