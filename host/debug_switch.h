// The host's only switch: the whole command line, trimmed, equal to "qsdebug".
#pragma once

#include <string_view>

namespace qs {

inline constexpr std::u16string_view kDebugSwitch = u"qsdebug";

bool IsDebugSwitch(std::u16string_view commandLine);

}  // namespace qs
