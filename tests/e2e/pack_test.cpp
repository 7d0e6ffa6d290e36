// qspack as a script author uses it: reproducible output, the form check,
// its errors, icon and version information; the host's manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/e2e/e2e_support.h"
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
  EXPECT_EQ(Pack(out + L"\\no such folder", out + L"\\x.exe", {}, &lines), pack::kBadArguments);
  EXPECT_EQ(lines.back().rfind(L"error: project folder not found", 0), 0u);

  Project project(L"errors project");
  project.Form(u"w w \"x\" 0 0 100 100 |\n窗口结束\n");  // no engine: a warning, packed anyway
  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\ok.exe", {}, &lines), pack::kPacked);
  EXPECT_EQ(lines[0], L"warning: the project has no scriptcore.dll (packed anyway)");

  pack::PackOptions noHost;
  noHost.hostPath = out + L"\\missing host.exe";
  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\h.exe", noHost, &lines), pack::kBadArguments);
  EXPECT_EQ(lines.back().rfind(L"error: host executable not found", 0), 0u);

  lines.clear();
  EXPECT_EQ(Pack(project.dir(), out + L"\\no such folder\\x.exe", {}, &lines), pack::kFailed);
  EXPECT_EQ(lines.back().rfind(L"error: cannot write", 0), 0u);
  CreateDirectoryW((out + L"\\taken.exe").c_str(), nullptr);  // a folder where the output should go
  EXPECT_EQ(Pack(project.dir(), out + L"\\taken.exe", {}, &lines), pack::kFailed);

  // The command line's exit codes.
  driver::HostProcess qspack;
  driver::StartOptions options;
  options.commandLine = L"qspack \"" + out + L"\\none\" \"" + out + L"\\y.exe\"";
  ASSERT_TRUE(qspack.Start(BinDir() + L"\\qspack.exe", options));
  ASSERT_TRUE(qspack.WaitForExit(30000));
  EXPECT_EQ(qspack.exitCode(), 2u);
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
