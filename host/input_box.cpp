#include "host/input_box.h"

#include "host/resource_ids.h"
#include "win32/text.h"

namespace qs {

namespace {
constexpr int kEditLimit = 1023;  // what fits the result text with its terminator
}

CExePopUpDia::CExePopUpDia(std::wstring title, std::wstring prompt)
    : win32::Dialog(GetModuleHandleW(nullptr), IDD_INPUT_BOX), title_(std::move(title)), prompt_(std::move(prompt)) {}

BOOL CExePopUpDia::OnInitDialog() {
  SetWindowTextW(hwnd(), title_.c_str());
  SetDlgItemTextW(hwnd(), IDC_INPUT_PROMPT, prompt_.c_str());
  SendDlgItemMessageW(hwnd(), IDC_INPUT_EDIT, EM_LIMITTEXT, kEditLimit, 0);
  SetDlgItemTextW(hwnd(), IDC_INPUT_EDIT, editText_.c_str());
  return TRUE;
}

void CExePopUpDia::OnOK() {
  editText_ = win32::GetWindowTextString(GetDlgItem(hwnd(), IDC_INPUT_EDIT));
  EndDialog(IDOK);
}

}  // namespace qs
