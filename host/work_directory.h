// The run's work directory: formed at start-up, current during start-up,
// deleted at close. Paths are not limited to MAX_PATH anywhere here.
#pragma once

#include <string>

namespace qs {

// The process-wide work directory (empty until start-up forms it).
const std::wstring& WorkDirectory();
void SetWorkDirectory(std::wstring path);

// Temporary-files path + decimal process id + the executable's file title.
std::wstring FormWorkDirectory();

// "<work directory>\<name>".
std::wstring WorkFilePath(const std::wstring& name);

// Deletes the directory with everything in it: files (read-only ones too),
// then folders, depth first. Links (junctions, symbolic links) are removed
// themselves, never followed, and paths longer than MAX_PATH work, so
// nothing outside the directory is ever touched. An empty path deletes
// nothing. Returns true when the directory is gone.
bool DeleteDirectoryTree(const std::wstring& path);

}  // namespace qs
