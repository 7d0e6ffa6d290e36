// Runs one command of 7-Zip's console front end in this process, with an
// argument list instead of a process command line. The first argument is
// the command ("x" to extract, "a" to add). Returns the console's exit code
// (0 success, 1 warning, 2 fatal error, 7 command line error, 8 memory).
// Never throws: every error of the archive code is contained here.
#pragma once

#include <string>
#include <vector>

namespace qs {

int RunSevenZip(const std::vector<std::wstring>& arguments);

}  // namespace qs
