// UTF-8 <-> UTF-16 conversion for logs, tool output and script files.
// Unpaired surrogates become U+FFFD on the way to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qs {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace qs
