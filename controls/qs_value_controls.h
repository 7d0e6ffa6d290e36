// The drop-down, the progress bar, the slider and the date box: platform
// controls holding items or one value.
#pragma once

#include <string>

#include "controls/qs_control.h"

namespace qs {

// "左键单击" each time the list is about to drop down, "选择改变" when the
// user changes the selection (changes made by program raise nothing).
class CQSComboBox : public CQSControl {
 public:
  void set_dropDownEvent(std::u16string event) { dropDownEvent_ = std::move(event); }
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }
  bool OnCommand(WORD code, LRESULT* result) override;

 private:
  std::u16string dropDownEvent_;
  std::u16string changeEvent_;
};

class CQSProgress : public CQSControl {};

class CQSDate : public CQSControl {};

// "位置改变" after the mouse is released on it, and before an arrow key
// moves it (so the script reads the old position); other keys raise nothing.
class CQSSlider : public CQSControl {
 public:
  void set_changeEvent(std::u16string event) { changeEvent_ = std::move(event); }
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool PreTranslateMessage(const MSG& msg) override;

 private:
  std::u16string changeEvent_;
};

}  // namespace qs
