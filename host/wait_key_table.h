// The keys a wait for a key looks at, in the order it looks: the first key
// that is down wins (so left Shift reads as the generic Shift, 0x10).
#pragma once

#include <array>
#include <cstdint>

namespace qs {

namespace wait_key_detail {

constexpr std::array<std::uint8_t, 127> Build() {
  std::array<std::uint8_t, 127> keys{};
  std::size_t n = 0;
  auto range = [&](int first, int last) {
    for (int k = first; k <= last; ++k) keys[n++] = static_cast<std::uint8_t>(k);
  };
  range(0x08, 0x09);  // Backspace, Tab
  range(0x0C, 0x0D);  // Clear, Enter
  range(0x10, 0x15);  // Shift, Ctrl, Alt, Pause, Caps Lock, Kana/Hangul
  range(0x17, 0x19);  // Junja, Final, Hanja/Kanji
  range(0x19, 0x19);  // Hanja/Kanji a second time
  range(0x1B, 0x39);  // Esc ... Space, paging, arrows, ... digits
  range(0x41, 0x5D);  // letters, Windows keys, Applications
  range(0x5F, 0x7B);  // Sleep, numeric pad, F1-F12
  range(0x90, 0x92);  // Num Lock, Scroll Lock, 0x92
  range(0xA0, 0xA5);  // left/right Shift, Ctrl, Alt
  range(0xBA, 0xC0);  // punctuation
  range(0xDB, 0xDF);  // VK_OEM_4 to VK_OEM_8
  range(0xE1, 0xE2);  // 0xE1, VK_OEM_102
  keys[n++] = 0x00;   // never down
  return n == keys.size() ? keys : std::array<std::uint8_t, 127>{};
}

}  // namespace wait_key_detail

inline constexpr std::array<std::uint8_t, 127> kWaitKeys = wait_key_detail::Build();
static_assert(kWaitKeys[4] == 0x10 && kWaitKeys[13] == 0x19 && kWaitKeys[14] == 0x1B && kWaitKeys[126] == 0x00);

}  // namespace qs
