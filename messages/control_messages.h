// Messages 1525 to 1582: scripts read and change controls by name. One row
// per message (its number, the class it needs, the text and result for a
// wrong name, the operation); one generic handler runs the rows.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "form/control_kind.h"

namespace win32 {
class Control;
}

namespace qs {

class CQSExeDlg;

// The control a message names, found in the control table.
struct MessageTarget {
  win32::Control* object;
  HWND hwnd;
};

enum class NameSource { WParam, ItemRequest };

struct ControlMessage {
  UINT number;
  const char* name;                   // for logs and benchmarks
  std::optional<ControlKind> kind;    // the class the operation needs; empty: any control
  const wchar_t* wrongName;           // shown for a name that is not found
  LRESULT wrongNameResult;
  NameSource nameSource;
  bool needsLParam;                   // a pointer in lParam that must not be null
  LRESULT (*operation)(const MessageTarget& target, WPARAM wParam, LPARAM lParam);
};

std::span<const ControlMessage> ControlMessages();
const ControlMessage* FindControlMessage(UINT number);

// Runs one control message on the dialog's controls.
LRESULT HandleControlMessage(CQSExeDlg& dialog, const ControlMessage& row, WPARAM wParam, LPARAM lParam);

inline constexpr int kTextUnits = 1024;  // window-text reads and the bounded whole-text reads
inline constexpr int kDateUnits = 1023;

}  // namespace qs
