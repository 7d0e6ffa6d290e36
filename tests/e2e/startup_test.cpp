// Start-up and close of a packaged project, as the engine and the disk see them.
#include <gtest/gtest.h>

#include "host/sevenzip_runner.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/lzma_streams.h"
#include "tests/support/stored_7z.h"
#include "tools/qspack/pack.h"

namespace qs::test {
namespace {

using driver::DirectoryExists;
using driver::FileExists;

const char kScript[] = "func main.init\n  log init ran\nend\n";
const char16_t kForm[] = u"窗口 主窗口 \"启动\" 0 0 300 200 | 窗口初始化:main.init|窗口销毁:main.quit|\n窗口结束\n";

std::wstring PackSimple(const std::wstring& name, const std::wstring& engine = L"scriptcore.dll") {
  return Project(name).Form(kForm).Script(kScript).Engine(engine).Pack();
}

TEST(Startup, EngineCallsInOrderAndNothingLeftBehind) {
  const std::wstring exe = PackSimple(L"order");
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.started());
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  ASSERT_TRUE(run.WaitForLog("main.init: end", 10000));
  const std::wstring work = run.WorkDir();
  EXPECT_TRUE(FileExists(work + L"\\main.qwin"));
  EXPECT_FALSE(FileExists(work + L"\\QS.lc"));
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_EQ(run.host().exitCode(), 0u);
  EXPECT_TRUE(run.host().boxes().empty());

  const std::string wd = Utf8(work), start = Utf8(run.startDir());
  const std::vector<std::string> expected = {
      "QSInitialPlatform script=" + wd + "\\sourseTemp.bak api=" + wd + "\\api.xml debug=0 buffer=zeroed cwd=" + wd,
      "QSSetExeHandle window=" + HandleText(window),
      "QSSetExeTempPath path=" + wd,
      "QSCmd module=main function=init cwd=" + wd,
      "QSCmd module=main function=quit cwd=" + start,
      "QSTerminate",
      "QSTerminate done",
  };
  EXPECT_EQ(run.EntryLines(), expected);
  EXPECT_FALSE(DirectoryExists(work));
}

// A windowed program prints nothing: the archiver's report of the
// extraction does not reach whoever started the host.
TEST(Startup, NothingReachesTheStandardOutput) {
  const std::wstring exe = PackSimple(L"quiet");
  driver::StartOptions options;
  options.standardOutput = exe.substr(0, exe.find_last_of(L'\\')) + L"\\output.txt";
  HostRun run(exe, options);
  ASSERT_TRUE(run.WaitForLog("main.init: end", 30000));
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_EQ(driver::ReadFileText(options.standardOutput), "");
}

TEST(Startup, DebugSwitchIsTheWholeTrimmedCommandLine) {
  const std::wstring exe = PackSimple(L"debug");
  ASSERT_FALSE(exe.empty());
  struct Case {
    const wchar_t* commandLine;
    const char* flag;
  } cases[] = {{L"qsdebug", "debug=1"}, {L"x qsdebug", "debug=0"}, {L" qsdebug\t", "debug=1"}, {L"QSDEBUG", "debug=0"}};
  for (const Case& c : cases) {
    driver::StartOptions options;
    options.commandLine = c.commandLine;
    HostRun run(exe, options);
    ASSERT_TRUE(run.CloseAndWait()) << Utf8(c.commandLine);
    const std::vector<std::string> entries = run.EntryLines();
    ASSERT_FALSE(entries.empty());
    EXPECT_NE(entries[0].find(c.flag), std::string::npos) << Utf8(c.commandLine) << ": " << entries[0];
  }
}

TEST(Startup, MissingLibraryShowsCodeThenPathAndLeavesTheWorkDirectory) {
  const std::wstring exe = Project(L"nolib").Form(kForm).Script(kScript).Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForExit(30000));
  EXPECT_EQ(run.host().exitCode(), 0u);
  ASSERT_EQ(run.host().boxes().size(), 2u);
  EXPECT_EQ(run.host().boxes()[0].caption, L"nolib");
  EXPECT_EQ(run.host().boxes()[0].text, L"126 ERR MSG");
  EXPECT_EQ(run.host().boxes()[1].text, run.WorkDir() + L"\\scriptcore.dll 组件加载失败!");
  EXPECT_TRUE(FileExists(run.WorkDir() + L"\\main.qwin"));
  EXPECT_TRUE(run.LogLines().empty());
}

