// The link to the script engine library scriptcore.dll: its module and its
// five entry points, and the two dispatches that turn event strings into
// QSCmd calls. Window thread only.
#pragma once

#include <windows.h>

#include <string>

namespace qs {

// The engine's entry points (C calling convention, UTF-16 strings).
using QSInitialPlatformFn = int (*)(const wchar_t* scriptPath, const wchar_t* apiPath, int debug,
                                    wchar_t* buffer);
using QSSetExeHandleFn = int (*)(HWND window);
using QSSetExeTempPathFn = int (*)(const wchar_t* workDirectory);
using QSTerminateFn = int (*)();
using QSCmdFn = int (*)(const wchar_t* module, const wchar_t* function);

struct EngineLink {
  HMODULE module = nullptr;
  QSInitialPlatformFn initialPlatform = nullptr;
  QSSetExeHandleFn setExeHandle = nullptr;
  QSSetExeTempPathFn setExeTempPath = nullptr;
  QSTerminateFn terminate = nullptr;
  QSCmdFn cmd = nullptr;
};

// The process-wide link record, filled once by LinkEngine().
EngineLink& TheEngineLink();

// Loads "<work directory>\scriptcore.dll" and resolves the entry points.
// A missing library, QSInitialPlatform or QSCmd is reported and ends the
// process with exit code 0; the other three entry points are optional.
void LinkEngine();

// Window events are dispatched even when empty (QSCmd gets two empty names).
void DispatchWindowEvent(const std::u16string& event);
// Control events: an empty string calls nothing.
void DispatchControlEvent(const std::u16string& event);

}  // namespace qs
