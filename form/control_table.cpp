#include "form/control_table.h"

#include <cstring>

namespace qs {

namespace {

constexpr char16_t FoldAsciiLetter(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// The length of a name (kNameUnits when it has no terminator in range) and
// its hash, in one pass over two code units at a time.
struct Measured {
  std::uint32_t length;
  std::uint32_t hash;
};

Measured Measure(const char16_t* name, bool folded) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull;
  std::uint32_t i = 0;
  while (i < kNameUnits) {
    const std::uint32_t a = folded ? FoldAsciiLetter(name[i]) : name[i];
    if (a == 0) break;
    const std::uint32_t b = folded ? FoldAsciiLetter(name[i + 1]) : name[i + 1];  // name[i] was no terminator
    h = (h ^ (a | (b << 16))) * 0x100000001B3ull;
    if (b == 0) {
      ++i;
      break;
    }
    i += 2;
  }
  if (i > kNameUnits) i = kNameUnits;
  h ^= i;
  return {i, static_cast<std::uint32_t>(h ^ (h >> 29))};
}

bool SameName(const char16_t* a, const char16_t* b, std::uint32_t length, bool folded) {
  if (!folded) return std::memcmp(a, b, length * sizeof(char16_t)) == 0;
  for (std::uint32_t i = 0; i < length; ++i)
    if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
  return true;
}

}  // namespace

void ControlTable::ClearControls() {
  std::memset(static_cast<void*>(records_), 0, sizeof records_);
  std::memset(exactIndex_, 0, sizeof exactIndex_);
  std::memset(foldedIndex_, 0, sizeof foldedIndex_);
  std::memset(lengths_, 0, sizeof lengths_);
  count_ = 0;
}

std::int32_t ControlTable::Probe(const std::uint16_t* index, const char16_t* name, std::uint32_t length,
                                 std::uint32_t hash, bool folded) const {
  for (std::uint32_t slot = hash & (kIndexSlots - 1);; slot = (slot + 1) & (kIndexSlots - 1)) {
    if (index[slot] == 0) return -static_cast<std::int32_t>(slot) - 1;  // free slot where it would go
    const std::int32_t record = index[slot] - 1;
    if (lengths_[record] == length && SameName(records_[record].name, name, length, folded)) return record;
  }
}

bool ControlTable::IsNameFree(const char16_t* name) const {
  if (!name) return false;
  const Measured folded = Measure(name, true);
  return folded.length < kNameUnits && Probe(foldedIndex_, name, folded.length, folded.hash, true) < 0;
}

bool ControlTable::RegisterControl(const char16_t* name, void* window, ControlKind kind) {
  if (!window || count_ >= kMaxControls) return false;
  if (!name) return false;
  const Measured foldedName = Measure(name, true);
  const std::uint32_t length = foldedName.length;
  if (length >= kNameUnits) return false;
  const std::int32_t folded = Probe(foldedIndex_, name, length, foldedName.hash, true);
  if (folded >= 0) return false;
  // Exact duplicates cannot exist once folded ones are refused.
  const std::int32_t exact = Probe(exactIndex_, name, length, Measure(name, false).hash, false);
  ControlRecord& record = records_[count_];
  record.window = window;
  record.kind = kind;
  std::memcpy(record.name, name, (length + 1) * sizeof(char16_t));
  lengths_[count_] = static_cast<std::uint8_t>(length);
  ++count_;
  foldedIndex_[-folded - 1] = static_cast<std::uint16_t>(count_);
  exactIndex_[-exact - 1] = static_cast<std::uint16_t>(count_);
  return true;
}

std::int32_t ControlTable::FindControl(const char16_t* name) const {
  if (!name) return -1;
  const Measured exact = Measure(name, false);
  if (exact.length >= kNameUnits) return -1;  // longer than any registered name
  const std::int32_t found = Probe(exactIndex_, name, exact.length, exact.hash, false);
  return found >= 0 ? found : -1;
}

}  // namespace qs
