// qspack as a script author uses it: reproducible output, the form check,
// its errors, icon and version information; the host's manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"
#include "tests/support/form_file.h"
#include "tools/driver/tour.h"
#include "tools/qspack/pack.h"

namespace qs::test {
namespace {

std::wstring DemoProject() {
  // The repository's demo, beside the build folder, with the stand-in engine.
  wchar_t full[MAX_PATH];
  GetFullPathNameW((BinDir() + L"\\..\\..\\..\\demo\\project").c_str(), MAX_PATH, full, nullptr);
  const std::wstring copy = ScratchDir(L"demo copy");
  for (const wchar_t* name : {L"main.qwin", L"sourseTemp.bak", L"api.xml", L"logo.png", L"background.png"})
    CopyFileW((std::wstring(full) + L"\\" + name).c_str(), (copy + L"\\" + name).c_str(), FALSE);
  CopyFileW((BinDir() + L"\\scriptcore.dll").c_str(), (copy + L"\\scriptcore.dll").c_str(), FALSE);
  return copy;
}

pack::PackStatus Pack(const std::wstring& project, const std::wstring& exe, pack::PackOptions options,
                      std::vector<std::wstring>* lines = nullptr) {
  if (options.hostPath.empty()) options.hostPath = BinDir() + L"\\QSExe.exe";
  options.report = [lines](const std::wstring& line) {
    if (lines) lines->push_back(line);
  };
  return pack::PackProject(project, exe, options);
}

TEST(Pack, TheSameProjectGivesTheSameBytes) {
  const std::wstring project = DemoProject();
  const std::wstring out = ScratchDir(L"reproducible");
  ASSERT_EQ(Pack(project, out + L"\\a.exe", {}), pack::kPacked);
  Sleep(1100);  // file times move on; they are not stored
  ASSERT_EQ(Pack(project, out + L"\\b.exe", {}), pack::kPacked);
  const std::string a = driver::ReadFileText(out + L"\\a.exe"), b = driver::ReadFileText(out + L"\\b.exe");
  ASSERT_GT(a.size(), 100000u);
  EXPECT_TRUE(a == b);
}

TEST(Pack, StrictRefusesAFormWithFindings) {
  Project project(L"strict");
  project.Form(u"w w \"x\" 0 0 100 100 |\n按扭 b \"x\" 1 1 2 2 |\n窗口结束\n").Script("").Engine();
  const std::wstring out = ScratchDir(L"strict out");
  std::vector<std::wstring> lines;
  pack::PackOptions strict;
  strict.strict = true;
  EXPECT_EQ(Pack(project.dir(), out + L"\\s.exe", strict, &lines), pack::kRefused);
  EXPECT_FALSE(driver::FileExists(out + L"\\s.exe"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], L"main.qwin:2: unknown kind word '按扭'; the line is skipped");
  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\s.exe", {}, &lines), pack::kPacked);  // reported, packed anyway
  EXPECT_EQ(lines[0], L"main.qwin:2: unknown kind word '按扭'; the line is skipped");
}

TEST(Pack, Errors) {
  const std::wstring out = ScratchDir(L"errors");
  std::vector<std::wstring> lines;
  EXPECT_EQ(Pack(out + L"\\no such folder", out + L"\\x.exe", {}, &lines), pack::kFailed);
  EXPECT_EQ(lines.back(), L"error: project folder not found: " + out + L"\\no such folder");

  Project project(L"errors project");
  project.Form(u"w w \"x\" 0 0 100 100 |\n窗口结束\n");  // no engine: a warning, packed anyway
  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\ok.exe", {}, &lines), pack::kPacked);
  EXPECT_EQ(lines[0], L"warning: the project has no scriptcore.dll (packed anyway)");

  pack::PackOptions noHost;
  noHost.hostPath = out + L"\\missing host.exe";
  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\h.exe", noHost, &lines), pack::kFailed);
  EXPECT_EQ(lines.back(), L"error: host executable not found: " + out + L"\\missing host.exe");

  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\no such folder\\x.exe", {}, &lines), pack::kFailed);
  EXPECT_EQ(lines.back().rfind(L"error: cannot write", 0), 0u);
  CreateDirectoryW((out + L"\\taken.exe").c_str(), nullptr);  // a folder where the output should go
  EXPECT_EQ(Pack(project.dir(), out + L"\\taken.exe", {}, &lines), pack::kFailed);
}

// The command line as the tools page gives it: every exit code, and the
// line that says what was wrong.
TEST(Pack, CommandLineExitCodesAndMessages) {
  const std::wstring dir = ScratchDir(L"command line");
  auto project = [&](const std::wstring& name, const std::string& form) {
    const std::wstring path = dir + L"\\" + name;
    CreateDirectoryW(path.c_str(), nullptr);
    WriteFileBytes(path + L"\\main.qwin", form);
    WriteFileBytes(path + L"\\scriptcore.dll", "MZ");
    return path;
  };
  const std::string clean = test::FormFileBytes(u"w w \"x\" 0 0 100 100 |\n窗口结束\n");
  const std::wstring good = project(L"good", clean);
  WriteFileBytes(good + L"\\text.ico", "not an icon");
  project(L"findings", test::FormFileBytes(u"w w \"x\" 0 0 100 100 |\n按扭 b \"x\" 1 1 20 20 |\n窗口结束\n"));
  project(L"utf8", "\xEF\xBB\xBFw w \"x\" 0 0 100 100 |\r\n窗口结束\r\n");
  WriteFileBytes(project(L"package name", clean) + L"\\qs.LC", "the author's file");
  struct Case {
    const wchar_t* arguments;
    DWORD exitCode;
    std::vector<std::wstring> lines;  // each found in the output
  };
  const Case cases[] = {
      {L"good good.exe", 0, {L"qspack: packed " + good + L" into " + dir + L"\\good.exe"}},
      {L"none none.exe", 1, {L"qspack: error: project folder not found: " + dir + L"\\none"}},
      {L"good x.exe --icon none.ico", 1, {L"qspack: error: icon not found: " + good + L"\\none.ico"}},
      {L"good x.exe --icon text.ico", 1, {L"qspack: error: not an icon file: text.ico"}},
      {L"good x.exe --host nohost.exe", 1, {L"qspack: error: host executable not found: " + dir + L"\\nohost.exe"}},
      {L"good nofolder\\x.exe", 1, {L"qspack: error: cannot write " + dir + L"\\nofolder\\x.exe"}},
      {L"", 2, {L"qspack: a project folder and an output file are needed", L"usage: qspack PROJECT_DIR OUTPUT_EXE"}},
      {L"good x.exe --version 1.x", 2,
       {L"qspack: --version takes one to four numbers 0-65535 joined by dots (A.B.C.D), not '1.x'", L"usage: "}},
      {L"good x.exe --version 1.2.3.70000", 2, {L"not '1.2.3.70000'"}},
      {L"good x.exe --bogus", 2, {L"qspack: unknown option --bogus", L"usage: "}},
      {L"good x.exe y.exe", 2, {L"qspack: one project folder and one output file; 'y.exe' is one too many"}},
      {L"good x.exe --icon", 2, {L"qspack: --icon needs a value", L"usage: "}},
      {L"\"good\\\" x.exe", 2,
       {L"qspack: the argument 'good\" x.exe' holds a double quote: a backslash right before a closing quote keeps "
        L"the quote; leave the backslash out or double it"}},
      {L"findings f.exe --strict", 3,
       {L"qspack: main.qwin:2: unknown kind word '按扭'; the line is skipped",
        L"qspack: error: the form has 1 finding(s); nothing packed (--strict)"}},
      {L"utf8 u.exe", 3,
       {L"qspack: main.qwin:1: the file is UTF-8 text with a byte-order mark; the host reads main.qwin only as UTF-16LE",
        L"qspack: error: the host cannot read main.qwin as it is written; nothing packed (--force packs it anyway)"}},
      {L"utf8 forced.exe --force", 0, {L"qspack: main.qwin:1: the file is UTF-8 text", L"qspack: packed "}},
      {L"\"package name\" p.exe", 3,
       {L"qspack: error: qs.LC: the host writes its package file under this name, unpacks it and deletes it, so this "
        L"file of the project is lost at start-up; rename it; nothing packed"}},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(BinDir() + L"\\qspack.exe", c.arguments, dir);
    ASSERT_TRUE(run.ended) << Utf8(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << Utf8(c.arguments) << "\n" << run.output;
    for (const std::wstring& line : c.lines)
      EXPECT_NE(run.output.find(Utf8(line)), std::string::npos) << Utf8(c.arguments) << ": " << Utf8(line) << "\n" << run.output;
  }
  // Refused means nothing written.
  for (const wchar_t* exe : {L"f.exe", L"u.exe", L"p.exe", L"x.exe"}) EXPECT_FALSE(driver::FileExists(dir + L"\\" + exe)) << Utf8(exe);
  EXPECT_TRUE(driver::FileExists(dir + L"\\forced.exe"));
}

// The Unix path Wine maps a DOS path to.
std::wstring UnixPathOf(const std::wstring& dos) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  const auto convert = reinterpret_cast<UnixName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return L"";
  char* unix = convert(dos.c_str());
  if (!unix) return L"";
  const std::string utf8 = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return win32::WideFromUtf8(utf8);
}

// One argument quoted for the C runtime's command-line reading: the
// backslashes before a quote (or before the closing one) doubled.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// However the folder is spelt, its contents are the package's root: the
// host finds main.qwin and scriptcore.dll in the work directory itself.
TEST(Pack, EverySpellingOfTheFolderPacksItsContentsAtTheRoot) {
  const std::wstring base = ScratchDir(L"spellings");
  for (const wchar_t* name : {L"project", L"with space"}) {
    const std::wstring dir = base + L"\\" + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"\\sub").c_str(), nullptr);
    WriteForm(dir + L"\\main.qwin", u"w w \"x\" 0 0 100 100 |\n窗口结束\n");
    WriteFileBytes(dir + L"\\scriptcore.dll", "MZ");
    WriteFileBytes(dir + L"\\sub\\note.txt", "below the root");
  }
  CreateDirectoryW((base + L"\\out").c_str(), nullptr);
  std::wstring forward = base;
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  const std::wstring unix = UnixPathOf(base);
  ASSERT_FALSE(unix.empty());
  struct Case {
    const wchar_t* spelling;
    std::wstring currentDirectory;
    std::wstring folder;
  };
  // Unix paths and absolute ones are given from drive C:, where a path that
  // leans on the current drive would miss.
  const Case cases[] = {
      {L"relative", base, L"project"},
      {L"dot backslash", base, L".\\project"},
      {L"dot slash", base, L"./project"},
      {L"through ..", base + L"\\project\\sub", L"..\\..\\project"},
      {L"trailing backslash", base, L"project\\"},
      {L"trailing slash", base, L"project/"},
      {L"absolute", L"C:\\", base + L"\\project"},
      {L"absolute with a trailing backslash", L"C:\\", base + L"\\project\\"},
      {L"absolute with forward slashes", L"C:\\", forward + L"/project"},
      {L"spaces, relative", base, L"with space"},
      {L"spaces, absolute", L"C:\\", base + L"\\with space"},
      {L"Unix-style", L"C:\\", unix + L"/project"},
      {L"Unix-style with spaces and a trailing slash", L"C:\\", unix + L"/with space/"},
  };
  const std::vector<std::string> root = {"main.qwin", "scriptcore.dll", "sub", "sub\\note.txt"};
  int n = 0;
  for (const Case& c : cases) {
    const std::wstring exe = base + L"\\out\\" + std::to_wstring(++n) + L".exe";
    const ToolRun run = RunTool(BinDir() + L"\\qspack.exe", Quoted(c.folder) + L" " + Quoted(exe), c.currentDirectory);
    EXPECT_EQ(run.exitCode, 0u) << Utf8(c.spelling) << "\n" << run.output;
    EXPECT_EQ(ArchivePaths(PackageOf(exe)), root) << Utf8(c.spelling) << ": " << Utf8(c.folder);
  }
  // A relative output lands in the current directory.
  const ToolRun run = RunTool(BinDir() + L"\\qspack.exe", L"project \"relative out.exe\"", base);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(ArchivePaths(PackageOf(base + L"\\relative out.exe")), root);
}

