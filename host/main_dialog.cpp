#include "host/main_dialog.h"

#include "host/about_dialog.h"
#include "host/engine_link.h"
#include "host/error_box.h"
#include "host/resource_ids.h"
#include "host/service_state.h"
#include "host/services.h"
#include "host/work_directory.h"
#include "messages/control_messages.h"
#include "plugin/plugin_calls.h"
#include "win32/image.h"
#include "win32/text.h"

namespace qs {

CQSExeDlg::CQSExeDlg() : win32::Dialog(GetModuleHandleW(nullptr), IDD_QSEXE_DIALOG) {
  icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CQSExeDlg::~CQSExeDlg() = default;

const win32::MessageMap<CQSExeDlg>& CQSExeDlg::Messages() {
  static const win32::MessageMap<CQSExeDlg> map = [] {
    win32::MessageMap<CQSExeDlg> m;
    m.Add(WM_SYSCOMMAND, &CQSExeDlg::OnSysCommand);
    m.Add(WM_PAINT, &CQSExeDlg::OnPaint);
    m.Add(WM_QUERYDRAGICON, &CQSExeDlg::OnQueryDragIcon);
    m.Add(WM_ERASEBKGND, &CQSExeDlg::OnEraseBackground);
    m.Add(WM_CTLCOLORDLG, &CQSExeDlg::OnCtlColor);
    m.Add(WM_CTLCOLORSTATIC, &CQSExeDlg::OnCtlColor);
    m.Add(WM_CTLCOLORBTN, &CQSExeDlg::OnCtlColor);
    for (const ControlMessage& row : ControlMessages()) m.Add(row.number, &CQSExeDlg::OnControlMessage);
    for (UINT message : {kPluginCreate, kPluginRelease, kPluginQuery}) m.Add(message, &CQSExeDlg::OnPluginMessage);
    for (const PluginCall& call : PluginCalls()) m.Add(call.message, &CQSExeDlg::OnPluginMessage);
    for (UINT message : {kAddTrayIcon, kTrayCallback, kInputBox, kWaitForKey, RegisterWindowMessageW(L"TaskbarCreated")})
      m.Add(message, &CQSExeDlg::OnServiceMessage);
    m.Add(WM_TIMER, &CQSExeDlg::OnTimer);
    m.Add(WM_COMMAND, &CQSExeDlg::OnCommand);
    m.Add(WM_QUERYENDSESSION, &CQSExeDlg::OnEndSession);
    m.Add(WM_ENDSESSION, &CQSExeDlg::OnEndSession);
    m.Seal();
    return m;
  }();
  return map;
}

bool CQSExeDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (auto handler = Messages().Find(message)) {
    *result = (this->*handler)(message, wParam, lParam);
    // A zero from these handlers leaves the message to the dialog's own handling.
    const bool defaultOnZero = message == WM_PAINT || message == WM_ERASEBKGND || message == WM_CTLCOLORDLG ||
                               message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN || message == WM_TIMER ||
                               message == WM_COMMAND;
    if (!defaultOnZero || *result != 0) return true;
  }
  return win32::Dialog::HandleMessage(message, wParam, lParam, result);
}

BOOL CQSExeDlg::OnInitDialog() {
  SetErrorBoxOwner(hwnd());
  RunStartupSequence();
  return TRUE;
}

LRESULT CQSExeDlg::OnSysCommand(UINT, WPARAM command, LPARAM lParam) {
  if ((command & 0xFFF0) == IDM_ABOUTBOX) {
    if (!TheServiceState().closing) {
      CAboutDlg about;
      about.DoModal(hwnd());
    }
  } else {
    DefWindowProcW(hwnd(), WM_SYSCOMMAND, command, lParam);
  }
  // Minimised into the tray: only the icon remains.
  if (TheServiceState().hideOnMinimise && command == SC_MINIMIZE) {
    ShowWindow(hwnd(), SW_MINIMIZE);
    ShowWindow(hwnd(), SW_HIDE);
  }
  return 0;
}

LRESULT CQSExeDlg::OnServiceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kAddTrayIcon: return AddTrayIcon(hwnd(), trayIcon_, wParam, lParam);
    case kTrayCallback: return OnTrayCallback(hwnd(), wParam, lParam);
    case kInputBox: return ShowInputBox(hwnd(), wParam);
    case kWaitForKey: return WaitForKey(hwnd());
    default:  // the notification area has restarted
      ReAddTrayIcon(trayIcon_);
      return 0;
  }
}

