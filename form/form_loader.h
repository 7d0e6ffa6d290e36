// Builds the script's window from main.qwin in the work directory.
#pragma once

namespace qs {

class CQSExeDlg;

void LoadForm(CQSExeDlg& dialog);

}  // namespace qs
