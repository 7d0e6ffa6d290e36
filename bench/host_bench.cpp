// The host against the floors the platform sets, side by side in one run:
//  1. time to first window: a packaged project (about 5 MB: 2,000 small
//     files and a few incompressible ones, a 300-control form) from process
//     start until its window shows, against a trivial window program started
//     the same way plus the 7-Zip console extracting the same archive;
//  2. extraction alone: in process against the 7-Zip console program;
//  3. form loading: LoadForm of 1,024 controls against creating the same
//     1,024 windows with CreateWindowExW;
//  4. the host's work per message on the window thread (1526, 1557, 2529,
//     2546) against the platform call it wraps, and across threads;
//  5. FindControl for the last of 1,024 names of 63 units against one
//     GetWindowTextW.
// Each figure: median [min..max] over 7 repetitions after a warm-up.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/large_form.h"
#include "form/form_loader.h"
#include "host/main_dialog.h"
#include "host/package_extraction.h"
#include "host/work_directory.h"
#include "messages/control_messages.h"
#include "plugin/plugin_calls.h"
#include "plugin/plugin_objects.h"
#include "tests/support/folders.h"
#include "tests/support/form_file.h"
#include "tools/driver/driver.h"
#include "tools/qspack/pack.h"
#include "win32/dialog.h"
#include "win32/text.h"

namespace qs::bench {
namespace {

constexpr int kRepetitions = 7;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

struct Spread {
  double min, median, max;
};


// Both sides of a ratio, measured in turn within each repetition, so that
// a change of pace of the machine falls on both.
std::pair<Spread, Spread> RepeatPair(const std::function<double()>& host, const std::function<double()>& floor) {
  host();
  floor();
  std::vector<double> hosts, floors;
  for (int i = 0; i < kRepetitions; ++i) {
    hosts.push_back(host());
    floors.push_back(floor());
  }
  auto spread = [](std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return Spread{v.front(), v[v.size() / 2], v.back()};
  };
  return {spread(hosts), spread(floors)};
}

// Time per operation in microseconds of `n` calls.
std::function<double()> PerOperation(int n, const std::function<void()>& operation) {
  return [n, operation] {
    const double start = Now();
    for (int i = 0; i < n; ++i) operation();
    return (Now() - start) * 1e6 / n;
  };
}

// One line of the table (on standard error: the archiver's own report goes
// to standard output); a goal of 0 marks a line given for context.
void Row(const char* what, const char* unit, std::pair<Spread, Spread> sides, double goal, bool higherIsBetter = false) {
  const auto [host, floor] = sides;
  const double ratio = higherIsBetter ? floor.median / host.median : host.median / floor.median;
  char verdict[32] = "";
  if (goal > 0) snprintf(verdict, sizeof verdict, "%s %.2f", ratio <= goal ? "<=" : "> ", goal);
  fprintf(stderr, "%-46s %10.2f [%9.2f..%9.2f] %10.2f [%9.2f..%9.2f] %7.3f  %s%s\n", what, host.median, host.min,
          host.max, floor.median, floor.min, floor.max, ratio, verdict, unit);
}

std::wstring BinDir() { return qs::test::ProgramFolder(); }
std::wstring TempDir(const std::wstring& name) { return qs::test::EmptyTempFolder(L"qs-bench-" + name); }

// Runs a program and waits until it ends; its time in seconds.
double RunToEnd(const std::wstring& program, std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const double start = Now();
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &info))
    return -1;
  WaitForSingleObject(info.hProcess, INFINITE);
  const double elapsed = Now() - start;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return elapsed;
}

// Starts a program and measures until a visible top-level window of this
// class and caption appears; then closes it and waits for the end.
double TimeToWindow(const std::wstring& program, const wchar_t* windowClass, const wchar_t* caption,
                    const std::vector<std::pair<std::wstring, std::wstring>>& environment) {
  driver::HostProcess process;
  driver::StartOptions options;
  options.environment = environment;
  const double start = Now();
  if (!process.Start(program, options)) return -1;
  HWND window = nullptr;
  while (!(window = FindWindowW(windowClass, caption)) || !IsWindowVisible(window)) {
    if (!process.running() || Now() - start > 60) return -1;
    Sleep(0);
  }
  const double elapsed = Now() - start;
  PostMessageW(window, WM_CLOSE, 0, 0);
  process.WaitForExit(60000);
  return elapsed;
}

