// The project's files travel inside the executable as an archive resource
// (type "QSLC", id 130). At start-up it is written to "QS.lc" in the work
// directory, extracted there by the archive component, and deleted again.
#pragma once

#include <string>

namespace qs {

void ExtractPackage();

// Splits an asterisk-joined command into arguments and runs it with the
// archive component. Returns the component's status, which nobody examines.
int RunArchiveCommand(std::wstring command);

}  // namespace qs
