// Libraries of the system that the host does not import statically: found
// in the system directory alone, never beside the program (a download
// folder may hold a file of the same name). Loaded once, kept for the run.
#pragma once

#include <windows.h>

namespace win32 {

// The entry point of a system library, or null.
FARPROC SystemEntryPoint(const wchar_t* library, const char* name);

template <class Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemEntryPoint(library, name)));
}

}  // namespace win32