TEST(Startup, MissingEntryPoints) {
  struct Case {
    const wchar_t* library;
    const wchar_t* box;  // null: starts and closes normally
  } cases[] = {
      {L"scriptcore_no_initial_platform.dll", L"无法加载QS平台初始化窗口,请退出后重试"},
      {L"scriptcore_no_cmd.dll", L"无法加载QS执行接口,请退出后重试"},
      {L"scriptcore_no_terminate.dll", nullptr},
  };
  for (const Case& c : cases) {
    const std::wstring exe = PackSimple(L"exports", c.library);
    const std::wstring temp = ScratchDir(L"exports temp");
    driver::StartOptions options;
    options.environment = {{L"TMP", temp}, {L"TEMP", temp}};
    HostRun run(exe, options);
    if (c.box) {
      ASSERT_TRUE(run.host().WaitForExit(30000)) << Utf8(c.library);
      ASSERT_EQ(run.host().boxes().size(), 1u) << Utf8(c.library);
      EXPECT_EQ(run.host().boxes()[0].text, c.box);
      EXPECT_TRUE(run.EntryLines().empty());
    } else {
      ASSERT_TRUE(run.CloseAndWait());
      EXPECT_TRUE(run.host().boxes().empty());
      EXPECT_EQ(run.EntryLines().back(), "QSCmd module=main function=quit cwd=" + Utf8(run.startDir()));
      // The library that cannot be stopped stays loaded to the end, and
      // its file with it: the directory is marked, and the next start
      // removes it.
      const std::wstring work = temp + L"\\" + std::to_wstring(run.host().processId()) + L"exports";
      EXPECT_TRUE(FileExists(work + L"\\.qsexe-remove"));
      EXPECT_FALSE(FileExists(work + L"\\main.qwin"));
      HostRun next(exe, options);
      ASSERT_TRUE(next.CloseAndWait());
      EXPECT_FALSE(DirectoryExists(work));
    }
    EXPECT_EQ(run.host().exitCode(), 0u);
  }
}

TEST(Startup, LeftoverDirectoryOfTheSameNameIsRemovedFirst) {
  const std::wstring exe = Project(L"left over").Form(kForm).Script(kScript).Engine().File(L"data.txt", "new").Pack();
  ASSERT_FALSE(exe.empty());
  std::wstring leftover;
  driver::StartOptions options;
  options.beforeStart = [&](DWORD pid) {
    leftover = exe.substr(0, exe.find_last_of(L'\\')) + L"\\tmp\\" + std::to_wstring(pid) + L"left over";
    CreateDirectoryW(leftover.c_str(), nullptr);
    CreateDirectoryW((leftover + L"\\old").c_str(), nullptr);
    WriteFileBytes(leftover + L"\\old\\stale.txt", "stale");
    WriteFileBytes(leftover + L"\\data.txt", "old contents");
  };
  HostRun run(exe, options);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  EXPECT_EQ(run.WorkDir(), leftover);  // the temporary path holds a space
  EXPECT_FALSE(FileExists(leftover + L"\\old\\stale.txt"));
  EXPECT_EQ(driver::ReadFileText(leftover + L"\\data.txt"), "new");
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_FALSE(DirectoryExists(leftover));
}

TEST(Startup, EnterDoesNothingEscapeCloses) {
  const std::wstring exe = PackSimple(L"keys");
  HostRun run(exe);
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(run.host().ServeUntil([&] { return !run.host().running(); }, 1500));
  EXPECT_TRUE(run.host().running());
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(run.host().WaitForExit(30000));
  EXPECT_EQ(run.EntryLines().back(), "QSTerminate done");
  EXPECT_FALSE(DirectoryExists(run.WorkDir()));
}

