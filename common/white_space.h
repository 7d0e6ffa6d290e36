// White space as the Windows C runtime's iswspace() classifies UTF-16 code
// units. Every trim in the host (form lines, command lines, the debug switch)
// uses this one table.
#pragma once

#include <string_view>

namespace qs {

constexpr bool IsWhiteSpace(char16_t c) {
  switch (c) {
    case 0x0009: case 0x000A: case 0x000B: case 0x000C: case 0x000D:
    case 0x0020: case 0x00A0: case 0x1680:
    case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

constexpr std::u16string_view TrimRight(std::u16string_view s) {
  while (!s.empty() && IsWhiteSpace(s.back())) s.remove_suffix(1);
  return s;
}

constexpr std::u16string_view TrimLeft(std::u16string_view s) {
  while (!s.empty() && IsWhiteSpace(s.front())) s.remove_prefix(1);
  return s;
}

// Right end first, then the left end, as the host trims command lines.
constexpr std::u16string_view Trim(std::u16string_view s) { return TrimLeft(TrimRight(s)); }

}  // namespace qs
