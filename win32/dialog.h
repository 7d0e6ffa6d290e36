// Dialog windows built from resource templates, with the host's own modal
// loop: one message at a time through PumpMessage(), which lets a control
// inspect its messages before dispatch and the active dialog handle its
// keyboard (Enter, Escape, Tab).
#pragma once

#include <windows.h>

namespace win32 {

class Dialog {
 public:
  Dialog(HINSTANCE instance, int templateId) : instance_(instance), templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the dialog, shows it and runs the modal loop until EndDialog().
  // Returns the EndDialog() result, or -1 when the window could not be created
  // or the loop ended because of WM_QUIT (which is posted again).
  INT_PTR DoModal(HWND owner);
  // Creates the dialog as a modeless child (tab pages).
  HWND CreateModeless(HWND parent);
  void EndDialog(INT_PTR result);

  HWND hwnd() const { return hwnd_; }
  static Dialog* FromHandle(HWND hwnd);

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // The OK (IDOK) and cancel (IDCANCEL) commands: Enter, Escape, the close
  // box. Both end the dialog unless a derived dialog decides otherwise.
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // The modal loop ends because the thread got WM_QUIT (posted again for the
  // loops outside); the window still exists.
  virtual void OnQuitMessage() {}
  // The dialog's message handling: returns true when the message is handled,
  // with its result in *result; false leaves it to the default dialog procedure.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // From WM_INITDIALOG on, the dialog's messages come here first: results go
  // back directly, without DWLP_MSGRESULT (a window-server call under Wine).
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  int templateId_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  bool ended_ = false;
  INT_PTR result_ = 0;
  Dialog* outerModal_ = nullptr;
};

// Waits for the next message of the thread and dispatches it, after the
// control it is addressed to and the innermost modal dialog have seen it.
// Returns false on WM_QUIT, whose exit code is then in *quitCode.
bool PumpMessage(int* quitCode = nullptr);

// Paints the window's background (what its WM_ERASEBKGND paints) into the
// part of it that is invalid, then validates it: an area that was
// invalidated without erasing, as the area behind a transparent edit box
// is to avoid flicker, shows the background again, and the controls over
// it repaint afterwards. For the WM_PAINT of dialogs that hold controls.
void PaintInvalidBackground(HWND dialog);

// The message loops running on the window thread, the outermost one (the
// main dialog's) included: every modal dialog's, the wait for a key's, a
// message box's, and whatever loop an outside component runs inside a call
// (a plug-in that pumps). Each runs inside a scope; a handler called by the
// outermost loop sees depth 1, one called inside a nested loop more. Every
// loop ends on the quit message and posts it again for the loops outside.
int MessageLoopDepth();
class MessageLoopScope {
 public:
  MessageLoopScope();
  ~MessageLoopScope();
  MessageLoopScope(const MessageLoopScope&) = delete;
  MessageLoopScope& operator=(const MessageLoopScope&) = delete;
};

// Dispatches every message already waiting, the same way, without waiting;
// `dialog` (may be null) gets the keyboard of its children. For tests and
// loops that must not block.
void PumpPendingMessages(HWND dialog = nullptr);

}  // namespace win32