// ---- 1 and 2: start-up and extraction -------------------------------------------

struct Package {
  std::wstring exe, archive, extractTo;
  double megabytes = 0;
};

Package MakePackage() {
  Package package;
  const std::wstring project = TempDir(L"project");
  std::mt19937 random(7);
  std::string text;
  for (int i = 0; text.size() < 1500; ++i) text += "line " + std::to_string(i) + " of a small script file\r\n";
  double bytes = 0;
  for (int d = 0; d < 20; ++d) {
    const std::wstring dir = project + L"\\files" + std::to_wstring(d);
    CreateDirectoryW(dir.c_str(), nullptr);
    for (int f = 0; f < 100; ++f) {
      const std::string contents = text + std::to_string(d * 100 + f);
      driver::WriteFileBytes(dir + L"\\file" + std::to_wstring(f) + L".txt", contents);
      bytes += contents.size();
    }
  }
  for (int i = 0; i < 2; ++i) {  // incompressible
    std::string noise(1000 * 1000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    driver::WriteFileBytes(project + L"\\noise" + std::to_wstring(i) + L".bin", noise);
    bytes += noise.size();
  }
  driver::WriteFileBytes(project + L"\\main.qwin", test::FormFileBytes(LargeForm(300, u"启动基准")));
  driver::WriteFileBytes(project + L"\\sourseTemp.bak", "");
  CopyFileW((BinDir() + L"\\scriptcore.dll").c_str(), (project + L"\\scriptcore.dll").c_str(), FALSE);
  package.megabytes = (bytes + 2.5e6) / 1e6;

  const std::wstring out = TempDir(L"out");
  package.exe = out + L"\\startbench.exe";
  pack::PackOptions options;
  options.hostPath = BinDir() + L"\\QSExe.exe";
  if (pack::PackProject(project, package.exe, options) != pack::kPacked) return {};
  // The same archive as a file, for the console program.
  HMODULE module = LoadLibraryExW(package.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(130), L"QSLC");
  package.archive = out + L"\\package.7z";
  driver::WriteFileBytes(package.archive,
             std::string(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)));
  FreeLibrary(module);
  package.extractTo = out + L"\\extracted";
  return package;
}

void StartupAndExtraction() {
  const Package package = MakePackage();
  if (package.exe.empty()) {
    fprintf(stderr, "the benchmark project could not be packed\n");
    return;
  }
  const std::wstring temp = TempDir(L"run");
  const std::vector<std::pair<std::wstring, std::wstring>> environment = {{L"TMP", temp}, {L"TEMP", temp}};
  const std::wstring console = BinDir() + L"\\7za.exe";
  auto consoleExtract = [&] {
    DeleteDirectoryTree(package.extractTo);
    return RunToEnd(console, L"7za x -o\"" + package.extractTo + L"\" -y \"" + package.archive + L"\"");
  };
  Row("1. time to first window (ms)", "",
      RepeatPair([&] { return TimeToWindow(package.exe, L"#32770", L"启动基准", environment) * 1000; },
                 [&] {
                   return (TimeToWindow(BinDir() + L"\\trivial_window.exe", L"QSTrivialWindow", nullptr, {}) +
                           consoleExtract()) * 1000;
                 }),
      1.25);
  Row("2. extraction (MB/s; ratio: time)", "",
      RepeatPair(
          [&] {
            DeleteDirectoryTree(package.extractTo);
            CreateDirectoryW(package.extractTo.c_str(), nullptr);
            const double start = Now();
            RunArchiveCommand(L"x*-o" + package.extractTo + L"*-y*" + package.archive);
            return package.megabytes / (Now() - start);
          },
          [&] { return package.megabytes / consoleExtract(); }),
      1.1, true);
}

// ---- 3, 4, 5: a loaded window ---------------------------------------------------

// The host dialog without the rest of its start-up, hidden as it is while
// the host loads the form.
class BenchDialog : public CQSExeDlg {
 public:
  BenchDialog() {
    CreateModeless(nullptr);
    ShowWindow(hwnd(), SW_HIDE);
  }