TEST(Startup, ArchiveEntriesCannotLeaveTheWorkDirectory) {
  const std::wstring dir = ScratchDir(L"traversal");
  const std::wstring exe = dir + L"\\traversal.exe";
  CopyFileW((BinDir() + L"\\QSExe.exe").c_str(), exe.c_str(), FALSE);
  const std::string engine = driver::ReadFileText(BinDir() + L"\\scriptcore.dll");
  std::u16string form(kForm);
  ASSERT_TRUE(pack::EmbedPackage(
      exe, MakeStored7z({{u"scriptcore.dll", engine},
                         {u"main.qwin", std::string(reinterpret_cast<const char*>(form.data()), form.size() * 2)},
                         {u"../up.txt", "up"},
                         {u"sub/../../up2.txt", "up2"},
                         {u"/rooted.txt", "rooted"},
                         {u"C:/drive.txt", "drive"}})));
  HostRun run(exe);
  ASSERT_TRUE(run.host().WaitForMainWindow(30000));
  const std::wstring work = run.WorkDir();
  for (const wchar_t* outside : {L"\\up.txt", L"\\up2.txt"}) EXPECT_FALSE(FileExists(run.tempDir() + outside));
  EXPECT_FALSE(FileExists(L"C:\\drive.txt"));
  EXPECT_FALSE(FileExists(L"C:\\rooted.txt"));
  EXPECT_FALSE(FileExists(dir + L"\\up.txt"));
  EXPECT_TRUE(FileExists(work + L"\\scriptcore.dll"));
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_FALSE(DirectoryExists(work));
}

// Without a usable package the start-up still runs its steps in order: the
// extraction yields nothing, so the engine is missing and the host ends with
// its two boxes and exit code 0, never with a crash or a hang.
TEST(Startup, MissingEmptyOrDamagedPackage) {
  const std::string archive = MakeStored7z({{u"scriptcore.dll", driver::ReadFileText(BinDir() + L"\\scriptcore.dll")}});
  const struct {
    const wchar_t* name;
    bool embed;
    std::string package;
  } cases[] = {
      {L"nopackage", false, ""},
      {L"emptyarchive", true, MakeStored7z({})},
      {L"onebyte", true, "7"},
      {L"garbage", true, std::string(4096, '\x5A')},
      {L"truncated", true, archive.substr(0, archive.size() / 2)},  // the header is at the end
  };
  for (const auto& c : cases) {
    const std::wstring exe = ScratchDir(c.name) + L"\\" + c.name + L".exe";
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\QSExe.exe").c_str(), exe.c_str(), FALSE));
    if (c.embed) {
      ASSERT_TRUE(pack::EmbedPackage(exe, c.package)) << Utf8(c.name);
    }
    HostRun run(exe);
    ASSERT_TRUE(run.host().WaitForExit(30000)) << Utf8(c.name);
    EXPECT_EQ(run.host().exitCode(), 0u) << Utf8(c.name);
    ASSERT_EQ(run.host().boxes().size(), 2u) << Utf8(c.name);
    EXPECT_EQ(run.host().boxes()[1].text, run.WorkDir() + L"\\scriptcore.dll 组件加载失败!") << Utf8(c.name);
    EXPECT_FALSE(FileExists(run.WorkDir() + L"\\QS.lc")) << Utf8(c.name);
  }
}

