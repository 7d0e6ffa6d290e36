#include "win32/control.h"

#include <unordered_map>

namespace win32 {

namespace {

// The control object of each subclassed window. Only the window thread
// creates, destroys and looks up controls.
std::unordered_map<HWND, Control*>& Objects() {
  static std::unordered_map<HWND, Control*> objects;
  return objects;
}

}  // namespace

Control::~Control() { Detach(); }

void Control::Detach() {
  if (!hwnd_) return;
  if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(WindowProc))
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  Objects().erase(hwnd_);
  hwnd_ = nullptr;
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
  hwnd_ = hwnd;
  Objects()[hwnd] = this;
  original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
  if (original_) return true;
  Objects().erase(hwnd);
  hwnd_ = nullptr;
  return false;
}

Control* Control::FromHandle(HWND hwnd) {
  const auto& objects = Objects();
  const auto found = objects.find(hwnd);
  return found == objects.end() ? nullptr : found->second;
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* self = FromHandle(hwnd);
  if (message == WM_NCDESTROY) {
    const WNDPROC original = self->original_;
    self->Detach();
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->OnMessage(message, wParam, lParam, &result)) return result;
  return self->Default(message, wParam, lParam);
}

void RegisterControlClass(const wchar_t* className, HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
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