// Timer 10 scans the keys of a wait; every timer then goes to the default handling.
LRESULT CQSExeDlg::OnTimer(UINT, WPARAM timer, LPARAM) {
  if (timer == kWaitKeyTimer) ScanWaitKeys();
  return 0;
}

// Log-off and shutdown: the session may end; when it does, the close
// sequence runs, so the engine stops and the work directory goes.
LRESULT CQSExeDlg::OnEndSession(UINT message, WPARAM ending, LPARAM) {
  if (message == WM_QUERYENDSESSION) return TRUE;
  if (ending) RequestClose();
  return 0;
}

// The tray menu's commands; every other command goes to the dialog's own handling.
LRESULT CQSExeDlg::OnCommand(UINT, WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != 0 || lParam != 0) return 0;
  if (LOWORD(wParam) == kTrayActivate) {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    return 1;
  }
  if (LOWORD(wParam) == kTrayClose) {
    RequestClose();
    return 1;
  }
  return 0;
}

LRESULT CQSExeDlg::OnPaint(UINT, WPARAM, LPARAM) {
  if (!IsIconic(hwnd())) {
    win32::PaintInvalidBackground(hwnd());
    return 1;
  }
  win32::PaintScope paint(hwnd());
  SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
  RECT client;
  GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(paint.dc(), x, y, icon_);
  return 1;
}

LRESULT CQSExeDlg::OnQueryDragIcon(UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

LRESULT CQSExeDlg::OnPluginMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kPluginCreate: return OnPluginCreate(plugins_, wParam);
    case kPluginRelease: return OnPluginRelease(plugins_, wParam);
    case kPluginQuery: return OnPluginQuery(plugins_, wParam);
    default: return HandlePluginCall(plugins_, *FindPluginCall(message), wParam, lParam);
  }
}

LRESULT CQSExeDlg::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleControlMessage(*this, *FindControlMessage(message), wParam, lParam);
}

HFONT CQSExeDlg::DialogFont() const {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  return font;
}

win32::Control* CQSExeDlg::AdoptControl(std::unique_ptr<win32::Control> control) {
  controlObjects_.push_back(std::move(control));
  return controlObjects_.back().get();
}

void CQSExeDlg::SetBackgroundColor(std::int32_t color) {
  backgroundColor_ = static_cast<COLORREF>(color);
  backgroundBrush_.reset(color == -1 ? nullptr : CreateSolidBrush(backgroundColor_));
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CQSExeDlg::SetBackgroundImage(win32::OwnedBitmap image) {
  backgroundImage_ = std::move(image);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CQSExeDlg::SetBackgroundImageByName(const std::u16string& name) {
  const COLORREF under = windowProperties_.backgroundColor == -1
                             ? GetSysColor(COLOR_BTNFACE)
                             : static_cast<COLORREF>(windowProperties_.backgroundColor);
  win32::OwnedBitmap image = win32::DecodeImageFile(WorkFilePath(win32::ToWide(name)), under);
  windowProperties_.backgroundImage = image ? name : std::u16string();
  SetBackgroundImage(std::move(image));
}

LRESULT CQSExeDlg::OnEraseBackground(UINT, WPARAM wParam, LPARAM) {
  if (!backgroundBrush_ && !backgroundImage_) return 0;
  HDC dc = reinterpret_cast<HDC>(wParam);
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, backgroundBrush_ ? backgroundBrush_.get() : GetSysColorBrush(COLOR_BTNFACE));
  if (backgroundImage_) {
    BITMAP info{};
    GetObjectW(backgroundImage_.get(), sizeof info, &info);
    const win32::MemoryDc memory(dc);
    const win32::SelectObjectScope image(memory.get(), backgroundImage_.get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
  }
  return 1;
}

// With a colour of its own the window hands it to the controls that paint
// their background from the parent (statics, check boxes, radio buttons);
// with an image only, they draw transparently over it.
LRESULT CQSExeDlg::OnCtlColor(UINT message, WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  if (backgroundBrush_) {
    SetBkColor(dc, backgroundColor_);
    return reinterpret_cast<LRESULT>(backgroundBrush_.get());
  }
  if (backgroundImage_ && message != WM_CTLCOLORDLG) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  return 0;
}

}  // namespace qs
