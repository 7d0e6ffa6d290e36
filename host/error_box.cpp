#include "host/error_box.h"

#include <windows.h>

#include "host/work_dir_name.h"
#include "win32/dialog.h"
#include "win32/text.h"

namespace qs {

namespace {
HWND g_owner = nullptr;
}

const std::wstring& AppTitle() {
  static const std::wstring title = win32::ToWide(FileTitle(win32::ToU16(win32::GetModulePath(nullptr))));
  return title;
}

void SetErrorBoxOwner(void* hwnd) { g_owner = static_cast<HWND>(hwnd); }

void ShowErrorBox(const std::wstring& text) {
  HWND owner = g_owner && IsWindow(g_owner) ? g_owner : nullptr;
  const win32::MessageLoopScope loop;
  MessageBoxW(owner, text.c_str(), AppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace qs
