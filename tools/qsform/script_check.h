// The checks of a Lua project's script (sourseTemp.bak) beside its form:
// syntax and top-level errors with their lines, every event of the form
// that names no function of the script, every start("module.function")
// that names none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "form/form_reader.h"

namespace qs::qsform {

struct FormEvent {
  int line = 0;           // of the form
  std::u16string value;   // module.function
};

// The non-empty event values of the form, with their lines.
std::vector<FormEvent> FormEventsOf(std::string_view formBytes);

struct ScriptFindings {
  Findings script;  // lines of the script
  Findings form;    // lines of the form
};

// The script's bytes (UTF-8, a byte-order mark allowed), named as errors
// name it. A function counts as defined when running the script's top
// level (with the host's functions doing nothing) leaves it in a module
// table.
ScriptFindings CheckScript(std::string_view script, const std::string& scriptName,
                           const std::vector<FormEvent>& events);

// Whether an engine library's bytes are the Lua engine's (it exports QSLuaVersion).
bool IsLuaEngine(std::string_view libraryBytes);

}  // namespace qs::qsform
