#include "plugin/plugin_call_table.h"

#include <algorithm>

namespace qs {

const PluginCall* FindPluginCall(unsigned message) {
  const auto calls = PluginCalls();
  const auto it = std::lower_bound(calls.begin(), calls.end(), message,
                                   [](const PluginCall& c, unsigned m) { return c.message < m; });
  return it != calls.end() && it->message == message ? &*it : nullptr;
}

}  // namespace qs
