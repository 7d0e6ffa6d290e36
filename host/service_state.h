// Process-wide values of the host services (tray icon, wait for a key),
// shared with the system command handler and the close sequence.
#pragma once

#include <cstdint>

namespace qs {

struct ServiceState {
  bool trayIconAdded = false;
  bool hideOnMinimise = false;
  std::uint8_t capturedKey = 0;
};

ServiceState& TheServiceState();

}  // namespace qs
