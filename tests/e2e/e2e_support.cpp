#include "tests/e2e/e2e_support.h"

#include <algorithm>
#include <cstdio>

#include "host/work_directory.h"
#include "host/work_dir_name.h"
#include "tests/support/folders.h"
#include "tests/support/form_file.h"
#include "tools/qspack/pack.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs::test {

namespace {

void DeleteTree(const std::wstring& path) {
  if (!driver::DirectoryExists(path)) return;
  DeleteDirectoryTree(path);
}

}  // namespace

std::string HandleText(HWND window) {
  char text[64];
  snprintf(text, sizeof text, "%p", static_cast<void*>(window));
  return text;
}

ToolRun RunTool(const std::wstring& program, const std::wstring& arguments, const std::wstring& currentDirectory,
                DWORD timeoutMs) {
  ToolRun run;
  // A folder of this test process's own: test programs run side by side.
  static const std::wstring outDir = ScratchDir(L"tool output " + std::to_wstring(GetCurrentProcessId()));
  static int counter = 0;
  const std::wstring outPath = outDir + L"\\" + std::to_wstring(++counter) + L".txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  {
    const win32::OwnedHandle out(CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             &inherit, CREATE_ALWAYS, 0, nullptr));
    const win32::OwnedHandle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                             OPEN_EXISTING, 0, nullptr));
    if (!out || !nul) return run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = startup.hStdError = out.get();
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
      return run;
    const win32::OwnedHandle process(info.hProcess), thread(info.hThread);
    run.ended = WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
    if (!run.ended) {
      TerminateProcess(process.get(), 99);
      WaitForSingleObject(process.get(), 10000);
    }
    GetExitCodeProcess(process.get(), &run.exitCode);
  }
  run.output = driver::ReadFileText(outPath);
  return run;
}

std::vector<std::string> ArchivePaths(const std::string& archive) {
  static const std::wstring dir = ScratchDir(L"listed archive " + std::to_wstring(GetCurrentProcessId()));
  const std::wstring path = dir + L"\\package.7z";
  WriteFileBytes(path, archive);
  const ToolRun listing = RunTool(BinDir() + L"\\7za.exe", L"l -ba -slt \"" + path + L"\"");
  std::vector<std::string> paths;
  size_t start = 0;
  while (start < listing.output.size()) {
    size_t end = listing.output.find('\n', start);
    if (end == std::string::npos) end = listing.output.size();
    std::string line = listing.output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("Path = ", 0) == 0) paths.push_back(line.substr(7));
    start = end + 1;
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string PackageOf(const std::wstring& exe) {
  const win32::OwnedModule module(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return {};
  HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(130), L"QSLC");
  HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? std::string(static_cast<const char*>(bytes), SizeofResource(module.get(), found)) : std::string();
}

std::wstring BinDir() { return ProgramFolder(); }

std::wstring ScratchDir(const std::wstring& name) {
  wchar_t full[MAX_PATH];
  GetFullPathNameW((BinDir() + L"\\..\\scratch").c_str(), MAX_PATH, full, nullptr);
  const std::wstring root = full;
  CreateDirectoryW(root.c_str(), nullptr);
  return EmptyFolder(root + L"\\" + name);
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

bool RegisterPluginStub(bool registered) {
  HMODULE stub = LoadLibraryW((BinDir() + L"\\dmstub.dll").c_str());
  if (!stub) return false;
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto entry = reinterpret_cast<Entry>(
      reinterpret_cast<void*>(GetProcAddress(stub, registered ? "DllRegisterServer" : "DllUnregisterServer")));
  const bool ok = entry && SUCCEEDED(entry());
  FreeLibrary(stub);
  return ok;
}

}  // namespace qs::test
