// The name directory of the window's controls: 1024 records in order of
// registration, names of at most 63 UTF-16 code units. Registration refuses
// a name equal to an earlier one with the letters A-Z compared without case;
// lookup finds a name only when spelled exactly as registered. Two fixed
// hash indexes beside the records make both searches constant-time; nothing
// here allocates. Window thread only.
#pragma once

#include <cstdint>

#include "form/control_kind.h"

namespace qs {

inline constexpr std::uint32_t kMaxControls = 1024;
inline constexpr std::uint32_t kNameUnits = 64;  // with the terminator

struct ControlRecord {
  void* window = nullptr;  // the control object; not owned
  ControlKind kind = ControlKind::Label;
  char16_t name[kNameUnits] = {};
};

class ControlTable {
 public:
  ControlTable() { ClearControls(); }
  ControlTable(const ControlTable&) = delete;
  ControlTable& operator=(const ControlTable&) = delete;

  void ClearControls();
  bool IsNameFree(const char16_t* name) const;
  bool RegisterControl(const char16_t* name, void* window, ControlKind kind);
  // The index of the record whose name is exactly `name`, or -1.
  std::int32_t FindControl(const char16_t* name) const;

  std::uint32_t count() const { return count_; }
  const ControlRecord& record(std::uint32_t index) const { return records_[index]; }
  // The window of a record found by FindControl, or null for -1.
  void* WindowAt(std::int32_t index) const {
    return index >= 0 && static_cast<std::uint32_t>(index) < count_ ? records_[index].window : nullptr;
  }

 private:
  static constexpr std::uint32_t kIndexSlots = 2048;  // a power of two, twice the records
  std::int32_t Probe(const std::uint16_t* index, const char16_t* name, std::uint32_t length, std::uint32_t hash,
                     bool folded) const;

  ControlRecord records_[kMaxControls];
  std::uint8_t lengths_[kMaxControls];  // of the names, to compare only names of equal length
  std::uint32_t count_ = 0;
  // Record index + 1 per slot (0: free), by exact name and by A-Z-folded name.
  std::uint16_t exactIndex_[kIndexSlots];
  std::uint16_t foldedIndex_[kIndexSlots];
};

}  // namespace qs
