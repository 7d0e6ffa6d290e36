#include "host/work_directory.h"

#include <windows.h>

#include "host/work_dir_name.h"
#include "win32/text.h"

namespace qs {

namespace {
std::wstring g_workDirectory;
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

}  // namespace

std::wstring FormWorkDirectory() {
  const std::wstring temp = TemporaryPath();
  const std::wstring module = win32::GetModulePath(nullptr);
  return win32::ToWide(WorkDirectoryPath(win32::ToU16(temp), GetCurrentProcessId(),
                                          FileTitle(win32::ToU16(module))));
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
  HANDLE search = FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + name;
      const DWORD attributes = found.dwFileAttributes;
      const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (folder && !DeleteTree(child)) all = false;
      else if (!folder && !DeleteEntry(child, attributes)) all = false;
    } while (FindNextFileW(search, &found));
    FindClose(search);
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
