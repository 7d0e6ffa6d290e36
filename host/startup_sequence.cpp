// The start-up sequence, run by the main dialog's initialisation before the
// window is first shown. Its order is the contract with the engine.
#include <windows.h>
#include <shlwapi.h>

#include "form/form_loader.h"
#include "host/debug_switch.h"
#include "host/engine_link.h"
#include "host/error_box.h"
#include "host/main_dialog.h"
#include "host/package_extraction.h"
#include "host/resource_ids.h"
#include "host/work_directory.h"
#include "host/service_state.h"
#include "win32/text.h"

namespace qs {

namespace {

std::wstring GetCurrentDirectoryString() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring directory(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, directory.data());
  directory.resize(length < size ? length : 0);
  return directory;
}

}  // namespace

void CQSExeDlg::RunStartupSequence() {
  HWND window = hwnd();

  // The About item of the system menu.
  if (HMENU systemMenu = GetSystemMenu(window, FALSE)) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
    if (length > 0) {
      const std::wstring item(text, static_cast<size_t>(length));
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, item.c_str());
    }
  }

  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  if (FAILED(CoInitialize(nullptr))) {
    ShowErrorBox(L"初始化模块COM库失败!");
    ExitProcess(0);
  }
  LookUpPluginClass();
  plugins_.Clear();

  SetWorkDirectory(FormWorkDirectory());
  if (PathFileExistsW(WorkDirectory().c_str())) DeleteDirectoryTree(WorkDirectory());
  SweepStaleWorkDirectories();
  CreateDirectoryW(WorkDirectory().c_str(), nullptr);
  HoldWorkDirectory();
  const std::wstring startDirectory = GetCurrentDirectoryString();
  SetCurrentDirectoryW(WorkDirectory().c_str());

  ExtractPackage();
  LoadForm(*this);
  LinkEngine();

  debugFlag_ = IsDebugSwitch(win32::View(GetCommandLineW())) ? 1 : 0;
  const std::wstring apiPath = WorkFilePath(L"api.xml");
  const std::wstring scriptPath = WorkFilePath(L"sourseTemp.bak");
  const EngineLink& engine = TheEngineLink();
  wchar_t buffer[256] = {};
  engine.initialPlatform(scriptPath.c_str(), apiPath.c_str(), debugFlag_, buffer);
  if (engine.setExeHandle) engine.setExeHandle(window);
  if (engine.setExeTempPath) engine.setExeTempPath(WorkDirectory().c_str());
  DispatchWindowEvent(windowProperties_.initEvent);

  SetCurrentDirectoryW(startDirectory.c_str());
  InvalidateRect(window, nullptr, TRUE);
}

void CQSExeDlg::RequestClose() {
  ServiceState& state = TheServiceState();
  if (state.closing || closed_) return;
  state.closing = true;
  // Every loop ends on the quit message and posts it again for the loops
  // outside it; the outermost, the dialog's own, then runs the sequence.
  if (win32::MessageLoopDepth() > 1) PostQuitMessage(0);
  else RunCloseSequence();
}

void CQSExeDlg::RunCloseSequence() {
  if (closed_) return;
  closed_ = true;
  TheServiceState().closing = true;
  if (TheServiceState().trayIconAdded) Shell_NotifyIconW(NIM_DELETE, &trayIcon_);
  DispatchWindowEvent(windowProperties_.destroyEvent);
  EngineLink& engine = TheEngineLink();
  // Without QSTerminate nothing stops the engine's threads: its library
  // stays loaded until the process ends, so that they never run unmapped
  // code (its file then keeps the work directory for the next start's sweep).
  if (engine.terminate) {
    engine.terminate();
    if (engine.module) FreeLibrary(engine.module);
  }
  // The entry points are gone with the library: later notifications (the
  // window's own destruction) must not call into it.
  engine = EngineLink{};
  ReleaseAllPluginObjects(plugins_);
  CoUninitialize();
  RemoveWorkDirectory(WorkDirectory());
  EndDialog(IDCANCEL);
}

}  // namespace qs
