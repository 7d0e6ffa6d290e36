#include "tests/e2e/e2e_support.h"

#include <cstdio>

#include "host/work_directory.h"
#include "host/work_dir_name.h"
#include "tests/support/form_file.h"
#include "tools/qspack/pack.h"
#include "win32/text.h"

namespace qs::test {

namespace {

void DeleteTree(const std::wstring& path) {
  if (!driver::DirectoryExists(path)) return;
  DeleteDirectoryTree(path);
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

std::string HandleText(HWND window) {
  char text[64];
  snprintf(text, sizeof text, "%p", static_cast<void*>(window));
  return text;
}

std::wstring BinDir() {
  const std::wstring self = win32::GetModulePath(nullptr);
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring ScratchDir(const std::wstring& name) {
  wchar_t full[MAX_PATH];
  GetFullPathNameW((BinDir() + L"\\..\\scratch").c_str(), MAX_PATH, full, nullptr);
  const std::wstring root = full;
  CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring dir = root + L"\\" + name;
  DeleteTree(dir);
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

void WriteForm(const std::wstring& path, const std::u16string& text) {
  WriteFileBytes(path, FormFileBytes(text));
}

Project::Project(const std::wstring& name) : name_(name), dir_(ScratchDir(name) + L"\\project") {
  CreateDirectoryW(dir_.c_str(), nullptr);
}

Project& Project::Form(const std::u16string& text) {
  WriteForm(dir_ + L"\\main.qwin", text);
  return *this;
}

Project& Project::Script(const std::string& utf8) {
  WriteFileBytes(dir_ + L"\\sourseTemp.bak", utf8);
  WriteFileBytes(dir_ + L"\\api.xml", "<api/>");
  return *this;
}

Project& Project::Engine(const std::wstring& library) {
  CopyFileW((BinDir() + L"\\" + library).c_str(), (dir_ + L"\\scriptcore.dll").c_str(), FALSE);
  return *this;
}

Project& Project::File(const std::wstring& name, const std::string& bytes) {
  WriteFileBytes(dir_ + L"\\" + name, bytes);
  return *this;
}

std::wstring Project::Pack(const std::wstring& exeName) {
  const std::wstring exe = ScratchDir(name_ + L".out") + L"\\" + (exeName.empty() ? name_ + L".exe" : exeName);
  pack::PackOptions options;
  options.hostPath = BinDir() + L"\\QSExe.exe";
  return pack::PackProject(dir_, exe, options) == pack::kPacked ? exe : std::wstring();
}

HostRun::HostRun(const std::wstring& exe, driver::StartOptions options) : exe_(exe) {
  const std::wstring base = exe.substr(0, exe.find_last_of(L'\\'));
  tempDir_ = base + L"\\tmp";
  startDir_ = base;
  logPath_ = base + L"\\engine.log";
  DeleteTree(tempDir_);
  CreateDirectoryW(tempDir_.c_str(), nullptr);
  DeleteFileW(logPath_.c_str());
  // The run's own temporary folder, unless the test gives one.
  options.environment.insert(options.environment.begin(), {{L"TMP", tempDir_}, {L"TEMP", tempDir_}});
  options.environment.emplace_back(L"QSENGINE_LOG", logPath_);
  if (options.currentDirectory.empty()) options.currentDirectory = startDir_;
  else startDir_ = options.currentDirectory;
  started_ = host_.Start(exe, options);
}

std::wstring HostRun::WorkDir() const {
  return tempDir_ + L"\\" + std::to_wstring(host_.processId()) + win32::ToWide(FileTitle(win32::ToU16(exe_)));
}

std::vector<std::string> HostRun::LogLines() const {
  std::vector<std::string> lines;
  const std::string text = driver::ReadFileText(logPath_);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> HostRun::EntryLines() const {
  std::vector<std::string> entries;
  for (const std::string& line : LogLines())
    if (line.rfind("QS", 0) == 0) entries.push_back(line);
  return entries;
}

std::string HostRun::CloseSequenceFault() const {
  const std::vector<std::string> entries = EntryLines();
  if (entries.size() < 3) return "only " + std::to_string(entries.size()) + " entry point calls";
  if (entries[entries.size() - 3].rfind("QSCmd module=main function=quit", 0) != 0)
    return "the close event is not third from the end: " + entries[entries.size() - 3];
  if (entries.back() != "QSTerminate done") return "the last call is " + entries.back();
  if (driver::DirectoryExists(WorkDir())) return "the work directory is left";
  return "";
}

bool HostRun::WaitForLog(const std::string& text, DWORD timeoutMs) {
  return host_.ServeUntil(
      [&] { return driver::ReadFileText(logPath_).find(text) != std::string::npos; }, timeoutMs) &&
         driver::ReadFileText(logPath_).find(text) != std::string::npos;
}

bool HostRun::CloseAndWait(DWORD timeoutMs) {
  if (!host_.WaitForMainWindow(timeoutMs)) return false;
  host_.CloseMainWindow();
  return host_.WaitForExit(timeoutMs);
}

}  // namespace qs::test
