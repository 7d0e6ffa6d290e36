// CQSStatic, the label: a static control that paints itself completely in
// its own font, colours and alignment, and raises "鼠标单击" when clicked.
#pragma once

#include <cstdint>
#include <string>

#include "controls/qs_control.h"

namespace qs {

class CQSStatic : public CQSControl {
 public:
  void SetBackgroundColor(COLORREF color);
  void SetFont(const std::wstring& face, int height, COLORREF textColor, std::int32_t styleFlags);
  void set_clickEvent(std::u16string event) { clickEvent_ = std::move(event); }

  bool bold() const { return bold_; }
  bool centre() const { return centre_; }
  bool right() const { return right_; }
  UINT TextFormat() const;

  bool OnCommand(WORD code, LRESULT* result) override;

 protected:
  // The window gets SS_NOTIFY added, so that the platform reports clicks.
  void PreSubclassWindow(HWND hwnd) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Paint();

  std::uint8_t bold_ = 0, italic_ = 0, underline_ = 0, strikeOut_ = 0, smoothing_ = 0;
  std::uint8_t hasBackground_ = 0, centre_ = 0, right_ = 0;
  std::wstring faceName_ = L"MS Sans Serif";
  COLORREF textColor_ = 0;
  COLORREF backgroundColor_ = 0;
  int fontHeight_ = 8;
  std::u16string clickEvent_;
};

}  // namespace qs
