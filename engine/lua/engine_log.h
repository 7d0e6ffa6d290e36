// The engine's log: one UTF-8 line per entry, appended. It goes to the file
// that QSENGINE_LOG names (tests and `qsrun` set it), else to <program>.log
// beside the program, else, where that folder is not writable, to
// <program>.log in the user's temporary folder. The file is made on the
// first line: a run without errors, log calls or debug mode leaves none.
#pragma once

#include <string>

namespace qs::lua {

void WriteLog(const std::string& line);

}  // namespace qs::lua
