#include "win32/system_library.h"

namespace win32 {

FARPROC SystemEntryPoint(const wchar_t* library, const char* name) {
  // Kept loaded: the entry points handed out stay valid for the process.
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace win32
