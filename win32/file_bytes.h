// A whole file's bytes, for the engines' script and interface files.
#pragma once

#include <string>

namespace win32 {

// Empty when the file cannot be read.
std::string ReadFileBytes(const wchar_t* path);

}  // namespace win32
