// UTF-16 at the Win32 edge: on Windows wchar_t and char16_t have the same
// size and encoding, so portable strings pass through without copying.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "common/utf.h"

namespace win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline std::u16string_view View(const wchar_t* s) {
  return s ? std::u16string_view(U(s)) : std::u16string_view();
}
inline std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
// UTF-8 for logs, files and console output, and back.
inline std::string Utf8(std::wstring_view s) { return qs::ToUtf8(std::u16string_view(U(s.data()), s.size())); }
inline std::wstring WideFromUtf8(std::string_view s) { return ToWide(qs::FromUtf8(s)); }

// The whole window text.
std::wstring GetWindowTextString(HWND hwnd);

// The module's own file name, without length limit.
std::wstring GetModulePath(HMODULE module);

}  // namespace win32
