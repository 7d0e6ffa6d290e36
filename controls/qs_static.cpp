#include "controls/qs_static.h"

#include "controls/redraw.h"
#include "form/form_properties.h"
#include "host/error_box.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace qs {

void CQSStatic::PreSubclassWindow(HWND hwnd) {
  SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | SS_NOTIFY);
}

void CQSStatic::SetBackgroundColor(COLORREF color) {
  backgroundColor_ = color;
  hasBackground_ = 1;
  RedrawInParent(hwnd());
}

void CQSStatic::SetFont(const std::wstring& face, int height, COLORREF textColor, std::int32_t styleFlags) {
  faceName_ = face;
  fontHeight_ = height;
  textColor_ = textColor;
  // A set bit turns its flag on; a clear bit leaves it as it was.
  if (styleFlags & kFontBold) bold_ = 1;
  if (styleFlags & kFontItalic) italic_ = 1;
  if (styleFlags & kFontUnderline) underline_ = 1;
  if (styleFlags & kFontStrikeOut) strikeOut_ = 1;
  if (styleFlags & kFontSmoothing) smoothing_ = 1;
  centre_ = (styleFlags & kFontCentred) ? 1 : 0;
  right_ = !centre_ && (styleFlags & kFontRightAligned) ? 1 : 0;
  RedrawInParent(hwnd());
}

UINT CQSStatic::TextFormat() const {
  return (centre_ ? DT_CENTER : right_ ? DT_RIGHT : DT_LEFT) | DT_WORDBREAK | DT_NOPREFIX;
}

bool CQSStatic::OnCommand(WORD code, LRESULT*) {
  if (code != STN_CLICKED) return false;
  Raise(clickEvent_);
  return true;
}

bool CQSStatic::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message != WM_PAINT) return false;
  Paint();
  *result = 0;
  return true;
}

void CQSStatic::Paint() {
  win32::PaintScope paint(hwnd());
  HDC dc = paint.dc();
  const std::wstring text = win32::GetWindowTextString(hwnd());
  RECT client;
  GetClientRect(hwnd(), &client);
  {
    win32::OwnedBrush fill(CreateSolidBrush(hasBackground_ ? backgroundColor_ : GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, fill.get());
  }
  SetTextColor(dc, textColor_);
  SetBkMode(dc, TRANSPARENT);
  win32::OwnedFont font(CreateFontW(fontHeight_, 0, 0, 0, bold_ ? FW_HEAVY : FW_NORMAL, italic_, underline_,
                                    strikeOut_, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                                    smoothing_ ? ANTIALIASED_QUALITY : DEFAULT_QUALITY, 0, faceName_.c_str()));
  if (!font) {
    ShowErrorBox(L"Font could not be created!");
    return;
  }
  win32::SelectObjectScope select(dc, font.get());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, TextFormat());
}

}  // namespace qs
