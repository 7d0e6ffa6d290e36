// The name of a run's work directory: the temporary-files path (ending in a
// backslash), the decimal process id and the executable's file title, with
// no separator between them and no trailing backslash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

// The module file name without its directory and without its last extension.
std::u16string FileTitle(std::u16string_view modulePath);

std::u16string WorkDirectoryPath(std::u16string_view tempPath, std::uint32_t processId,
                                 std::u16string_view fileTitle);

}  // namespace qs
