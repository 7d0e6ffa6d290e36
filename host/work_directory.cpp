#include "host/work_directory.h"

#include <windows.h>

#include <vector>

#include "host/work_dir_name.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs {

namespace {
std::wstring g_workDirectory;
win32::OwnedHandle g_hold;  // the work directory, open for the whole run
}

const std::wstring& WorkDirectory() { return g_workDirectory; }
void SetWorkDirectory(std::wstring path) { g_workDirectory = std::move(path); }

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::wstring();
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

// The temporary-files path with its trailing backslash. The platform call
// serves paths up to MAX_PATH; a longer TMP or TEMP is read as it stands.
std::wstring TemporaryPath() {
  std::wstring temp(MAX_PATH + 1, L'\0');
  const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  if (length > 0 && length < temp.size()) {
    temp.resize(length);
    return temp;
  }
  for (const wchar_t* name : {L"TMP", L"TEMP", L"USERPROFILE"}) {
    temp = EnvironmentValue(name);
    if (!temp.empty()) return temp.back() == L'\\' ? temp : temp + L"\\";
  }
  return std::wstring();
}

std::wstring OwnTitle() { return win32::ToWide(FileTitle(win32::ToU16(win32::GetModulePath(nullptr)))); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A directory that a running host holds (HoldWorkDirectory) cannot be
// opened for deletion: that, not its name, tells a live run's directory.
bool HeldByARun(const std::wstring& dir) {
  const win32::OwnedHandle probe(CreateFileW(dir.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return !probe;
}

// True when a process of this id runs an executable with this file title.
bool RunsTitle(DWORD processId, const std::wstring& title) {
  win32::OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // there, but not ours to see: leave it
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code) || code != STILL_ACTIVE) return false;
  std::wstring image(32768, L'\0');
  DWORD size = static_cast<DWORD>(image.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &size)) return true;  // cannot tell: leave it
  image.resize(size);
  return _wcsicmp(win32::ToWide(FileTitle(win32::ToU16(image))).c_str(), title.c_str()) == 0;
}

}  // namespace

std::wstring FormWorkDirectory() {
  return win32::ToWide(WorkDirectoryPath(win32::ToU16(TemporaryPath()), GetCurrentProcessId(), win32::ToU16(OwnTitle())));
}

void SweepStaleWorkDirectories() {
  const std::wstring temp = TemporaryPath();
  const std::wstring title = OwnTitle();
  if (temp.empty() || title.empty()) return;
  WIN32_FIND_DATAW found;
  win32::OwnedFind search(FindFirstFileW((temp + L"*" + title).c_str(), &found));
  if (!search) return;
  std::vector<std::wstring> stale;
  do {
    const std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    // <decimal process id><title>, exactly.
    if (name.size() <= title.size() || name.compare(name.size() - title.size(), title.size(), title) != 0) continue;
    const std::wstring digits = name.substr(0, name.size() - title.size());
    if (digits.size() > 10 || digits.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const unsigned long long pid = std::stoull(digits);
    if (pid > 0xFFFFFFFFull || pid == GetCurrentProcessId() || RunsTitle(static_cast<DWORD>(pid), title)) continue;
    const std::wstring dir = temp + name;
    // The name may belong to another program ("5241demo" is 524's "1demo"
    // as well as 5241's "demo"): only a directory no run holds goes.
    const bool marked =
        Exists(dir + L"\\main.qwin") || Exists(dir + L"\\scriptcore.dll") || Exists(dir + L"\\" + kRemovalMark);
    if (marked && !HeldByARun(dir)) stale.push_back(dir);
  } while (FindNextFileW(search.get(), &found));
  search.reset();
  for (const std::wstring& dir : stale) DeleteDirectoryTree(dir);
}

void HoldWorkDirectory() {
  // Listing access: a handle with attribute access alone takes no part in sharing.
  g_hold.reset(CreateFileW(g_workDirectory.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

void RemoveWorkDirectory(const std::wstring& path) {
  g_hold.reset();
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (DeleteDirectoryTree(path)) return;
    Sleep(100);
  }
  // What is still there goes at the next start of this executable.
  const win32::OwnedHandle mark(CreateFileW((path + L"\\" + kRemovalMark).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
}

std::wstring WorkFilePath(const std::wstring& name) { return g_workDirectory + L"\\" + name; }

namespace {

// The path in the form that lifts the MAX_PATH limit: \\?\C:\... or \\?\UNC\...
std::wstring ExtendedPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::wstring();
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
  if (full.rfind(LR"(\\?\)", 0) == 0) return full;
  if (full.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

bool DeleteEntry(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
}

bool DeleteTree(const std::wstring& directory) {
  bool all = true;
  WIN32_FIND_DATAW found;
  win32::OwnedFind search(FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + name;
      const DWORD attributes = found.dwFileAttributes;
      const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (folder && !DeleteTree(child)) all = false;
      else if (!folder && !DeleteEntry(child, attributes)) all = false;
    } while (FindNextFileW(search.get(), &found));
    search.reset();  // the folder is removed next
  }
  return DeleteEntry(directory, GetFileAttributesW(directory.c_str())) && all;
}

}  // namespace

bool DeleteDirectoryTree(const std::wstring& path) {
  if (path.empty()) return true;
  const std::wstring root = ExtendedPath(path);
  if (root.empty()) return false;
  const DWORD attributes = GetFileAttributesW(root.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return DeleteEntry(root, attributes);
  return DeleteTree(root);
}

}  // namespace qs
