#include "host/event_split.h"

namespace qs {

ScriptFunction SplitEventString(std::u16string_view event) {
  const size_t dot = event.find(u'.');
  if (dot == std::u16string_view::npos) return {u"", std::u16string(event)};
  return {std::u16string(event.substr(0, dot)), std::u16string(event.substr(dot + 1))};
}

}  // namespace qs
