// An event string names a script function as "module.function". It is split
// at its first full stop; nothing is trimmed or validated.
#pragma once

#include <string>
#include <string_view>

namespace qs {

struct ScriptFunction {
  std::u16string module;
  std::u16string function;
};

ScriptFunction SplitEventString(std::u16string_view event);

}  // namespace qs
