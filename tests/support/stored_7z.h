// Writes a 7z archive with stored (uncompressed) entries whose names are
// taken as given: tests use it for names that the 7-Zip packer would never
// store, such as "..\x" or "C:\x".
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qs::test {

// Entries: name (UTF-16) and non-empty contents.
std::string MakeStored7z(const std::vector<std::pair<std::u16string, std::string>>& entries);

}  // namespace qs::test
