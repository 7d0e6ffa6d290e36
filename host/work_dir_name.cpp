#include "host/work_dir_name.h"

namespace qs {

std::u16string FileTitle(std::u16string_view modulePath) {
  const size_t slash = modulePath.find_last_of(u"\\/:");
  std::u16string_view name = slash == std::u16string_view::npos ? modulePath : modulePath.substr(slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name);
}

std::u16string WorkDirectoryPath(std::u16string_view tempPath, std::uint32_t processId,
                                 std::u16string_view fileTitle) {
  std::u16string path(tempPath);
  for (char c : std::to_string(processId)) path += static_cast<char16_t>(c);
  path += fileTitle;
  return path;
}

}  // namespace qs
