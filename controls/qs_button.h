// Buttons, check boxes and radio buttons: the platform's buttons that raise
// their click event on BN_CLICKED (after a check box has toggled, after a
// radio button has become selected).
#pragma once

#include <string>

#include "controls/qs_control.h"

namespace qs {

class CQSClickButton : public CQSControl {
 public:
  void set_clickEvent(std::u16string event) { clickEvent_ = std::move(event); }
  bool OnCommand(WORD code, LRESULT* result) override;

 private:
  std::u16string clickEvent_;
};

// "鼠标单击".
class CQSButton : public CQSClickButton {};

// "左键单击", after the toggle.
class CQSCheck : public CQSClickButton {
 public:
  // The initial state: the button's set-check message with 1 or 0.
  void SetInitialState(bool checked);
};

// "左键单击". Mouse moves and double clicks are discarded before dispatch,
// so a double click counts as one click.
class CQSRadio : public CQSCheck {
 public:
  bool PreTranslateMessage(const MSG& msg) override;
};

}  // namespace qs
