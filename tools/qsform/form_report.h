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

// Heuristic: UTF-16LE text rather than 8-bit text.
bool LooksLikeUtf16Le(std::string_view bytes);

}  // namespace qs::qsform
