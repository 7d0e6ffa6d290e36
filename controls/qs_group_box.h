// CQSGroupBox: a plain child window of its own class (no background brush)
// that draws a rounded frame with a title, in outline or filled mode.
#pragma once

#include <string>

#include "controls/qs_control.h"
#include "win32/handles.h"

namespace qs {

class CQSGroupBox : public CQSControl {
 public:
  CQSGroupBox();

  // Creates the window of the group box class.
  bool CreateWindowIn(HWND parent, const wchar_t* text, DWORD style, const RECT& rect, UINT_PTR id);

  // The thirteen setters; each stores, recreates the font where it touches
  // the logical font, redraws in the parent and returns the object.
  virtual CQSGroupBox& SetBorderColor(COLORREF color);
  virtual CQSGroupBox& SetTitleTextColor(COLORREF color);
  virtual CQSGroupBox& SetBackgroundColors(COLORREF title, COLORREF client);
  virtual CQSGroupBox& SetBackgroundColor(COLORREF color);
  virtual CQSGroupBox& SetMode(int mode);
  virtual CQSGroupBox& SetTitle(const wchar_t* title);
  virtual CQSGroupBox& SetBold(bool bold);
  virtual CQSGroupBox& SetFaceName(const wchar_t* face, BYTE charset);
  virtual CQSGroupBox& SetUnderline(BYTE underline);
  virtual CQSGroupBox& SetItalic(BYTE italic);
  virtual CQSGroupBox& SetPointSize(int points);
  virtual CQSGroupBox& SetLogFont(LOGFONTW font);
  virtual CQSGroupBox& SetAlignment(int alignment);

  const std::wstring& title() const { return title_; }
  int alignment() const { return alignment_; }
  int mode() const { return mode_; }
  const LOGFONTW& logFont() const { return logFont_; }

  // The title rectangle the paint code uses for the current title, font and
  // client size (the title member as painting leaves it).
  RECT TitleRect();

 protected:
  void PreSubclassWindow(HWND hwnd) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void RecreateFont();
  CQSGroupBox& Redrawn();
  // Steps 1-5 of painting: the inset rectangle, the title rule, the measure.
  struct Layout {
    RECT inset;
    SIZE title;
    RECT titleRect;
  };
  Layout Measure(HDC dc);
  void Paint();

  std::wstring title_;
  int alignment_ = 0;
  COLORREF borderColor_, titleBackColor_, clientBackColor_, titleTextColor_;
  int mode_ = 0;
  LOGFONTW logFont_{};
  win32::OwnedFont font_;
};

}  // namespace qs
