// Runs one command of 7-Zip's console front end in this process, with an
// argument list instead of a process command line. The first argument is
// the command ("x" to extract, "a" to add). Returns the console's exit code
// (0 success, 1 warning, 2 fatal error, 7 command line error, 8 memory).
// Never throws: every error of the archive code is contained here.
//
// Two builds of it exist: the host's, with the extract command alone (the
// smaller 7-Zip library of the formats and decoders a package may use),
// and the tools', with the add command as well. A program links one.
#pragma once

#include <string>
#include <vector>

namespace qs {

// `report`: the console's progress and summary go to the standard output
// and errors to the standard error; without it nothing is printed (a
// windowed program prints nothing to whoever started it).
int RunSevenZip(const std::vector<std::wstring>& arguments, bool report);

}  // namespace qs
