#include "engine/lua/engine_log.h"

#include <windows.h>

#include <mutex>

#include "win32/handles.h"
#include "win32/text.h"

namespace qs::lua {

namespace {

HANDLE OpenForAppend(const std::wstring& path) {
  return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

win32::OwnedHandle OpenLog() {
  wchar_t named[32768];
  const DWORD n = GetEnvironmentVariableW(L"QSENGINE_LOG", named, 32768);
  if (n > 0 && n < 32768) return win32::OwnedHandle(OpenForAppend(named));
  const std::wstring program = win32::GetModulePath(nullptr);
  const std::size_t slash = program.find_last_of(L"\\/");
  std::wstring name = program.substr(slash + 1);
  if (const std::size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
  name += L".log";
  win32::OwnedHandle beside(OpenForAppend(program.substr(0, slash + 1) + name));
  if (beside) return beside;
  wchar_t temp[MAX_PATH + 1];
  const DWORD t = GetTempPathW(MAX_PATH + 1, temp);
  if (t == 0 || t > MAX_PATH) return {};
  return win32::OwnedHandle(OpenForAppend(std::wstring(temp, t) + name));
}

}  // namespace

void WriteLog(const std::string& line) {
  static std::mutex lock;
  static win32::OwnedHandle file;
  static bool opened = false;
  const std::string text = line + "\n";
  std::lock_guard guard(lock);
  if (!opened) {
    opened = true;
    file = OpenLog();
  }
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace qs::lua
