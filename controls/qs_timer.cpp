#include "controls/qs_timer.h"

#include <commctrl.h>

namespace qs {

void CQSTimer::Start(UINT interval) {
  timerId_ = SetTimer(hwnd(), 1, interval, nullptr);
  interval_ = interval;
}

void CQSTimer::Stop() {
  if (timerId_) KillTimer(hwnd(), timerId_);
}

bool CQSTimer::OnMessage(UINT message, WPARAM, LPARAM, LRESULT*) {
  if (message == WM_TIMER) Raise(tickEvent_);
  return false;  // then the default processing
}

UINT HotKeyFieldToRegistration(BYTE fieldModifiers) {
  UINT flags = 0;
  if (fieldModifiers & HOTKEYF_SHIFT) flags |= MOD_SHIFT;
  if (fieldModifiers & HOTKEYF_CONTROL) flags |= MOD_CONTROL;
  if (fieldModifiers & HOTKEYF_ALT) flags |= MOD_ALT;
  return flags;  // the extended-key flag has no registration counterpart
}

void CQSHotKeyCtrl::SetCombination(BYTE virtualKey, BYTE modifiers) {
  SendMessageW(hwnd(), HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
}

BOOL CQSHotKeyCtrl::Register() {
  const WORD combination = static_cast<WORD>(SendMessageW(hwnd(), HKM_GETHOTKEY, 0, 0));
  return RegisterHotKey(hwnd(), 1, HotKeyFieldToRegistration(HIBYTE(combination)), LOBYTE(combination));
}

BOOL CQSHotKeyCtrl::Unregister() { return UnregisterHotKey(hwnd(), 1); }

std::wstring CQSHotKeyCtrl::HotKeyName() const {
  const WORD combination = static_cast<WORD>(SendMessageW(hwnd(), HKM_GETHOTKEY, 0, 0));
  const BYTE key = LOBYTE(combination), modifiers = HIBYTE(combination);
  auto keyName = [](UINT virtualKey, bool extended) {
    const LONG scan = static_cast<LONG>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    wchar_t name[64] = {};
    GetKeyNameTextW((scan << 16) | (extended ? 1 << 24 : 0), name, 64);
    return std::wstring(name);
  };
  std::wstring text;
  auto append = [&text](const std::wstring& part) { text += (text.empty() ? L"" : L" + ") + part; };
  if (modifiers & HOTKEYF_CONTROL) append(keyName(VK_CONTROL, false));
  if (modifiers & HOTKEYF_SHIFT) append(keyName(VK_SHIFT, false));
  if (modifiers & HOTKEYF_ALT) append(keyName(VK_MENU, false));
  if (key) append(keyName(key, (modifiers & HOTKEYF_EXT) != 0));
  return text;
}

bool CQSHotKeyCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_HOTKEY) {
    Raise(hotKeyEvent_);
    return false;
  }
  if (message == WM_KILLFOCUS) {
    *result = Default(message, wParam, lParam);
    Raise(lostFocusEvent_);
    return true;
  }
  return false;
}

}  // namespace qs
