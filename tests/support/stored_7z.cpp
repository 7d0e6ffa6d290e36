#include "tests/support/stored_7z.h"

#include <cstdint>

namespace qs::test {

namespace {

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void Number(std::string& out, std::uint64_t value) {
  unsigned char first = 0, mask = 0x80;
  int i = 0;
  for (; i < 8; ++i) {
    if (value < (std::uint64_t{1} << (7 * (i + 1)))) {
      first |= static_cast<unsigned char>(value >> (8 * i));
      break;
    }
    first |= mask;
    mask >>= 1;
  }
  out += static_cast<char>(first);
  for (; i > 0; --i) {
    out += static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

void Fixed(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string MakeStored7z(const std::vector<std::pair<std::u16string, std::string>>& entries) {
  std::string packed;
  for (const auto& entry : entries) packed += entry.second;

  std::string h;
  h += '\x01';                        // header
  h += '\x04';                        // main streams info
  h += '\x06'; Number(h, 0); Number(h, 1);           // pack info: one stream at 0
  h += '\x09'; Number(h, packed.size()); h += '\x00';
  h += '\x07'; h += '\x0B'; Number(h, 1); h += '\x00';  // one folder, not external
  Number(h, 1); h += '\x01'; h += '\x00';              // one coder: Copy
  h += '\x0C'; Number(h, packed.size()); h += '\x00';
  h += '\x08'; h += '\x0D'; Number(h, entries.size());  // substreams: one per entry
  if (entries.size() > 1) {
    h += '\x09';
    for (size_t i = 0; i + 1 < entries.size(); ++i) Number(h, entries[i].second.size());
  }
  h += '\x00';
  h += '\x00';                        // end of main streams info
  h += '\x05'; Number(h, entries.size());  // files info
  std::string names;
  names += '\x00';                    // not external
  for (const auto& entry : entries) {
    for (char16_t c : entry.first) Fixed(names, c, 2);
    Fixed(names, 0, 2);
  }
  h += '\x11'; Number(h, names.size()); h += names;
  h += '\x00';                        // end of files info
  h += '\x00';                        // end of header

  std::string start;
  Fixed(start, packed.size(), 8);     // next header offset
  Fixed(start, h.size(), 8);
  Fixed(start, Crc32(h), 4);
  std::string archive("7z\xBC\xAF\x27\x1C\x00\x04", 8);
  Fixed(archive, Crc32(start), 4);
  archive += start;
  archive += packed;
  archive += h;
  return archive;
}

}  // namespace qs::test
