#include "host/service_state.h"

namespace qs {

ServiceState& TheServiceState() {
  static ServiceState state;
  return state;
}

}  // namespace qs
