#include "form/control_kind.h"

namespace qs {

const ControlKindInfo* FindControlKind(std::u16string_view word, bool onPage) {
  const int count = onPage ? kKindsOnPages : static_cast<int>(std::size(kControlKinds));
  for (int i = 0; i < count; ++i)
    if (kControlKinds[i].word == word) return &kControlKinds[i];
  return nullptr;
}

}  // namespace qs
