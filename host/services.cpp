#include "host/services.h"

#include <string>

#include "host/input_box.h"
#include "host/resource_ids.h"
#include "host/service_state.h"
#include "host/wait_key_table.h"
#include "messages/message_records.h"
#include "win32/dialog.h"
#include "win32/handles.h"

namespace qs {

LRESULT AddTrayIcon(HWND window, NOTIFYICONDATAW& record, WPARAM tip, LPARAM hideOnMinimise) {
  ServiceState& state = TheServiceState();
  state.trayIconAdded = true;
  state.hideOnMinimise = hideOnMinimise == 0;
  record.cbSize = sizeof(NOTIFYICONDATAW);  // 956 bytes in the 32-bit build
  record.hWnd = window;
  record.uID = kTrayIconId;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallback;
  record.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  // At most 127 characters and the terminator.
  lstrcpynW(record.szTip, tip ? reinterpret_cast<const wchar_t*>(tip) : L"", ARRAYSIZE(record.szTip));
  Shell_NotifyIconW(NIM_ADD, &record);
  return 0;
}

void ReAddTrayIcon(NOTIFYICONDATAW& record) {
  if (TheServiceState().trayIconAdded) Shell_NotifyIconW(NIM_ADD, &record);
}

LRESULT OnTrayCallback(HWND window, WPARAM iconId, LPARAM mouseMessage) {
  if (iconId != kTrayIconId) return 1;
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    ShowWindow(window, SW_SHOWNORMAL);
  } else if (mouseMessage == WM_RBUTTONUP) {
    win32::OwnedMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, kTrayActivate, L"激活");
    AppendMenuW(menu.get(), MF_STRING, kTrayClose, L"关闭");
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    const win32::MessageLoopScope loop;
    TrackPopupMenu(menu.get(), TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
  }
  return 0;
}

LRESULT ShowInputBox(HWND owner, WPARAM request) {
  auto* box = reinterpret_cast<InputBoxRequest*>(request);
  if (!box) return 0;
  CExePopUpDia dialog(box->title ? reinterpret_cast<const wchar_t*>(box->title) : L"",
                      box->prompt ? reinterpret_cast<const wchar_t*>(box->prompt) : L"");
  // Closing: answered as cancelled without a box. A close request while
  // the box is open ends its loop the same way (DoModal gives -1).
  const INT_PTR answer = TheServiceState().closing ? IDCANCEL : dialog.DoModal(owner);
  static wchar_t results[kInputResults][kInputResultUnits];
  static int next = 0;
  wchar_t* result = results[next];
  next = (next + 1) % kInputResults;
  result[0] = L'\0';
  box->result = reinterpret_cast<const char16_t*>(result);
  if (answer != IDOK) return 0;
  lstrcpynW(result, dialog.editText().c_str(), kInputResultUnits);
  return 1;
}

LRESULT WaitForKey(HWND window) {
  ServiceState& state = TheServiceState();
  if (state.closing) return 0;
  state.capturedKey = 0;
  SetTimer(window, kWaitKeyTimer, 100, nullptr);
  win32::MessageLoopScope loop;
  int quitCode = 0;
  bool quit = false;
  while (state.capturedKey == 0 && !quit) {
    if (!win32::PumpMessage(&quitCode)) {
      PostQuitMessage(quitCode);  // the loops outside see it too
      quit = true;
    }
  }
  KillTimer(window, kWaitKeyTimer);
  return quit ? 0 : state.capturedKey;
}

void ScanWaitKeys() {
  for (std::uint8_t key : kWaitKeys) {
    if (GetAsyncKeyState(key) & 0x8000) {
      TheServiceState().capturedKey = key;
      return;
    }
  }
}

}  // namespace qs
