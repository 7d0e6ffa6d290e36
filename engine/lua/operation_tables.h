// The Lua tables of the named control operations (label, edit, list, ...):
// one function per row of NamedOperations(), a closure of `run` whose
// upvalue is the row (a light userdata). The engine runs the row; the
// script checker does nothing.
#pragma once

#include "lua.hpp"

namespace qs::lua {

void OpenOperationTables(lua_State* L, lua_CFunction run);

}  // namespace qs::lua