 protected:
  BOOL OnInitDialog() override { return TRUE; }
};

// The windows LoadForm creates for LargeForm, made directly (a list box is
// two windows: its caption frame and the list in it).
void CreateTheSameWindows(HWND parent, int controls, bool withFontsAndItems = false) {
  struct Kind {
    const wchar_t* windowClass;
    DWORD style;
    UINT_PTR id;
  } kinds[] = {
      {L"Static", 0x54000100, 0xFFFF},   {L"Button", 0x54004300, 0xFFFF},    {L"Edit", 0x54811044, 0x10001},
      {L"ComboBox", 0x54200002, 0xFFFF}, {L"Button", 0x54000003, 0xFFFD},    {L"QSGroupBox", 0x54000000, 0xFFFF},
      {L"msctls_hotkey32", 0x54000000, 0xFFFF}, {L"QSListBox", 0x54800120, 0xFFFF},
  };
  for (int i = 0; i < controls; ++i) {
    const Kind& k = kinds[i % 8];
    HWND window = CreateWindowExW(0, k.windowClass, L"x", k.style, 10, 10, 80, 30, parent,
                                  reinterpret_cast<HMENU>(k.id), GetModuleHandleW(nullptr), nullptr);
    HWND list = nullptr;
    if (i % 8 == 7)
      list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL,
                             0, 10, 80, 20, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!withFontsAndItems) continue;
    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(list ? list : window, WM_SETFONT, font, FALSE);
    if (i % 8 == 3)
      for (const wchar_t* item : {L"北京", L"上海", L"广州", L"深圳"}) SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    if (list) {
      LVCOLUMNW column{};
      column.mask = LVCF_WIDTH;
      column.cx = 80;
      ListView_InsertColumn(list, 0, &column);
      for (const wchar_t* text : {L"甲", L"乙", L"丙"}) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<wchar_t*>(text);
        ListView_InsertItem(list, &item);
      }
    }
  }
}

void FormLoading() {
  SetWorkDirectory(TempDir(L"form"));
  driver::WriteFileBytes(WorkFilePath(L"main.qwin"), test::FormFileBytes(LargeForm(1024)));
  // Milliseconds of one fill of a fresh hidden dialog.
  auto timed = [](const std::function<void(BenchDialog&)>& fill) {
    return [fill] {
      BenchDialog dialog;
      const double start = Now();
      fill(dialog);
      return (Now() - start) * 1000;
    };
  };
  const auto load = timed([](BenchDialog& dialog) { LoadForm(dialog); });
  Row("3. form loading, 1,024 controls (ms)", "",
      RepeatPair(load, timed([](BenchDialog& dialog) { CreateTheSameWindows(dialog.hwnd(), 1024); })), 1.5);
  Row("   against the windows with their fonts and items (ms)", "",
      RepeatPair(load, timed([](BenchDialog& dialog) { CreateTheSameWindows(dialog.hwnd(), 1024, true); })), 0);
}

struct CallRecord {  // the record of 2529
  std::uint32_t key;
};

struct StringCallRecord {  // the record of 2546: key, 4 ints, a string, a double, an int
  std::uint32_t key;
  std::int32_t a, b, c, d;
  const wchar_t* text;
  double number;
  std::int32_t e;
};

// The window of 1,024 controls whose last names are the label and the
// progress bar the messages name.
struct LoadedWindow {
  BenchDialog dialog;
  std::u16string labelName = LongName(1023), progressName = LongName(1022);
  HWND label = nullptr, progress = nullptr;

  LoadedWindow() {
    std::u16string form = u"窗口 w \"消息基准\" 0 0 800 600 |\r\n";
    for (int i = 0; i < 1022; ++i) form += u"标签 " + LongName(i) + u" \"x\" 1 1 20 20 |\r\n";
    form += u"进度条 " + progressName + u" 10 10 200 30 |\r\n标签 " + labelName + u" \"标签的文字\" 10 40 200 60 |\r\n窗口结束\r\n";
    SetWorkDirectory(TempDir(L"messages"));
    driver::WriteFileBytes(WorkFilePath(L"main.qwin"), test::FormFileBytes(form));
    LoadForm(dialog);
    auto hwndOf = [&](const std::u16string& name) {
      return static_cast<win32::Control*>(dialog.controls().WindowAt(dialog.controls().FindControl(name.c_str())))->hwnd();
    };
    label = hwndOf(labelName);
    progress = hwndOf(progressName);
  }
};

