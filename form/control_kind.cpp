#include "form/control_kind.h"

namespace qs {

const ControlKindInfo* FindControlKind(std::u16string_view word, bool onPage) {
  const int count = onPage ? kKindsOnPages : static_cast<int>(std::size(kControlKinds));
  for (int i = 0; i < count; ++i)
    if (kControlKinds[i].word == word) return &kControlKinds[i];
  return nullptr;
}

const ControlKindInfo& KindInfo(ControlKind kind) {
  for (const ControlKindInfo& info : kControlKinds)
    if (info.kind == kind) return info;
  return kControlKinds[0];
}

}  // namespace qs
