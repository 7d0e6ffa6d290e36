// Before the script runs, every name it defines functions in gets a table
// of its own (function main.greet() ... end needs the table `main`), so a
// script need not make its modules. The engine and the script checker run
// this chunk with the script's text as its argument.
#pragma once

namespace qs::lua {

inline constexpr char kModuleTablesChunk[] = R"(
local source = ...
for _, pattern in ipairs({"function%s+([%a_][%w_]*)%s*[.:]", "([%a_][%w_]*)%s*%.%s*[%a_][%w_]*%s*=%s*function"}) do
  for name in source:gmatch(pattern) do
    if rawget(_G, name) == nil then rawset(_G, name, {}) end
  end
end
)";

}  // namespace qs::lua
