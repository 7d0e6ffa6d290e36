#include "controls/qs_value_controls.h"

#include <commctrl.h>

namespace qs {

bool CQSComboBox::OnCommand(WORD code, LRESULT*) {
  switch (code) {
    case CBN_DROPDOWN:
      Raise(dropDownEvent_);
      return true;
    case CBN_SELCHANGE:
      Raise(changeEvent_);
      return true;
    default:
      return false;
  }
}

bool CQSSlider::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->code != NM_RELEASEDCAPTURE) return false;
  Raise(changeEvent_);
  *result = 0;
  return true;
}

bool CQSSlider::PreTranslateMessage(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN) Raise(changeEvent_);
  return false;  // the slider moves afterwards
}

}  // namespace qs
