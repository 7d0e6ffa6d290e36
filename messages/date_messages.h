// Messages 1553 and 1554: the date box's date as text.
#pragma once

#include <windows.h>

#include <string>

namespace qs {

// Parses the text (null: empty) in the user's default locale and sets the
// control's date and time. A year below 1900 sets 1 January 1970, 00:00
// universal time, as local time. Returns 1, or 0 when the text does not
// parse or the control refuses the date.
LRESULT SetDateFromText(HWND control, const wchar_t* text);

// The control's date as "%Y-%m-%d"; false when it holds no valid date.
bool ReadDateText(HWND control, std::wstring* text);

}  // namespace qs
