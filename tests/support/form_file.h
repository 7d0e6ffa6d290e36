// The bytes of a form file holding `text`: UTF-16LE, each bare LF written
// as CR LF, as form editors save it.
#pragma once

#include <string>
#include <string_view>

namespace qs::test {

inline std::string FormFileBytes(std::u16string_view text) {
  std::u16string crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (char16_t c : text) {
    if (c == u'\n' && (crlf.empty() || crlf.back() != u'\r')) crlf += u'\r';
    crlf += c;
  }
  std::string bytes;
  bytes.reserve(crlf.size() * 2);
  for (char16_t c : crlf) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace qs::test
