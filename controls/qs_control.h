// What every control of the form shares: its window (win32::Control) and
// the raising of its event strings through the control-event dispatch.
#pragma once

#include <string>

#include "host/engine_link.h"
#include "win32/control.h"

namespace qs {

class CQSControl : public win32::Control {
 protected:
  // Hands a copy of the event string to the dispatch; an empty one calls nothing.
  static void Raise(const std::u16string& event) { DispatchControlEvent(std::u16string(event)); }
};

}  // namespace qs
