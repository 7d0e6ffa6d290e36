#include "win32/control.h"

#include <commctrl.h>

namespace win32 {

namespace {
constexpr UINT_PTR kSubclassId = 0x5153;  // "QS"
// The window property that links a control window to its object.
const wchar_t* ObjectProperty() {
  static const ATOM atom = GlobalAddAtomW(L"QSExe.Control");
  return MAKEINTATOM(atom);
}
}  // namespace

Control::~Control() {
  if (hwnd_) {
    RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    RemovePropW(hwnd_, ObjectProperty());
    hwnd_ = nullptr;
  }
}

bool Control::Create(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                     const RECT& rect, HWND parent, UINT_PTR id) {
  HWND hwnd = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                              rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(id),
                              GetModuleHandleW(nullptr), nullptr);
  return hwnd && Attach(hwnd);
}

bool Control::Attach(HWND hwnd) {
  PreSubclassWindow(hwnd);
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
  SetPropW(hwnd, ObjectProperty(), this);
  hwnd_ = hwnd;
  return true;
}

Control* Control::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<Control*>(GetPropW(hwnd, ObjectProperty())) : nullptr;
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  auto* self = reinterpret_cast<Control*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, ObjectProperty());
    self->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->OnMessage(message, wParam, lParam, &result)) return result;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      child = lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
      break;
    case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      child = reinterpret_cast<HWND>(lParam);
      break;
    default:
      return false;
  }
  if (!child || GetParent(child) != parent) return false;
  Control* control = Control::FromHandle(child);
  if (!control) return false;
  switch (message) {
    case WM_COMMAND: return control->OnCommand(HIWORD(wParam), result);
    case WM_NOTIFY: return control->OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
    default: return control->OnCtlColor(reinterpret_cast<HDC>(wParam), result);
  }
}

}  // namespace win32
