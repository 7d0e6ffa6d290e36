// CExePopUpDia, the input box of message 1679: a caption, a one-line prompt
// and an edit box, answered with OK or cancel.
#pragma once

#include <string>

#include "win32/dialog.h"

namespace qs {

class CExePopUpDia : public win32::Dialog {
 public:
  CExePopUpDia(std::wstring title, std::wstring prompt);
  const std::wstring& editText() const { return editText_; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::wstring title_;
  std::wstring prompt_;
  std::wstring editText_;
};

}  // namespace qs
