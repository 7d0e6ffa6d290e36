// Packing a script project: the folder's contents as a 7z archive, embedded
// into a copy of the host executable as resource "QSLC" / 130, after the
// form has been checked; optionally with an icon and version information.
// The same folder always gives the same bytes.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "tools/qspack/exe_resources.h"

namespace qs::pack {

struct PackOptions {
  std::wstring hostPath;                     // QSExe.exe to copy
  bool strict = false;                       // refuse a project whose form has findings
  bool force = false;                        // pack a form the host cannot read as it is written
  std::wstring iconPath;                     // an .ico (relative paths: in the project)
  std::optional<VersionInfo> version;        // version resource
  bool showProgress = false;                 // the archiver's percentages on the console
  std::function<void(const std::wstring&)> report;  // findings, warnings and errors, one line each
};

enum PackStatus { kPacked = 0, kFailed = 1, kBadArguments = 2, kRefused = 3 };

// Paths may be relative to the current directory, end in a separator, or
// (under Wine) be Unix paths.
PackStatus PackProject(const std::wstring& projectDir, const std::wstring& outputExe, const PackOptions& options);

// The full Windows path of a path as a user types it: relative to the
// current directory, with / or \ as separator, or a Unix path under Wine.
std::wstring ResolvePath(const std::wstring& path);

// Writes `bytes` as the package resource of an existing executable.
bool EmbedPackage(const std::wstring& exePath, const std::string& bytes);

}  // namespace qs::pack
