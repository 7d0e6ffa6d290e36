#include "controls/qs_browse.h"

#include <commdlg.h>
#include <algorithm>
#include <shlobj.h>

#include "win32/dialog.h"
#include "win32/handles.h"

namespace qs {

namespace {

int ButtonWidth(HWND hwnd, const std::wstring& label) {
  win32::WindowDc dc(hwnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  win32::SelectObjectScope select(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), label.c_str(), static_cast<int>(label.size()), &size);
  return std::max<int>(size.cx + 10, GetSystemMetrics(SM_CXVSCROLL));
}

}  // namespace

void CQSBrowse::EnableBrowseButton(const std::wstring& label) {
  label_ = label;
  buttonEnabled_ = true;
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQSBrowse::SetBrowseMode(int mode) { browseMode_ = mode == 2 ? 2 : 3; }

RECT CQSBrowse::ButtonRect() const {
  RECT window;
  GetWindowRect(hwnd(), &window);
  OffsetRect(&window, -window.left, -window.top);
  const int border = (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_BORDER) ? GetSystemMetrics(SM_CXBORDER) : 0;
  InflateRect(&window, -border, -border);
  window.left = std::max<LONG>(window.left, window.right - ButtonWidth(hwnd(), label_));
  return window;
}

bool CQSBrowse::HitButton(LPARAM screenPoint) const {
  RECT window;
  GetWindowRect(hwnd(), &window);
  POINT p{static_cast<short>(LOWORD(screenPoint)) - window.left, static_cast<short>(HIWORD(screenPoint)) - window.top};
  const RECT button = ButtonRect();
  return buttonEnabled_ && PtInRect(&button, p);
}

void CQSBrowse::PaintButton() {
  HDC dc = GetWindowDC(hwnd());
  RECT button = ButtonRect();
  DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  {
    win32::SelectObjectScope select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, label_.c_str(), static_cast<int>(label_.size()), &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  ReleaseDC(hwnd(), dc);
}

void CQSBrowse::Browse() {
  wchar_t path[MAX_PATH * 4] = {};
  GetWindowTextW(hwnd(), path, MAX_PATH * 4);
  if (browseMode_ == 2) {
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetAncestor(hwnd(), GA_ROOT);
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH * 4;
    open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    const win32::MessageLoopScope loop;
    if (!GetOpenFileNameW(&open)) return;
  } else {
    BROWSEINFOW browse{};
    browse.hwndOwner = GetAncestor(hwnd(), GA_ROOT);
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    const win32::MessageLoopScope loop;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return;
    const BOOL ok = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!ok) return;
  }
  SetWindowTextW(hwnd(), path);
}

bool CQSBrowse::OnCommand(WORD code, LRESULT*) {
  if (code != EN_CHANGE) return false;
  Raise(changeEvent_);
  return true;
}

bool CQSBrowse::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!buttonEnabled_) return false;
  switch (message) {
    case WM_NCCALCSIZE: {
      *result = Default(message, wParam, lParam);
      RECT* client = reinterpret_cast<RECT*>(lParam);
      client->right = std::max(client->left, client->right - ButtonWidth(hwnd(), label_));
      return true;
    }
    case WM_NCPAINT:
      Default(message, wParam, lParam);
      PaintButton();
      *result = 0;
      return true;
    case WM_NCHITTEST:
      if (!HitButton(lParam)) return false;
      *result = HTBORDER;
      return true;
    case WM_NCLBUTTONDOWN:
      if (!HitButton(lParam)) return false;
      pressed_ = true;
      PaintButton();
      *result = 0;
      return true;
    case WM_NCLBUTTONUP:
      if (!pressed_) return false;
      pressed_ = false;
      PaintButton();
      if (HitButton(lParam)) Browse();
      *result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace qs
