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

// Adds every resource of an executable to an update that started empty,
// except its icons (RT_ICON, RT_GROUP_ICON): the way to replace an icon
// whose old images must not stay behind.
bool CopyResourcesButIcons(HANDLE update, const std::wstring& exePath);

// Writes icon group 128 and its images (ids 1..n) from an .ico file's
// bytes. False when the bytes are no icon file.
bool WriteIcon(HANDLE update, const std::string& ico);

// Writes version resource 1.
bool WriteVersionInfo(HANDLE update, const VersionInfo& info);

}  // namespace qs::pack
