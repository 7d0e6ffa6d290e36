#include "win32/dialog.h"

#include "win32/control.h"
#include "win32/handles.h"

namespace win32 {

namespace {

Dialog* g_innermostModal = nullptr;  // window thread only
int g_loopDepth = 0;                 // window thread only

}  // namespace

Dialog::~Dialog() {
  if (hwnd_) {
    HWND hwnd = hwnd_;
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

Dialog* Dialog::FromHandle(HWND hwnd) {
  return hwnd ? reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER)) : nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ended_ = false;
  result_ = -1;
  HWND hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (hwnd) {
    outerModal_ = g_innermostModal;
    g_innermostModal = this;
    if (!ended_) ShowWindow(hwnd, SW_SHOWNORMAL);
    MessageLoopScope loop;
    int quitCode = 0;
    while (!ended_) {
      if (!PumpMessage(&quitCode)) {
        OnQuitMessage();
        PostQuitMessage(quitCode);  // the outer loops end too
        result_ = -1;
        break;
      }
    }
    g_innermostModal = outerModal_;
  }
  if (disableOwner) EnableWindow(owner, TRUE);
  if (hwnd) {
    if (owner && GetActiveWindow() == hwnd) SetActiveWindow(owner);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
  return result_;
}

HWND Dialog::CreateModeless(HWND parent) {
  return CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  // Hidden at once, destroyed when the modal loop has returned. A posted
  // message wakes the loop, which may be waiting after a sent message.
  if (hwnd_) {
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
  }
}

bool Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  // Button clicks, menu items and accelerators only: other notification
  // codes from a control whose identifier happens to be 1 or 2 are no command.
  if (message != WM_COMMAND || HIWORD(wParam) > 1) return false;
  switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
  }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;  // everything else is the window procedure's
  auto* self = reinterpret_cast<Dialog*>(lParam);
  self->hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  self->original_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
  return self->OnInitDialog();
}

LRESULT CALLBACK Dialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = FromHandle(hwnd);
  if (!self) return DefDlgProcW(hwnd, message, wParam, lParam);
  const WNDPROC original = self->original_;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (ReflectToControl(hwnd, message, wParam, lParam, &result) || self->HandleMessage(message, wParam, lParam, &result))
    return result;
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

namespace {

void Dispatch(MSG& msg, HWND dialog) {
  if (Control* control = Control::FromHandle(msg.hwnd); control && control->PreTranslateMessage(msg)) return;
  if (dialog && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

void PaintInvalidBackground(HWND dialog) {
  const PaintScope paint(dialog);  // its device context is clipped to the invalid part
  SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
}

int MessageLoopDepth() { return g_loopDepth; }
MessageLoopScope::MessageLoopScope() { ++g_loopDepth; }
MessageLoopScope::~MessageLoopScope() { --g_loopDepth; }

bool PumpMessage(int* quitCode) {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    if (quitCode) *quitCode = got == 0 ? static_cast<int>(msg.wParam) : 0;
    return false;
  }
  Dispatch(msg, g_innermostModal ? g_innermostModal->hwnd() : nullptr);
  return true;
}

void PumpPendingMessages(HWND dialog) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg, dialog ? dialog : g_innermostModal ? g_innermostModal->hwnd() : nullptr);
  }
}

}  // namespace win32
