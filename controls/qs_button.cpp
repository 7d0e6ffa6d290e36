#include "controls/qs_button.h"

namespace qs {

bool CQSClickButton::OnCommand(WORD code, LRESULT*) {
  if (code != BN_CLICKED) return false;
  Raise(clickEvent_);
  return true;
}

void CQSCheck::SetInitialState(bool checked) { SendMessageW(hwnd(), BM_SETCHECK, checked ? 1 : 0, 0); }

bool CQSRadio::PreTranslateMessage(const MSG& msg) {
  return msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONDBLCLK;
}

}  // namespace qs
