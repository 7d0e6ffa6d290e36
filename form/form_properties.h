// What the tail of one form line sets: its properties and its event strings,
// and the host dialog's record of the window's own values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qs {

// "字体": (face name,text colour,background colour,height,style flags).
struct FontDescription {
  std::u16string face;
  std::int32_t textColor = 0;
  std::int32_t backColor = 0;
  std::int32_t height = 0;
  std::int32_t style = 0;
};

// Style flags of a font description.
enum FontStyle : std::int32_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
  kFontSmoothing = 16,
  kFontCentred = 32,
  kFontRightAligned = 128,  // only when kFontCentred is clear
};

// The property values of one line. A field is empty when its key did not
// occur on the line; a key given twice keeps its last value.
struct FormProperties {
  std::optional<FontDescription> font;
  std::optional<std::u16string> pictureName;
  std::optional<std::u16string> iconName;
  std::optional<std::u16string> backgroundImage;
  std::optional<std::int32_t> backgroundColor;
  std::optional<std::int32_t> textColor;
  std::optional<std::int32_t> borderColor;
  std::optional<std::int32_t> clientColor;
  std::optional<std::int32_t> mode;
  std::optional<std::int32_t> alignment;
  std::optional<bool> checked;
  std::optional<bool> password;
  std::optional<std::int32_t> interval;
  std::optional<std::int32_t> virtualKey;
  std::optional<std::int32_t> pageCount;
};

// The event strings of one line ("module.function"), empty when absent.
struct FormEvents {
  std::optional<std::u16string> init;
  std::optional<std::u16string> destroy;
  std::optional<std::u16string> click;
  std::optional<std::u16string> change;
  std::optional<std::u16string> lostFocus;
  std::optional<std::u16string> hotKey;
};

// The host dialog's record of the window's own values.
struct WindowProperties {
  std::int32_t backgroundColor = 0;  // -1: none of its own
  std::u16string backgroundImage;
  std::u16string iconName;
  std::u16string initEvent;     // "窗口初始化"
  std::u16string destroyEvent;  // "窗口销毁"
};

}  // namespace qs
