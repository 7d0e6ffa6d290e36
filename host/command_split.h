// Splitting of the archive command string: arguments are joined by '*', so
// paths with spaces need no quoting; double quotes protect an asterisk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qs {

std::vector<std::u16string> SplitArchiveCommand(std::u16string_view command);

}  // namespace qs
