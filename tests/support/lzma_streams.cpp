#include "tests/support/lzma_streams.h"

#include "Lzma86.h"

namespace qs::test {

std::string Lzma86Stream(const std::string& bytes, bool x86Filter) {
  SizeT size = bytes.size() + bytes.size() / 2 + 1024;
  std::string stream(size, '\0');
  const SRes result = Lzma86_Encode(reinterpret_cast<Byte*>(stream.data()), &size,
                                    reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), 5, 1 << 20,
                                    x86Filter ? SZ_FILTER_YES : SZ_FILTER_NO);
  if (result != SZ_OK) return std::string();
  stream.resize(size);
  return stream;
}

// The .lzma86 header is one byte longer: the filter byte in front.
std::string LzmaAloneStream(const std::string& bytes) {
  const std::string stream = Lzma86Stream(bytes, false);
  return stream.empty() ? stream : stream.substr(1);
}

}  // namespace qs::test
