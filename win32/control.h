// Base of the host's control objects. A control object is linked to its
// window by a window subclass (its window procedure) and found through a
// table of the process: nothing on the way of a message asks the window
// server;
// its parent dialog hands the control's own notifications (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*) back to it.
#pragma once

#include <windows.h>

namespace win32 {

class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Creates the control's window as a child of `parent` and attaches this object.
  bool Create(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, const RECT& rect,
              HWND parent, UINT_PTR id);
  bool Attach(HWND hwnd);

  HWND hwnd() const { return hwnd_; }
  static Control* FromHandle(HWND hwnd);

  // Notifications reflected by the parent. Return true when handled; the
  // parent then does nothing further with the notification.
  virtual bool OnCommand(WORD /*code*/, LRESULT* /*result*/) { return false; }
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
  virtual bool OnCtlColor(HDC /*dc*/, LRESULT* /*brush*/) { return false; }
  // Sees a message before it is dispatched; true discards it.
  virtual bool PreTranslateMessage(const MSG& /*msg*/) { return false; }

 protected:
  // The control window's own messages; true when handled (with *result).
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT* /*result*/) {
    return false;
  }
  // Runs when the object is attached to its window, before any message of
  // the window reaches the object.
  virtual void PreSubclassWindow(HWND /*hwnd*/) {}
  // The window's processing without this object.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
};

// Registers a window class of this module for controls the host draws
// itself: default procedure (the control object subclasses it), arrow cursor,
// redrawn whole on resizing, `background` erased (null: nothing).
void RegisterControlClass(const wchar_t* className, HBRUSH background);

// Hands a notification that a parent received back to the control object of
// the direct child that sent it. Returns true when that object handled it.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace win32
