#include "tests/support/folders.h"

#include <windows.h>

#include "host/work_directory.h"
#include "win32/text.h"

namespace qs::test {

std::wstring ProgramFolder() {
  const std::wstring self = win32::GetModulePath(nullptr);
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring EmptyFolder(const std::wstring& path) {
  DeleteDirectoryTree(path);
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

std::wstring EmptyTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return EmptyFolder(temp + name);
}

}  // namespace qs::test
