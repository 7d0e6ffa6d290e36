#include "host/debug_switch.h"

#include "common/white_space.h"

namespace qs {

bool IsDebugSwitch(std::u16string_view commandLine) { return Trim(commandLine) == kDebugSwitch; }

}  // namespace qs