// The same call a direct caller of the plug-in makes: the string copied into
// a BSTR, Invoke with the method flag and the arguments last first, the
// result freed.
void DirectInvoke(IDispatch* object, DISPID dispid, const StringCallRecord* record) {
  VARIANT args[7];
  UINT count = 0;
  if (record) {
    count = 7;
    args[6].vt = args[5].vt = args[4].vt = args[3].vt = args[0].vt = VT_I4;
    args[6].lVal = record->a;
    args[5].lVal = record->b;
    args[4].lVal = record->c;
    args[3].lVal = record->d;
    args[2].vt = VT_BSTR;
    args[2].bstrVal = SysAllocString(record->text);
    args[1].vt = VT_R8;
    args[1].dblVal = record->number;
    args[0].lVal = record->e;
  }
  DISPPARAMS params{count ? args : nullptr, nullptr, count, 0};
  VARIANT result;
  VariantInit(&result);
  object->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  VariantClear(&result);
  if (record) SysFreeString(args[2].bstrVal);
}

// The engine's side of the cross-thread figures: its sends, timed on its thread.
struct CrossThread {
  HWND dialog;
  const char16_t* name;
  HWND label;
  std::pair<Spread, Spread> message, direct, plugin;
};

DWORD WINAPI CrossThreadWorker(void* data) {
  auto* c = static_cast<CrossThread*>(data);
  wchar_t text[1024];
  const auto bare = PerOperation(2000, [&] { SendMessageW(c->dialog, WM_NULL, 0, 0); });
  const auto read = PerOperation(2000, [&] {
    SendMessageW(c->dialog, 1526, reinterpret_cast<WPARAM>(c->name), reinterpret_cast<LPARAM>(text));
  });
  c->message = RepeatPair(read, bare);
  c->direct = RepeatPair(read, PerOperation(2000, [&] { GetWindowTextW(c->label, text, 1024); }));
  CallRecord own{GetCurrentThreadId()};
  if (SendMessageW(c->dialog, 2525, reinterpret_cast<WPARAM>(&own), 0) == 1)
    c->plugin = RepeatPair(PerOperation(2000, [&] {
      SendMessageW(c->dialog, 2529, reinterpret_cast<WPARAM>(&own), 0);
    }), bare);
  return 0;
}

