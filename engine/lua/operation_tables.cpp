#include "engine/lua/operation_tables.h"

#include <string>

#include "engine/lua/named_operations.h"

namespace qs::lua {

void OpenOperationTables(lua_State* L, lua_CFunction run) {
  for (const NamedOperation& op : NamedOperations()) {
    const std::string family(op.family);
    if (lua_getglobal(L, family.c_str()) != LUA_TTABLE) {
      lua_pop(L, 1);
      lua_newtable(L);
      lua_pushvalue(L, -1);
      lua_setglobal(L, family.c_str());
    }
    lua_pushlightuserdata(L, const_cast<NamedOperation*>(&op));
    lua_pushcclosure(L, run, 1);
    lua_setfield(L, -2, std::string(op.name).c_str());
    lua_pop(L, 1);
  }
}

}  // namespace qs::lua
