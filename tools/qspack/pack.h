// Packing a script project: the folder's contents as a 7z archive, embedded
// into a copy of the host executable as resource "QSLC" / 130.
#pragma once

#include <functional>
#include <string>

namespace qs::pack {

struct PackOptions {
  std::wstring hostPath;    // QSExe.exe to copy
  bool showProgress = false;
  std::function<void(const std::wstring&)> report;  // warnings and errors, one line each
};

enum PackStatus { kPacked = 0, kFailed = 1, kBadArguments = 2 };

PackStatus PackProject(const std::wstring& projectDir, const std::wstring& outputExe, const PackOptions& options);

// Writes `bytes` as the package resource of an existing executable.
bool EmbedPackage(const std::wstring& exePath, const std::string& bytes);

}  // namespace qs::pack
