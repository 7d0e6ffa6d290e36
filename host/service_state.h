// Process-wide values of the host services (tray icon, wait for a key),
// shared with the system command handler and the close sequence.
#pragma once

#include <cstdint>

namespace qs {

struct ServiceState {
  bool trayIconAdded = false;
  bool hideOnMinimise = false;
  std::uint8_t capturedKey = 0;
  // Set by the first close request: from then on an input box or a wait
  // for a key returns at once, as cancelled and with no key.
  bool closing = false;
};

ServiceState& TheServiceState();

}  // namespace qs