void Messages() {
  LoadedWindow window;
  HWND dialog = window.dialog.hwnd();
  wchar_t buffer[1024];
  const char16_t* labelName = window.labelName.c_str();
  int position = 0;
  const auto getText = PerOperation(20000, [&] { GetWindowTextW(window.label, buffer, 1024); });

  // 5. name lookup alone.
  Row("5. FindControl, last of 1,024 (us)", "", RepeatPair(PerOperation(20000, [&] {
        volatile std::int32_t found = window.dialog.controls().FindControl(labelName);
        (void)found;
      }), getText), 0.1);

  // 4. on the window thread: the handler alone against the platform call it
  // wraps, and the message sent to the window (its dispatch included).
  const ControlMessage& read = *FindControlMessage(1526);
  const ControlMessage& setProgress = *FindControlMessage(1557);
  const WPARAM labelArg = reinterpret_cast<WPARAM>(labelName);
  const WPARAM progressArg = reinterpret_cast<WPARAM>(window.progressName.c_str());
  Row("4. 1526 handler (us)", "", RepeatPair(PerOperation(20000, [&] {
        HandleControlMessage(window.dialog, read, labelArg, reinterpret_cast<LPARAM>(buffer));
      }), getText), 1.1);
  Row("   1526 sent on the window thread (us)", "", RepeatPair(PerOperation(20000, [&] {
        SendMessageW(dialog, 1526, labelArg, reinterpret_cast<LPARAM>(buffer));
      }), getText), 0);
  const auto setPos = PerOperation(2000, [&] { SendMessageW(window.progress, PBM_SETPOS, ++position % 100, 0); });
  Row("4. 1557 handler (us)", "", RepeatPair(PerOperation(2000, [&] {
        HandleControlMessage(window.dialog, setProgress, progressArg, ++position % 100);
      }), setPos), 1.1);
  Row("   1557 sent on the window thread (us)", "", RepeatPair(PerOperation(2000, [&] {
        SendMessageW(dialog, 1557, progressArg, ++position % 100);
      }), setPos), 0);

  CoInitialize(nullptr);
  // The stand-in plug-in of the build plays dm.dmsoft.
  if (HMODULE stub = LoadLibraryW((BinDir() + L"\\dmstub.dll").c_str())) {
    using Register = HRESULT(STDAPICALLTYPE*)();
    if (auto entry = reinterpret_cast<Register>(reinterpret_cast<void*>(GetProcAddress(stub, "DllRegisterServer")))) entry();
    FreeLibrary(stub);
  }
  LookUpPluginClass();
  CallRecord call{GetCurrentThreadId()};
  StringCallRecord stringCall{GetCurrentThreadId(), 1, 2, 3, 4, L"文字参数", 0.5, 7};
  IDispatch* direct = nullptr;
  const bool plugin = SendMessageW(dialog, 2525, reinterpret_cast<WPARAM>(&call), 0) == 1 &&
                      SUCCEEDED(CoCreateInstance(PluginClassId(), nullptr, CLSCTX_INPROC_SERVER, kPluginInterfaceId,
                                                 reinterpret_cast<void**>(&direct)));
  if (plugin) {
    const PluginCall& intCall = *FindPluginCall(2529);
    const PluginCall& textCall = *FindPluginCall(2546);
    const WPARAM callArg = reinterpret_cast<WPARAM>(&call), textArg = reinterpret_cast<WPARAM>(&stringCall);
    const auto invokeInt = PerOperation(20000, [&] { DirectInvoke(direct, 4, nullptr); });
    const auto invokeText = PerOperation(20000, [&] { DirectInvoke(direct, 143, &stringCall); });
    Row("4. 2529 handler, int result (us)", "", RepeatPair(PerOperation(20000, [&] {
          HandlePluginCall(window.dialog.plugins(), intCall, callArg, 0);
        }), invokeInt), 1.1);
    Row("   2529 sent on the window thread (us)", "",
        RepeatPair(PerOperation(20000, [&] { SendMessageW(dialog, 2529, callArg, 0); }), invokeInt), 0);
    Row("4. 2546 handler, 7 args, string result (us)", "", RepeatPair(PerOperation(20000, [&] {
          HandlePluginCall(window.dialog.plugins(), textCall, textArg, reinterpret_cast<LPARAM>(buffer));
        }), invokeText), 1.1);
    Row("   2546 sent on the window thread (us)", "", RepeatPair(PerOperation(20000, [&] {
          SendMessageW(dialog, 2546, textArg, reinterpret_cast<LPARAM>(buffer));
        }), invokeText), 0);
  } else {
    fprintf(stderr, "4. plug-in rows skipped: the stand-in plug-in is not registered\n");
  }

  // Across threads: an engine-like thread sends, the window thread serves.
  CrossThread cross{dialog, labelName, window.label, {}, {}, {}};
  HANDLE worker = CreateThread(nullptr, 0, CrossThreadWorker, &cross, 0, nullptr);
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
    win32::PumpPendingMessages(dialog);
  CloseHandle(worker);
  Row("   1526 across threads vs a bare send (us)", "", cross.message, 0);
  Row("   1526 across threads vs GetWindowTextW (us)", "", cross.direct, 0);
  if (plugin) Row("   2529 across threads vs a bare send (us)", "", cross.plugin, 0);
  if (direct) direct->Release();
}

}  // namespace
}  // namespace qs::bench

int wmain() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  InitCommonControlsEx(&controls);
  fprintf(stderr, "%-46s %32s %32s %7s  %s\n", "measure", "host median [min..max]", "floor median [min..max]", "ratio",
          "goal");
  qs::bench::StartupAndExtraction();
  qs::bench::FormLoading();
  qs::bench::Messages();
  return 0;
}
