// One file as the single-stream formats a package may also be: .lzma86
// (a filter byte, then an .lzma stream) and the plain .lzma stream, made
// with the LZMA encoder of the archiver's source.
#pragma once

#include <string>

namespace qs::test {

std::string Lzma86Stream(const std::string& bytes, bool x86Filter);
std::string LzmaAloneStream(const std::string& bytes);

}  // namespace qs::test
