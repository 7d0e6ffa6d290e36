// The control operations of the Lua engine as data: each Lua function
// (`label.set`, `list.item`, ...) names one message of the host, the shape
// of its arguments and of its result. One generic function runs every row.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qs::lua {

enum class Shape : std::uint8_t {
  SetText,   // (name, text) -> true/false            lParam: the text (UTF-16)
  GetText,   // (name) -> text or nil                 lParam: a 1,024-unit buffer
  SetInt,    // (name, n) -> true/false               lParam: n
  Exchange,  // (name, n) -> the result (the previous value)   lParam: n
  SetBool,   // (name, on) -> true/false              lParam: 1 or 0
  Show,      // (name, on or show command) -> t/f     lParam: 5, 0 or the number
  SetIndex,  // (name, i) -> true/false               lParam: i - 1 (nil: -1)
  Action,    // (name) -> true/false                  lParam: 0
  GetInt,    // (name) -> the result
  GetBool,   // (name) -> result ~= 0
  GetIndex,  // (name) -> result + 1, nil for -1
  ItemText,  // (name, i) -> text or nil              wParam: item request {name, i - 1}
  Place,     // (name, x, y, w, h) / (name, x, y) / (name, w, h)   lParam: placement request
  SetPath,   // (name, file) -> true/false            a relative file is one of the work directory
};

// What the host answers for a name it does not know, when that answer can
// be told apart from every success (the log then names the script line).
enum class WrongName : std::uint8_t { Zero, MinusOne, Unknown };

struct NamedOperation {
  std::string_view family;  // the Lua table: label, edit, list, ...
  std::string_view name;    // the function in it
  std::uint16_t message;
  Shape shape;
  WrongName wrongName;
  std::uint8_t placeMode = 0;  // 1582: 1 move, 2 resize, 0 both
};

std::span<const NamedOperation> NamedOperations();

// Text reads get a buffer of this many UTF-16 units (the host writes at
// most 1,023 and the terminator).
inline constexpr std::size_t kTextBuffer = 1024;

}  // namespace qs::lua
