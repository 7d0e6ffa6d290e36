#include "controls/qs_list_box.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/handles.h"
#include "win32/text.h"

namespace qs {

namespace {

const wchar_t kListBoxClass[] = L"QSListBox";

void RegisterListBoxClass() {
  static const bool registered = (win32::RegisterControlClass(kListBoxClass, GetSysColorBrush(COLOR_BTNFACE)), true);
  (void)registered;
}

}  // namespace

bool CQSListBox::CreateWindowIn(HWND parent, DWORD style, const RECT& rect, UINT_PTR id) {
  RegisterListBoxClass();
  if (!Create(kListBoxClass, L"", style | WS_CLIPCHILDREN, 0, rect, parent, id)) return false;
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                          0, 0, 0, 0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!list_) return false;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = rect.right - rect.left;
  ListView_InsertColumn(list_, 0, &column);
  Layout();
  return true;
}

int CQSListBox::CaptionHeight() {
  if (GetWindowTextLengthW(hwnd()) == 0) return 0;
  if (lineHeight_ == 0) {  // measured once per font
    win32::WindowDc dc(hwnd());
    win32::SelectObjectScope select(dc.get(), font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    lineHeight_ = metrics.tmHeight;
  }
  return lineHeight_ + 4;
}

void CQSListBox::Layout() {
  if (!list_) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  const int caption = CaptionHeight();
  const RECT area{0, caption, client.right, std::max<LONG>(caption, client.bottom)};
  if (EqualRect(&area, &listArea_)) return;
  listArea_ = area;
  MoveWindow(list_, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
  RECT inner;
  GetClientRect(list_, &inner);
  ListView_SetColumnWidth(list_, 0, inner.right);  // the one column spans the list
}

int CQSListBox::GetCount() const { return ListView_GetItemCount(list_); }

int CQSListBox::GetSelItem() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

std::wstring CQSListBox::GetItemText(int index) const {
  if (index < 0 || index >= GetCount()) return std::wstring();
  std::wstring text(256, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const int length = static_cast<int>(SendMessageW(list_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
    if (length < static_cast<int>(text.size()) - 1) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

int CQSListBox::AddItem(const std::wstring& text, LPARAM data, int position) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = position < 0 ? GetCount() : position;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.lParam = data;
  return ListView_InsertItem(list_, &item);
}

bool CQSListBox::RemoveItem(int index) { return ListView_DeleteItem(list_, index) != FALSE; }

void CQSListBox::PaintCaption() {
  win32::PaintScope paint(hwnd());
  RECT client;
  GetClientRect(hwnd(), &client);
  client.bottom = CaptionHeight();
  FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring caption = win32::GetWindowTextString(hwnd());
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  win32::SelectObjectScope select(paint.dc(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(paint.dc(), TRANSPARENT);
  SetTextColor(paint.dc(), GetSysColor(COLOR_BTNTEXT));
  client.left += 3;
  DrawTextW(paint.dc(), caption.c_str(), static_cast<int>(caption.size()), &client,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

bool CQSListBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom != list_) return false;
      if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
          Raise(changeEvent_);
      }
      if (header->code == LVN_BEGINLABELEDITW) {
        *result = TRUE;  // no editing in place
        return true;
      }
      *result = 0;
      return true;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      lineHeight_ = 0;
      SendMessageW(list_, WM_SETFONT, wParam, lParam);
      Layout();
      *result = 0;
      return true;
    case WM_GETFONT:
      *result = reinterpret_cast<LRESULT>(font_);
      return true;
    case WM_SETTEXT:
      *result = Default(message, wParam, lParam);
      Layout();
      InvalidateRect(hwnd(), nullptr, TRUE);
      return true;
    case WM_SIZE:
      Layout();
      return false;
    case WM_PAINT:
      PaintCaption();
      *result = 0;
      return true;
    case WM_ENABLE:
      EnableWindow(list_, static_cast<BOOL>(wParam));
      return false;
    default:
      return false;
  }
}

}  // namespace qs