// The README's own line, `qspack project out.exe` from the folder above the
// project, makes a program that starts.
TEST(Pack, TheReadmeCommandMakesAProgramThatStarts) {
  Project project(L"readme");
  project.Form(u"w w \"读我\" 0 0 200 150 | 窗口初始化:main.init|窗口销毁:main.quit|\n窗口结束\n")
      .Script("func main.init\n  log started\nend\n")
      .Engine();
  const std::wstring parent = project.dir().substr(0, project.dir().find_last_of(L'\\'));
  const ToolRun pack = RunTool(BinDir() + L"\\qspack.exe", L"project out.exe", parent);
  ASSERT_EQ(pack.exitCode, 0u) << pack.output;
  HostRun run(parent + L"\\out.exe");
  ASSERT_TRUE(run.started());
  EXPECT_TRUE(run.host().WaitForMainWindow(30000));
  EXPECT_TRUE(run.WaitForLog("main.init: log started", 30000));
  EXPECT_TRUE(run.CloseAndWait());
  EXPECT_TRUE(run.host().boxes().empty()) << Utf8(run.host().boxes()[0].text);
}

// The host writes its package file as QS.lc in the work directory, unpacks
// it there and deletes it: a project file of that name would be lost.
TEST(Pack, RefusesAProjectFileNamedLikeThePackageFile) {
  struct Case {
    const wchar_t* name;
    bool folder;
    bool refused;
  };
  const Case cases[] = {
      {L"QS.lc", false, true},
      {L"qs.LC", false, true},
      {L"QS.lc", true, true},  // a folder of that name loses its files too
      {L"QS.lc.bak", false, false},
  };
  for (const Case& c : cases) {
    Project project(L"package file");
    project.Form(u"w w \"x\" 0 0 100 100 |\n窗口结束\n").Script("").Engine();
    if (c.folder) CreateDirectoryW((project.dir() + L"\\" + c.name).c_str(), nullptr);
    else project.File(c.name, "the author's own");
    CreateDirectoryW((project.dir() + L"\\sub").c_str(), nullptr);
    project.File(L"sub\\QS.lc", "fine below the root");
    const std::wstring exe = ScratchDir(L"package file out") + L"\\p.exe";
    std::vector<std::wstring> lines;
    EXPECT_EQ(Pack(project.dir(), exe, {}, &lines), c.refused ? pack::kRefused : pack::kPacked) << Utf8(c.name);
    EXPECT_EQ(driver::FileExists(exe), !c.refused) << Utf8(c.name);
    if (c.refused) {
      ASSERT_FALSE(lines.empty());
      EXPECT_EQ(lines.back(), L"error: " + std::wstring(c.name) +
                                  L": the host writes its package file under this name, unpacks it and deletes it, so "
                                  L"this file of the project is lost at start-up; rename it; nothing packed");
    }
  }
}

