// The application object: common controls, the main dialog run modally,
// and the end of the process once it has ended.
#include <windows.h>
#include <commctrl.h>

#include "host/main_dialog.h"

namespace qs {

class CQSExeApp {
 public:
  bool InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
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
