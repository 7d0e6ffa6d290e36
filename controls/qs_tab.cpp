#include "controls/qs_tab.h"

#include <commctrl.h>

#include "host/resource_ids.h"

namespace qs {

CQSTabPage::CQSTabPage() : win32::Dialog(GetModuleHandleW(nullptr), IDD_TAB_PAGE) {}

bool CQSTabPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_PAINT) {
    win32::PaintInvalidBackground(hwnd());
    *result = 0;
    return true;
  }
  return win32::Dialog::HandleMessage(message, wParam, lParam, result);
}

int CQSTab::PageCount() const { return static_cast<int>(SendMessageW(hwnd(), TCM_GETITEMCOUNT, 0, 0)); }

CQSTabPage* CQSTab::Page(int index) const {
  return index >= 0 && index < kTabPages && index < PageCount() ? pages_[index].get() : nullptr;
}

bool CQSTab::AddPage(const std::wstring& caption) {
  const int index = PageCount();
  if (index >= kTabPages) return false;
  auto page = std::make_unique<CQSTabPage>();
  if (!page->CreateModeless(hwnd())) return false;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  if (SendMessageW(hwnd(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)) != index) return false;
  pages_[index] = std::move(page);
  FitAllPages();
  return true;
}

RECT CQSTab::DisplayArea() const {
  RECT area;
  GetClientRect(hwnd(), &area);
  SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

void CQSTab::FitAllPages() {
  const RECT area = DisplayArea();
  for (int i = 0; i < PageCount(); ++i)
    if (CQSTabPage* page = Page(i))
      MoveWindow(page->hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void CQSTab::ShowPage(int index) {
  const RECT area = DisplayArea();
  for (int i = 0; i < PageCount(); ++i) {
    CQSTabPage* page = Page(i);
    if (!page) continue;
    if (i == index) {
      MoveWindow(page->hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
      ShowWindow(page->hwnd(), SW_SHOW);
    } else {
      ShowWindow(page->hwnd(), SW_HIDE);
    }
  }
}

void CQSTab::FinishLoading() {
  FitAllPages();
  const int last = PageCount() - 1;
  SendMessageW(hwnd(), TCM_SETCURSEL, last, 0);
  ShowPage(last);
}

void CQSTab::SelectPage(int index) {
  SendMessageW(hwnd(), TCM_SETCURSEL, index, 0);
  ShowPage(index);
}

bool CQSTab::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->code != TCN_SELCHANGE) return false;
  for (int i = 0; i < PageCount(); ++i)
    if (CQSTabPage* page = Page(i)) ShowWindow(page->hwnd(), SW_HIDE);
  if (CQSTabPage* page = Page(static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0))))
    ShowWindow(page->hwnd(), SW_SHOW);
  Raise(changeEvent_);
  *result = 0;
  return true;
}

bool CQSTab::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_SIZE) return false;
  *result = Default(message, wParam, lParam);
  FitAllPages();
  return true;
}

}  // namespace qs
