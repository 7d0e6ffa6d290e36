#include "form/control_table.h"

#include <cstring>

namespace qs {

namespace {

constexpr char16_t FoldAsciiLetter(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// Length before the terminator, or kNameUnits when there is none in range.
std::uint32_t NameLength(const char16_t* name) {
  std::uint32_t n = 0;
  while (n < kNameUnits && name[n] != 0) ++n;
  return n;
}

std::uint32_t Hash(const char16_t* name, bool folded) {
  std::uint32_t h = 2166136261u;
  for (; *name; ++name) {
    h ^= folded ? FoldAsciiLetter(*name) : *name;
    h *= 16777619u;
  }
  return h;
}

bool SameName(const char16_t* a, const char16_t* b, bool folded) {
  for (;; ++a, ++b) {
    const char16_t x = folded ? FoldAsciiLetter(*a) : *a;
    const char16_t y = folded ? FoldAsciiLetter(*b) : *b;
    if (x != y) return false;
    if (x == 0) return true;
  }
}

}  // namespace

void ControlTable::ClearControls() {
  std::memset(static_cast<void*>(records_), 0, sizeof records_);
  std::memset(exactIndex_, 0, sizeof exactIndex_);
  std::memset(foldedIndex_, 0, sizeof foldedIndex_);
  count_ = 0;
}

std::int32_t ControlTable::Probe(const std::uint16_t* index, const char16_t* name, bool folded) const {
  for (std::uint32_t slot = Hash(name, folded) & (kIndexSlots - 1);; slot = (slot + 1) & (kIndexSlots - 1)) {
    if (index[slot] == 0) return -static_cast<std::int32_t>(slot) - 1;  // free slot where it would go
    const std::int32_t record = index[slot] - 1;
    if (SameName(records_[record].name, name, folded)) return record;
  }
}

bool ControlTable::IsNameFree(const char16_t* name) const {
  if (!name || NameLength(name) >= kNameUnits) return false;
  return Probe(foldedIndex_, name, true) < 0;
}

bool ControlTable::RegisterControl(const char16_t* name, void* window, ControlKind kind) {
  if (!window || count_ >= kMaxControls) return false;
  if (!name || NameLength(name) >= kNameUnits) return false;
  const std::int32_t folded = Probe(foldedIndex_, name, true);
  if (folded >= 0) return false;
  // Exact duplicates cannot exist once folded ones are refused.
  const std::int32_t exact = Probe(exactIndex_, name, false);
  ControlRecord& record = records_[count_];
  record.window = window;
  record.kind = kind;
  std::memcpy(record.name, name, (NameLength(name) + 1) * sizeof(char16_t));
  ++count_;
  foldedIndex_[-folded - 1] = static_cast<std::uint16_t>(count_);
  exactIndex_[-exact - 1] = static_cast<std::uint16_t>(count_);
  return true;
}

std::int32_t ControlTable::FindControl(const char16_t* name) const {
  if (!name) return -1;
  if (NameLength(name) >= kNameUnits) return -1;  // longer than any registered name
  const std::int32_t found = Probe(exactIndex_, name, false);
  return found >= 0 ? found : -1;
}

}  // namespace qs
