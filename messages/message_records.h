// The records that engine threads point to in their messages. The engine
// lays them out by the record rule (each field at the next multiple of its
// size; integers 4 bytes, pointers the build's pointer size); the static
// checks hold the 32-bit offsets of the shipping build and the 64-bit ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/record_layout.h"

namespace qs {

// Messages 1542 and 1546: an item of a list.
struct ItemRequest {
  const char16_t* name;
  std::int32_t index;
};

// Message 1582: where a control goes.
struct PlacementRequest {
  std::int32_t reserved;
  std::int32_t x, y, width, height;
  std::int32_t mode;  // 1 move only, 2 resize only, other: both
};

// Message 1679: the input box.
struct InputBoxRequest {
  std::int32_t first;      // not read
  const char16_t* title;   // null: empty
  const char16_t* prompt;  // null: empty
  const char16_t* result;  // set by the host
};

namespace record_layout_checks {

constexpr std::size_t kInt = 0, kPtr = 1;
// Offsets of a record of fields (0: int, 1: pointer) for a pointer size.
template <std::size_t N>
constexpr std::size_t OffsetOf(const int (&fields)[N], std::size_t field, std::size_t pointerSize) {
  return FieldOffset(0, field, pointerSize,
                     [&](std::size_t i) { return fields[i] == kPtr ? FieldWidth::Pointer : FieldWidth::Int32; });
}

constexpr int kItemFields[] = {kPtr, kInt};
constexpr int kInputBoxFields[] = {kInt, kPtr, kPtr, kPtr};
static_assert(OffsetOf(kItemFields, 1, 4) == 4 && OffsetOf(kItemFields, 1, 8) == 8);
static_assert(OffsetOf(kInputBoxFields, 1, 4) == 4 && OffsetOf(kInputBoxFields, 2, 4) == 8 &&
              OffsetOf(kInputBoxFields, 3, 4) == 12);
static_assert(OffsetOf(kInputBoxFields, 1, 8) == 8 && OffsetOf(kInputBoxFields, 2, 8) == 16 &&
              OffsetOf(kInputBoxFields, 3, 8) == 24);
// This build's structs follow the rule for its own pointer size.
static_assert(offsetof(ItemRequest, index) == OffsetOf(kItemFields, 1, sizeof(void*)));
static_assert(offsetof(InputBoxRequest, title) == OffsetOf(kInputBoxFields, 1, sizeof(void*)));
static_assert(offsetof(InputBoxRequest, prompt) == OffsetOf(kInputBoxFields, 2, sizeof(void*)));
static_assert(offsetof(InputBoxRequest, result) == OffsetOf(kInputBoxFields, 3, sizeof(void*)));
static_assert(offsetof(PlacementRequest, x) == 4 && offsetof(PlacementRequest, y) == 8 &&
              offsetof(PlacementRequest, width) == 12 && offsetof(PlacementRequest, height) == 16 &&
              offsetof(PlacementRequest, mode) == 20 && sizeof(PlacementRequest) == 24);

}  // namespace record_layout_checks

}  // namespace qs
