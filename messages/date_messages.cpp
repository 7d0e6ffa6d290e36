#include "messages/date_messages.h"

#include <commctrl.h>
#include <oleauto.h>

#include <cstdio>

namespace qs {

LRESULT SetDateFromText(HWND control, const wchar_t* text) {
  DATE date = 0;
  if (FAILED(VarDateFromStr(const_cast<wchar_t*>(text ? text : L""), LOCALE_USER_DEFAULT, 0, &date))) return 0;
  SYSTEMTIME fields{};
  if (!VariantTimeToSystemTime(date, &fields)) return 0;
  if (fields.wYear < 1900) {
    // The start of 1970 in universal time, seen as local time.
    const SYSTEMTIME epoch{1970, 1, 4, 1, 0, 0, 0, 0};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &epoch, &fields)) fields = epoch;
  }
  // Dates from 1900 to 1969 and after 3000 are set as parsed: the control
  // holds them exactly, so none is stored wrong. A date it refuses is 0.
  return SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&fields)) ? 1 : 0;
}

bool ReadDateText(HWND control, std::wstring* text) {
  SYSTEMTIME fields{};
  if (SendMessageW(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&fields)) != GDT_VALID) return false;
  wchar_t formatted[32];
  swprintf(formatted, 32, L"%04u-%02u-%02u", fields.wYear, fields.wMonth, fields.wDay);
  *text = formatted;
  return true;
}

}  // namespace qs