// The host carries only the extracting part of the archiver: every format
// and method a package may use still unpacks. 7z archives hold a whole
// project (and start it); xz and lzma hold one file, which is unpacked
// beside where the package was.
TEST(Startup, EveryPackageFormatAndMethodUnpacks) {
  const std::string engine = driver::ReadFileText(BinDir() + L"\\scriptcore.dll");
  std::string data;
  for (int i = 0; i < 20000; ++i) data += std::to_string(i * 7919 % 1000) + (i % 13 ? " " : "\n");
  const struct {
    const wchar_t* name;
    std::vector<std::wstring> switches;
    bool project;  // a whole project (7z), or one file
  } cases[] = {
      {L"lzma", {L"-t7z", L"-m0=LZMA"}, true},         {L"lzma2", {L"-t7z", L"-m0=LZMA2"}, true},
      {L"ppmd", {L"-t7z", L"-m0=PPMd"}, true},         {L"bzip2", {L"-t7z", L"-m0=BZip2"}, true},
      {L"deflate", {L"-t7z", L"-m0=Deflate"}, true},   {L"copy", {L"-t7z", L"-m0=Copy"}, true},
      {L"bcj2", {L"-t7z", L"-m0=BCJ2", L"-m1=LZMA", L"-m2=LZMA", L"-m3=LZMA", L"-mb0:1", L"-mb0s1:2", L"-mb0s2:3"}, true},
      {L"arm64", {L"-t7z", L"-m0=ARM64", L"-m1=LZMA2"}, true},
      {L"delta", {L"-t7z", L"-m0=Delta:4", L"-m1=LZMA2"}, true},
      {L"xz", {L"-txz"}, false},
      {L"lzma alone", {}, false},  // made below: the archiver writes these two only as streams of its library
      {L"lzma86", {}, false},
  };
  for (const auto& c : cases) {
    const std::wstring dir = ScratchDir(std::wstring(L"format ") + c.name);
    const std::wstring source = dir + L"\\source";
    CreateDirectoryW(source.c_str(), nullptr);
    WriteFileBytes(source + L"\\data.txt", data);
    if (c.project) {
      WriteForm(source + L"\\main.qwin", kForm);
      WriteFileBytes(source + L"\\sourseTemp.bak", kScript);
      WriteFileBytes(source + L"\\scriptcore.dll", engine);
    }
    const std::wstring archive = dir + L"\\package.pkg";  // with an extension: none would get one added
    std::vector<std::wstring> command = {L"a"};
    command.insert(command.end(), c.switches.begin(), c.switches.end());
    command.push_back(archive);
    command.push_back(c.project ? source + L"\\*" : source + L"\\data.txt");
    if (c.switches.empty()) {
      const bool x86 = std::wstring(c.name) == L"lzma86";
      ASSERT_TRUE(WriteFileBytes(archive, x86 ? Lzma86Stream(data, true) : LzmaAloneStream(data)));
    } else {
      ASSERT_EQ(RunSevenZip(command, false), 0) << Utf8(c.name);
    }
    const std::wstring exe = dir + L"\\format.exe";
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\QSExe.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(pack::EmbedPackage(exe, driver::ReadFileText(archive))) << Utf8(c.name);
    HostRun run(exe);
    if (c.project) {
      ASSERT_TRUE(run.WaitForLog("main.init: end", 30000)) << Utf8(c.name);
      EXPECT_EQ(driver::ReadFileText(run.WorkDir() + L"\\data.txt"), data) << Utf8(c.name);
      ASSERT_TRUE(run.CloseAndWait()) << Utf8(c.name);
    } else {
      ASSERT_TRUE(run.host().WaitForExit(30000)) << Utf8(c.name);  // no engine: the two boxes
      std::string unpacked;
      WIN32_FIND_DATAW found;
      win32::OwnedFind search(FindFirstFileW((run.WorkDir() + L"\\*").c_str(), &found));
      for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          unpacked = driver::ReadFileText(run.WorkDir() + L"\\" + found.cFileName);
      EXPECT_EQ(unpacked, data) << Utf8(c.name);
    }
  }
}

