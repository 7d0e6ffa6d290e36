// Resources qspack writes into the packed executable besides the package:
// the icon (replacing icon 128) and the version information.
#pragma once

#include <windows.h>

#include <string>

namespace qs::pack {

// The language of the host's own resources.
inline constexpr WORD kHostLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

struct VersionInfo {
  WORD parts[4] = {1, 0, 0, 0};
  std::wstring productName;
  std::wstring companyName;
  std::wstring description;
};

// Parses "a.b.c.d" (one to four numbers); false when it is not that.
bool ParseVersion(const std::wstring& text, VersionInfo* info);

// Replaces icon group 128 and its images with those of an .ico file's bytes;
// `hostPath` names the executable the update started from (its old icon
// images are removed). False when the bytes are no icon file.
bool ReplaceIcon(HANDLE update, const std::wstring& hostPath, const std::string& ico);

// Writes version resource 1.
bool WriteVersionInfo(HANDLE update, const VersionInfo& info);

}  // namespace qs::pack
