#include "controls/qs_edit.h"

#include "controls/redraw.h"

namespace qs {

void CQSEdit::SetPassword(bool password) {
  SendMessageW(hwnd(), EM_SETPASSWORDCHAR, password ? L'*' : 0, 0);
  if (IsWindowVisible(hwnd())) InvalidateRect(GetParent(hwnd()), nullptr, TRUE);
}

void CQSEdit::SetTextColor(COLORREF color) {
  textColor_ = color;
  InvalidateBehind(hwnd());
}

void CQSEdit::SetBackgroundColor(COLORREF color) {
  backgroundColor_ = color;
  InvalidateBehind(hwnd());
}

bool CQSEdit::OnCtlColor(HDC dc, LRESULT* result) {
  brush_.reset();  // the brush of the previous request
  if (backgroundColor_ == kNoBackground) {
    lastBrush_ = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
  } else {
    brush_.reset(CreateSolidBrush(backgroundColor_));
    lastBrush_ = brush_.get();
    SetBkColor(dc, backgroundColor_);
  }
  ::SetTextColor(dc, textColor_);
  *result = reinterpret_cast<LRESULT>(lastBrush_);
  return true;
}

bool CQSEdit::OnCommand(WORD code, LRESULT*) {
  switch (code) {
    case EN_UPDATE:
      InvalidateBehind(hwnd());
      return true;
    case EN_CHANGE:
      Raise(changeEvent_);
      return true;
    case EN_KILLFOCUS:
      Raise(lostFocusEvent_);
      InvalidateBehind(hwnd());
      return true;
    default:
      return false;
  }
}

bool CQSEdit::OnMessage(UINT message, WPARAM, LPARAM, LRESULT*) {
  if (message == WM_LBUTTONDOWN) InvalidateBehind(hwnd());
  return false;  // then the default processing
}

}  // namespace qs