TEST(Startup, AboutItemOpensTheAboutBoxAndNeverCloses) {
  const std::wstring exe = PackSimple(L"about");
  HostRun run(exe);
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  PostMessageW(window, WM_SYSCOMMAND, 0x10, 0);
  HWND about = nullptr;
  // Shown with its text: the window exists a moment before its controls do.
  run.host().ServeUntil(
      [&] {
        about = FindWindowW(L"#32770", L"关于 QSExe");
        return about && IsWindowVisible(about) && driver::FindDescendant(about, L"Static", L"QSExe，1.0 版");
      },
      10000);
  ASSERT_TRUE(about);
  EXPECT_EQ(GetWindow(about, GW_OWNER), window);
  EXPECT_TRUE(driver::FindDescendant(about, L"Static", L"QSExe，1.0 版"));
  PostMessageW(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(run.host().ServeUntil([&] { return !IsWindow(about); }, 10000));
  EXPECT_TRUE(run.host().running());
  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_EQ(run.EntryLines().back(), "QSTerminate done");
}

// A library planted beside the program under a system library's name is
// never loaded, also where the system looks for a library of its own in
// the program's folder first (Wine's "native, then built-in" order). The
// form's background image makes the host start GDI+.
TEST(Startup, ALibraryPlantedBesideTheProgramIsNeverLoaded) {
  const std::wstring exe = Project(L"planted")
                               .Form(u"窗口 w \"种\" 0 0 300 200 背景图片:bg.bmp| 窗口初始化:main.init|\n窗口结束\n")
                               .Script(kScript)
                               .File(L"bg.bmp", std::string("BM") + std::string(60, '\0'))
                               .Engine()
                               .Pack();
  ASSERT_FALSE(exe.empty());
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  for (const wchar_t* name : {L"gdiplus.dll", L"comctl32.dll"})
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\planted.dll").c_str(), (folder + L"\\" + name).c_str(), FALSE));
  const std::wstring marker = folder + L"\\loaded.txt";
  DeleteFileW(marker.c_str());
  // Wine's overrides for this program alone: a library of its own folder before the built-in one.
  const wchar_t overrides[] = L"Software\\Wine\\AppDefaults\\planted.exe\\DllOverrides";
  for (const wchar_t* library : {L"gdiplus", L"comctl32"})
    RegSetKeyValueW(HKEY_CURRENT_USER, overrides, library, REG_SZ, L"native,builtin", sizeof L"native,builtin");
  driver::StartOptions options;
  options.environment = {{L"QS_PLANTED_MARKER", marker}};
  HostRun run(exe, options);
  ASSERT_TRUE(run.WaitForLog("main.init: end", 30000));
  ASSERT_TRUE(run.CloseAndWait());
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\planted.exe");
  EXPECT_FALSE(FileExists(marker)) << "loaded: " << driver::ReadFileText(marker);
  EXPECT_TRUE(run.host().boxes().empty());
}

// The work directory is not limited to 260 units: a temporary folder that
// makes it longer still gives a run that starts, serves and cleans up.
TEST(Startup, LongTemporaryPath) {
  const std::wstring exe = PackSimple(L"long");
  const std::wstring base = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring temp = base;
  while (temp.size() < 300) {
    temp += L"\\" + std::wstring(40, L'd');
    CreateDirectoryW(temp.c_str(), nullptr);
  }
  driver::StartOptions options;
  options.environment = {{L"TMP", temp}, {L"TEMP", temp}};
  std::wstring work;
  options.beforeStart = [&](DWORD pid) { work = temp + L"\\" + std::to_wstring(pid) + L"long"; };
  HostRun run(exe, options);
  ASSERT_TRUE(run.started()) << GetLastError();
  const bool closed = run.CloseAndWait();
  for (const auto& box : run.host().boxes()) ADD_FAILURE() << Utf8(box.text);
  ASSERT_TRUE(closed) << run.host().exitCode();
  EXPECT_GT(work.size(), 300u);
  EXPECT_TRUE(run.host().boxes().empty());
  EXPECT_EQ(run.EntryLines().front().find("QSInitialPlatform script=" + Utf8(work) + "\\sourseTemp.bak"), 0u);
  EXPECT_FALSE(DirectoryExists(work));
}

}  // namespace
}  // namespace qs::test
