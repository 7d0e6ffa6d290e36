// The About box of the system menu; no behaviour of its own.
#pragma once

#include "host/resource_ids.h"
#include "win32/dialog.h"

namespace qs {

class CAboutDlg : public win32::Dialog {
 public:
  CAboutDlg() : win32::Dialog(GetModuleHandleW(nullptr), IDD_ABOUTBOX) {}
};

}  // namespace qs
