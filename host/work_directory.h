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

// Removes the work directories that runs of this executable left behind
// when they crashed, were killed or could not remove them: directories of
// the temporary folder named by a process id and this executable's title,
// whose process no longer runs (or runs another program), which carry the
// marks of a work directory (main.qwin, scriptcore.dll or the removal mark)
// and which no running host holds (HoldWorkDirectory). A live instance's
// directory is never touched, whatever its name, nor this process's.
void SweepStaleWorkDirectories();

// Keeps the work directory open, without sharing its deletion, from its
// creation to the close: the mark by which the sweep of other starts
// knows it is in use. The process's end lets it go.
void HoldWorkDirectory();

// Deletes the work directory at close (the hold ends first); a file that stays locked is tried
// again briefly, then the directory is marked for the next start's sweep.
void RemoveWorkDirectory(const std::wstring& path);

// The file that marks a directory for removal at the next start.
inline constexpr wchar_t kRemovalMark[] = L".qsexe-remove";

// "<work directory>\<name>".
std::wstring WorkFilePath(const std::wstring& name);

// Deletes the directory with everything in it: files (read-only ones too),
// then folders, depth first. Links (junctions, symbolic links) are removed
// themselves, never followed, and paths longer than MAX_PATH work, so
// nothing outside the directory is ever touched. An empty path deletes
// nothing. Returns true when the directory is gone.
bool DeleteDirectoryTree(const std::wstring& path);

}  // namespace qs
