// What qsform prints: the form as the host will build it (JSON), and the
// findings of what the host would silently skip or get wrong.
#pragma once

#include <string>
#include <string_view>

#include "form/form_reader.h"

namespace qs::qsform {

// The JSON description of the form text.
std::string DumpForm(std::u16string_view text);

// The findings for a form file's bytes; `projectDir` (may be empty) is
// where the images the form names are looked for.
Findings CheckForm(std::string_view bytes, const std::string& projectDir);

// Heuristic: UTF-16LE text rather than 8-bit text.
bool LooksLikeUtf16Le(std::string_view bytes);

}  // namespace qs::qsform