TEST(Pack, IconAndVersion) {
  Project project(L"branded");
  project.Form(u"w w \"x\" 0 0 100 100 |\n窗口结束\n").Script("").Engine();
  // A one-image icon: 16 x 16, 32 bits.
  std::string ico("\0\0\1\0\1\0", 6);
  const int size = 40 + 16 * 16 * 4 + 16 * 4;
  const unsigned char entry[16] = {16, 16, 0, 0, 1, 0, 32, 0, static_cast<unsigned char>(size & 0xFF),
                                   static_cast<unsigned char>(size >> 8), 0, 0, 22, 0, 0, 0};
  ico.append(reinterpret_cast<const char*>(entry), 16);
  std::string image(static_cast<size_t>(size), '\0');
  const int header[10] = {40, 16, 32, 0x00200001, 0, 0, 0, 0, 0, 0};
  memcpy(image.data(), header, 40);
  for (int i = 0; i < 256; ++i) memcpy(&image[40 + i * 4], "\x00\x00\xFF\xFF", 4);  // red
  ico += image;
  project.File(L"app.ico", ico);
  pack::PackOptions options;
  options.iconPath = L"app.ico";
  pack::VersionInfo version;
  ASSERT_TRUE(pack::ParseVersion(L"2.5.1", &version));
  version.productName = L"演示程序";
  options.version = version;
  const std::wstring exe = ScratchDir(L"branded out") + L"\\branded.exe";
  ASSERT_EQ(Pack(project.dir(), exe, options), pack::kPacked);

  DWORD handle = 0;
  const DWORD infoSize = GetFileVersionInfoSizeW(exe.c_str(), &handle);
  ASSERT_GT(infoSize, 0u);
  std::vector<char> info(infoSize);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, infoSize, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(5, 2)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, 1)));
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductName", reinterpret_cast<void**>(&product),
                             &length));
  EXPECT_STREQ(product, L"演示程序");

  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
  ASSERT_TRUE(group);
  EXPECT_EQ(SizeofResource(module, group), 6u + 14u);  // the new group: one image
  EXPECT_FALSE(FindResourceW(module, MAKEINTRESOURCEW(2), RT_ICON));  // the host's second image is gone
  FreeLibrary(module);
  // The rest of the host's resources came over: the program still starts and closes.
  HostRun run(exe);
  EXPECT_TRUE(run.CloseAndWait());
  EXPECT_TRUE(run.host().boxes().empty());
  EXPECT_FALSE(pack::ParseVersion(L"1.2.3.4.5", &version));
  EXPECT_FALSE(pack::ParseVersion(L"1.x", &version));
}

