// The layout rule of the records that engine threads hand to the host
// (plug-in calls, list items, input boxes): fields in order, each at the next
// offset that is a multiple of its own size. 32-bit integers and slots take 4
// bytes, pointers the build's pointer size, doubles 8.
#pragma once

#include <cstddef>

namespace qs {

enum class FieldWidth { Int32, Pointer, Double };

constexpr std::size_t FieldSize(FieldWidth width, std::size_t pointerSize) {
  return width == FieldWidth::Int32 ? 4 : width == FieldWidth::Double ? 8 : pointerSize;
}

constexpr std::size_t AlignUp(std::size_t offset, std::size_t size) {
  return (offset + size - 1) / size * size;
}

// Places one field after `end` (the end of the previous field) and returns its offset.
constexpr std::size_t PlaceField(std::size_t end, FieldWidth width, std::size_t pointerSize) {
  return AlignUp(end, FieldSize(width, pointerSize));
}

// The offset of field `field` of a record whose fields start at `start` and
// have the widths widthOf(0), widthOf(1), ...
template <class WidthOf>
constexpr std::size_t FieldOffset(std::size_t start, std::size_t field, std::size_t pointerSize, WidthOf widthOf) {
  std::size_t end = start, offset = start;
  for (std::size_t i = 0; i <= field; ++i) {
    const FieldWidth width = widthOf(i);
    offset = PlaceField(end, width, pointerSize);
    end = offset + FieldSize(width, pointerSize);
  }
  return offset;
}

}  // namespace qs
