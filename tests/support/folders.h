// Folders for tests and benchmarks: where the program is, and empty
// folders made afresh for each use.
#pragma once

#include <string>

namespace qs::test {

// The folder of the running program (the build's bin folder).
std::wstring ProgramFolder();
// path, emptied: whatever was there is deleted, then the folder is made.
std::wstring EmptyFolder(const std::wstring& path);
// An empty folder "<temporary folder><name>".
std::wstring EmptyTempFolder(const std::wstring& name);

}  // namespace qs::test