// The demo as the README's first command runs it: its script reads one
// control and writes another through variables.
TEST(Pack, DemoAnswersATypedNameAndTabSwitch) {
  const std::wstring exe = ScratchDir(L"demo run") + L"\\demo.exe";
  ASSERT_EQ(Pack(DemoProject(), exe, {}), pack::kPacked);
  HostRun run(exe);
  ASSERT_TRUE(run.started());
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  ASSERT_TRUE(run.WaitForLog("main.init: end", 30000));
  std::wstring failure;
  ASSERT_TRUE(driver::RunTour(run.host(), window, {L"type Edit 0 张三", L"click 问候", L"tab 0"}, L".",
                              [&](const std::wstring& line) { failure = line; }))
      << Utf8(failure);
  EXPECT_TRUE(run.WaitForLog("main.greet: send 1525 \"状态\" \"你好，张三！\" -> 1", 30000));
  EXPECT_TRUE(run.WaitForLog("main.greet: send 1548 \"历史\" \"张三\" -> 1", 30000));
  EXPECT_TRUE(run.WaitForLog("main.tab: send 1525 \"状态\" \"第 0 页（从 0 数起）\" -> 1", 30000));
  EXPECT_TRUE(run.CloseAndWait());
  EXPECT_TRUE(run.host().boxes().empty());
}

TEST(Host, ManifestDeclaresCommonControlsSix) {
  HMODULE host = LoadLibraryExW((BinDir() + L"\\QSExe.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(host);
  HRSRC found = FindResourceW(host, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_TRUE(found);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(host, found))), SizeofResource(host, found));
  FreeLibrary(host);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">false</dpiAware>"),
            std::string::npos);
}

}  // namespace
}  // namespace qs::test
