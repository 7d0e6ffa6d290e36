// CQSBrowse, the browse box: an edit box with a "..." button at its right
// edge (in the non-client area) that opens a file picker (mode 2) or a
// folder picker (any other mode). Raises "选择改变" on every text change.
#pragma once

#include <string>

#include "controls/qs_control.h"

namespace qs {

class CQSBrowse : public CQSControl {
 public:
  void EnableBrowseButton(const std::wstring& label = L"...");
  void SetBrowseMode(int mode);  // 2: file picker; otherwise folder picker (stored as 3)
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }

  int browseMode() const { return browseMode_; }
  // The button's rectangle in window coordinates.
  RECT ButtonRect() const;
  // Opens the picker and puts the chosen path into the box.
  void Browse();

  bool OnCommand(WORD code, LRESULT* result) override;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void PaintButton();
  bool HitButton(LPARAM screenPoint) const;

  std::u16string changeEvent_;
  int browseMode_ = 2;
  std::wstring label_;
  bool buttonEnabled_ = false;
  bool pressed_ = false;
};

}  // namespace qs
