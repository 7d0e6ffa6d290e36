// The key:value lists in the tail of a form line, and the table of keys that
// each section word accepts.
#pragma once

#include <string>
#include <string_view>

#include "form/form_properties.h"
#include "form/form_reader.h"

namespace qs {

// Reads pairs from the start of `line` for one section word, shortening the
// line; stops where the list ends (a space before the next '|'). Properties
// or events may be null when the section has none of them.
void ParsePairs(std::u16string_view& line, std::u16string_view sectionWord, FormProperties* properties,
                FormEvents* events, const FormReader* reader = nullptr);

// The font description of a "字体" item: (face,text colour,background colour,height,style).
FontDescription ReadFontDescription(std::u16string_view item);

// True when the section word is one of the form's section words.
bool IsSectionWord(std::u16string_view sectionWord);

}  // namespace qs
