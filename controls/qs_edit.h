// CQSEdit, the edit box: chooses its own text and background colours (or
// none, so the parent shows through), can mask its input, and raises
// "内容改变" and "失去焦点".
#pragma once

#include <string>

#include "controls/qs_control.h"
#include "win32/handles.h"

namespace qs {

inline constexpr COLORREF kNoBackground = 0xFFFFFFFF;

class CQSEdit : public CQSControl {
 public:
  void SetPassword(bool password);
  void SetTextColor(COLORREF color);
  void SetBackgroundColor(COLORREF color);
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }
  void set_lostFocusEvent(std::u16string event) { lostFocusEvent_ = std::move(event); }

  // The brush handed out for the last colour request (owned, or the stock hollow brush).
  HBRUSH lastBrush() const { return lastBrush_; }

  bool OnCommand(WORD code, LRESULT* result) override;
  bool OnCtlColor(HDC dc, LRESULT* brush) override;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  COLORREF textColor_ = 0;
  COLORREF backgroundColor_ = kNoBackground;
  win32::OwnedBrush brush_;
  HBRUSH lastBrush_ = nullptr;
  std::u16string changeEvent_;
  std::u16string lostFocusEvent_;
};

}  // namespace qs
