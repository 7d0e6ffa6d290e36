// CQSExeDlg: the host's only top-level window. Its initialisation is the
// start-up sequence, its cancel command the close sequence; the engine's
// service messages arrive here.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "form/control_table.h"
#include "form/form_properties.h"
#include "plugin/plugin_objects.h"
#include "win32/control.h"
#include "win32/dialog.h"
#include "win32/handles.h"
#include "win32/message_map.h"

namespace qs {

class CQSExeDlg : public win32::Dialog {
 public:
  CQSExeDlg();
  ~CQSExeDlg() override;

  WindowProperties& windowProperties() { return windowProperties_; }
  PluginTable& plugins() { return plugins_; }
  ControlTable& controls() { return controls_; }

  // The font most controls get: the dialog's own, else the stock GUI font,
  // else the system font.
  HFONT DialogFont() const;
  // The dialog owns the control objects the form loader creates.
  win32::Control* AdoptControl(std::unique_ptr<win32::Control> control);
  // The window's background colour (-1: none of its own) and image.
  void SetBackgroundColor(std::int32_t color);
  void SetBackgroundImage(win32::OwnedBitmap image);
  // Decodes "<work directory>\<name>" and shows it at the top-left corner;
  // a file that does not decode removes the image and empties the name.
  void SetBackgroundImageByName(const std::u16string& name);

  // Escape, the close box, the tray menu's "关闭", the end of the session:
  // the close sequence, at once when the request comes from the window's
  // own loop. A request inside a nested loop (the wait for a key, an input
  // box, a message box, the About box, a plug-in call that pumps) ends every
  // nested loop first, so that the sequence runs once the handlers further
  // down the stack have returned; run inside them, QSTerminate would wait
  // for the engine thread whose request one of them still serves.
  void RequestClose();
  // The close sequence: tray icon, destroy event, engine stop and unload,
  // plug-in objects, COM, work directory, end of the dialog. Runs once.
  void RunCloseSequence();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override { RequestClose(); }
  // The process is told to quit (also the way a close request inside a
  // nested loop reaches this outermost loop): the engine stops and the
  // files go all the same.
  void OnQuitMessage() override { RunCloseSequence(); }
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  static const win32::MessageMap<CQSExeDlg>& Messages();
  void RunStartupSequence();
  LRESULT OnSysCommand(UINT, WPARAM command, LPARAM lParam);
  LRESULT OnPaint(UINT, WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(UINT, WPARAM, LPARAM);
  LRESULT OnEraseBackground(UINT, WPARAM dc, LPARAM);
  LRESULT OnCtlColor(UINT message, WPARAM dc, LPARAM control);
  LRESULT OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPluginMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnServiceMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(UINT message, WPARAM timer, LPARAM lParam);
  LRESULT OnCommand(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnEndSession(UINT message, WPARAM ending, LPARAM lParam);

  WindowProperties windowProperties_;
  win32::OwnedBitmap backgroundImage_;
  ControlTable controls_;
  std::uint8_t debugFlag_ = 0;
  HICON icon_ = nullptr;  // shared resource icon, not destroyed
  NOTIFYICONDATAW trayIcon_;
  PluginTable plugins_;
  bool closed_ = false;
  win32::OwnedBrush backgroundBrush_;
  COLORREF backgroundColor_ = 0;
  std::vector<std::unique_ptr<win32::Control>> controlObjects_;
};

}  // namespace qs
