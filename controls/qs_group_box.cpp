#include "controls/qs_group_box.h"

#include <cstdlib>

#include "controls/redraw.h"
#include "win32/text.h"

namespace qs {

namespace {

const wchar_t kGroupBoxClass[] = L"QSGroupBox";

void RegisterGroupBoxClass() {
  // Nothing is erased under the group box.
  static const bool registered = (win32::RegisterControlClass(kGroupBoxClass, nullptr), true);
  (void)registered;
}

}  // namespace

CQSGroupBox::CQSGroupBox()
    : borderColor_(GetSysColor(COLOR_BTNSHADOW)),
      titleBackColor_(GetSysColor(COLOR_BTNFACE)),
      clientBackColor_(GetSysColor(COLOR_BTNFACE)),
      titleTextColor_(GetSysColor(COLOR_WINDOWTEXT)) {}

bool CQSGroupBox::CreateWindowIn(HWND parent, const wchar_t* text, DWORD style, const RECT& rect, UINT_PTR id) {
  RegisterGroupBoxClass();
  return Create(kGroupBoxClass, text, style, 0, rect, parent, id);
}

void CQSGroupBox::PreSubclassWindow(HWND hwnd) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  GetObjectW(font, sizeof logFont_, &logFont_);
  RecreateFont();
}

void CQSGroupBox::RecreateFont() {
  font_.reset();
  font_.reset(CreateFontIndirectW(&logFont_));
}

CQSGroupBox& CQSGroupBox::Redrawn() {
  RedrawInParent(hwnd());
  return *this;
}

CQSGroupBox& CQSGroupBox::SetBorderColor(COLORREF color) {
  borderColor_ = color;
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetTitleTextColor(COLORREF color) {
  titleTextColor_ = color;
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetBackgroundColors(COLORREF title, COLORREF client) {
  titleBackColor_ = title;
  clientBackColor_ = client;
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetBackgroundColor(COLORREF color) { return SetBackgroundColors(color, color); }

CQSGroupBox& CQSGroupBox::SetMode(int mode) {
  mode_ = mode;
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetTitle(const wchar_t* title) {
  if (!hwnd()) return *this;  // no window: nothing, not even a redraw
  title_ = title ? title : L"";
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetBold(bool bold) {
  logFont_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetFaceName(const wchar_t* face, BYTE charset) {
  // The face name field holds 31 characters and the terminator: longer names are cut.
  lstrcpynW(logFont_.lfFaceName, face ? face : L"", LF_FACESIZE);
  logFont_.lfCharSet = charset;
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetUnderline(BYTE underline) {
  logFont_.lfUnderline = underline;
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetItalic(BYTE italic) {
  logFont_.lfItalic = italic;
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetPointSize(int points) {
  // What CFont::CreatePointFont does: tenths of a point to a height in the
  // screen's logical units.
  LOGFONTW point = logFont_;
  HDC screen = GetDC(nullptr);
  POINT size{0, MulDiv(points * 10, GetDeviceCaps(screen, LOGPIXELSY), 720)};
  DPtoLP(screen, &size, 1);
  ReleaseDC(nullptr, screen);
  point.lfHeight = -std::abs(static_cast<int>(size.y));
  point.lfWidth = 0;
  win32::OwnedFont temporary(CreateFontIndirectW(&point));
  LOGFONTW created{};
  if (temporary && GetObjectW(temporary.get(), sizeof created, &created)) {
    logFont_.lfHeight = created.lfHeight;
    logFont_.lfWidth = created.lfWidth;
  }
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetLogFont(LOGFONTW font) {
  logFont_ = font;
  RecreateFont();
  return Redrawn();
}

CQSGroupBox& CQSGroupBox::SetAlignment(int alignment) {
  alignment_ = alignment == 1 || alignment == 2 ? alignment : 0;
  return Redrawn();
}

CQSGroupBox::Layout CQSGroupBox::Measure(HDC dc) {
  Layout layout{};
  GetClientRect(hwnd(), &layout.inset);
  InflateRect(&layout.inset, -1, -1);
  if (title_.empty()) {
    const std::wstring text = win32::GetWindowTextString(hwnd());
    if (!text.empty()) title_ = L" " + text + L" ";
  }
  if (!title_.empty()) GetTextExtentPoint32W(dc, title_.c_str(), static_cast<int>(title_.size()), &layout.title);
  const LONG L = layout.inset.left, T = layout.inset.top, R = layout.inset.right;
  const LONG w = layout.title.cx, h = layout.title.cy;
  const LONG margin = mode_ == 0 ? 10 : 2;
  const LONG top = mode_ == 0 ? T : T + 2;
  LONG x;
  if (alignment_ == 1) x = L + (R - L - w) / 2;
  else if (alignment_ == 2) x = R - margin - w;
  else x = L + margin;
  layout.titleRect = RECT{x, top, x + w, top + h};
  return layout;
}

RECT CQSGroupBox::TitleRect() {
  win32::WindowDc dc(hwnd());
  win32::SelectObjectScope font(dc.get(), font_.get());
  return Measure(dc.get()).titleRect;
}

bool CQSGroupBox::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message != WM_PAINT) return false;
  Paint();
  *result = 0;
  return true;
}

void CQSGroupBox::Paint() {
  win32::PaintScope paint(hwnd());
  HDC dc = paint.dc();
  const HGDIOBJ oldFont = SelectObject(dc, font_.get());
  const Layout layout = Measure(dc);
  const LONG L = layout.inset.left, T = layout.inset.top, R = layout.inset.right, B = layout.inset.bottom;
  const LONG h = layout.title.cy;
  win32::OwnedPen pen(CreatePen(PS_SOLID, 1, borderColor_));
  const HGDIOBJ oldPen = SelectObject(dc, pen.get());
  if (mode_ == 0) {
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, L, T + h / 2, R, B, 10, 10);
    SelectObject(dc, oldBrush);
    IntersectClipRect(dc, layout.titleRect.left, layout.titleRect.top, layout.titleRect.right, layout.titleRect.bottom);
    win32::OwnedBrush titleBrush(CreateSolidBrush(titleBackColor_));
    FillRect(dc, &layout.titleRect, titleBrush.get());
  } else {
    win32::OwnedBrush titleBrush(CreateSolidBrush(titleBackColor_));
    win32::OwnedBrush clientBrush(CreateSolidBrush(clientBackColor_));
    const HGDIOBJ oldBrush = SelectObject(dc, titleBrush.get());
    RoundRect(dc, L, T, R, B, 10, 10);
    SelectObject(dc, clientBrush.get());
    Rectangle(dc, L, T + h + 4, R, B);
    SelectObject(dc, oldBrush);
  }
  const COLORREF oldColor = SetTextColor(dc, titleTextColor_);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT titleRect = layout.titleRect;
  DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &titleRect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
}

}  // namespace qs
