// The application object: common controls, the main dialog run modally,
// and the end of the process once it has ended.
#include <windows.h>
#include <commctrl.h>

#include "host/main_dialog.h"
#include "win32/system_library.h"

namespace qs {

class CQSExeApp {
 public:
  bool InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (const auto init = win32::SystemFunction<InitCommonControlsExFn>(L"comctl32.dll", "InitCommonControlsEx"))
      init(&controls);
    CQSExeDlg dialog;
    dialog.DoModal(nullptr);
    return false;
  }
};

}  // namespace qs

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  qs::CQSExeApp app;
  app.InitInstance();
  return 0;
}
