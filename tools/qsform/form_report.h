// What qsform prints: the form as the host will build it (JSON), and the
// findings of what the host would silently skip or get wrong.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "form/form_reader.h"

namespace qs::qsform {

// The JSON description of the form text.
std::string DumpForm(std::u16string_view text);

// The first bytes of a file of the project, or nothing when it is missing.
using FileHead = std::function<std::optional<std::string>(const std::u16string& name)>;

// The findings for a form file's bytes; `head` (may be empty: no image
// checks) reads the images the form names from the project.
Findings CheckForm(std::string_view bytes, const FileHead& head);

// How a form file's bytes are written, told from a byte-order mark or from
// where its zero bytes fall.
enum class FormEncoding { Utf16Le, Utf16Be, Utf8, Utf8WithMark, EightBit };
FormEncoding DetectFormEncoding(std::string_view bytes);

// The one finding for a file the host would read as something else than
// its author wrote (another encoding, lines without CR), with how to save
// it; nothing for a UTF-16LE file with CR LF lines. CheckForm stops there.
std::optional<Finding> FileFormatFinding(std::string_view bytes);

// The name of the host's transient package file in the work directory: a
// project file of that name at the root would be lost at start-up.
inline constexpr std::u16string_view kPackageFileName = u"QS.lc";
// True for that name in any case of A-Z (Windows file names ignore case).
bool IsPackageFileName(std::u16string_view name);
inline constexpr char kPackageFileLost[] =
    "the host writes its package file under this name, unpacks it and deletes it, so this file of the project "
    "is lost at start-up; rename it";

}  // namespace qs::qsform
