// The host services an engine can ask for: the tray icon (1675) and its
// callback (1676) and menu, the input box (1679), the wait for a key (2674).
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace qs {

inline constexpr UINT kAddTrayIcon = 1675, kTrayCallback = 1676, kTrayActivate = 1677, kTrayClose = 1678,
                      kInputBox = 1679, kWaitForKey = 2674;
inline constexpr UINT kTrayIconId = 128;
inline constexpr UINT_PTR kWaitKeyTimer = 10;

LRESULT AddTrayIcon(HWND window, NOTIFYICONDATAW& record, WPARAM tip, LPARAM hideOnMinimise);
// The notification area restarted: the icon goes back in if it was there.
void ReAddTrayIcon(NOTIFYICONDATAW& record);
LRESULT OnTrayCallback(HWND window, WPARAM iconId, LPARAM mouseMessage);
LRESULT ShowInputBox(HWND owner, WPARAM request);
LRESULT WaitForKey(HWND window);
// Timer 10 of a wait: the first key of the wait-key table that is down.
void ScanWaitKeys();

// Result texts of the input box: a ring of buffers, so that a text stays
// valid until 64 later input boxes have been answered, long after its
// sender has copied it.
inline constexpr int kInputResults = 64;
inline constexpr int kInputResultUnits = 1024;

}  // namespace qs
