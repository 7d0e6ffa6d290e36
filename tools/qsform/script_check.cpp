#include "tools/qsform/script_check.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "common/utf.h"
#include "engine/lua/module_tables.h"
#include "engine/lua/operation_tables.h"
#include "form/form_walker.h"
#include "lua.hpp"

namespace qs::qsform {

namespace {

class EventCollector : public FormBuilder {
 public:
  void BuildWindow(const WindowLine& window) override { Add(window.events, window.line); }
  void* BuildControl(const ControlLine& line, const ControlParent&) override {
    Add(line.events, line.line);
    return this;
  }
  void AddPage(void*, const std::u16string&) override {}
  void FinishTab(void*) override {}

  std::vector<FormEvent> events;

 private:
  void Add(const FormEvents& e, int line) {
    for (const auto* value : {&e.init, &e.destroy, &e.click, &e.change, &e.lostFocus, &e.hotKey})
      if (*value && !(*value)->empty()) events.push_back({line, **value});
  }
};

int DoNothing(lua_State*) { return 0; }

// The host's functions, doing nothing, so that the top level runs as far
// as it would in the engine.
void OpenStubs(lua_State* L) {
  lua::OpenOperationTables(L, DoNothing);
  for (const char* name : {"tray", "input", "wait_key", "send", "read", "sleep", "start", "log", "print"}) {
    lua_pushcfunction(L, DoNothing);
    lua_setglobal(L, name);
  }
  // dm.anything(...) does nothing.
  lua_newtable(L);
  lua_newtable(L);
  lua_pushcfunction(L, [](lua_State* S) -> int {
    lua_pushcfunction(S, DoNothing);
    return 1;
  });
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
  lua_setglobal(L, "dm");
  lua_pushstring(L, "C:\\work");
  lua_setglobal(L, "workdir");
}

// "name:12: text" -> {12, "text"}
Finding FindingOf(const std::string& message, const std::string& scriptName) {
  const std::string prefix = scriptName + ":";
  if (message.rfind(prefix, 0) == 0) {
    const std::size_t colon = message.find(':', prefix.size());
    int line = 0;
    const char* first = message.data() + prefix.size();
    const char* last = message.data() + (colon == std::string::npos ? prefix.size() : colon);
    const auto parsed = std::from_chars(first, last, line);
    if (colon != std::string::npos && parsed.ec == std::errc() && parsed.ptr == last)
      return {line, message.substr(colon + 1 + (colon + 1 < message.size() && message[colon + 1] == ' '))};
  }
  return {1, message};
}

constexpr int kTopLevelInstructions = 10'000'000;

void StopLongTopLevel(lua_State* L, lua_Debug* ar) {
  lua_getinfo(L, "Sl", ar);
  lua_pushfstring(L, "%s:%d: the top level does not end (it runs before every event)", ar->short_src,
                  ar->currentline);
  lua_error(L);
}

// start("module.function") in the source, with its line; comments skipped.
constexpr char kStartCallsChunk[] = R"lua(
local source = ...
local found, n = {}, 0
for line in (source .. "\n"):gmatch("([^\n]*)\n") do
  n = n + 1
  local code = line:gsub("%-%-.*$", "")
  for name in code:gmatch("%f[%w_]start%s*%(%s*[\"']([^\"']*)[\"']%s*%)") do
    found[#found + 1] = {n, name}
  end
end
return found
)lua";

}  // namespace

std::vector<FormEvent> FormEventsOf(std::string_view formBytes) {
  EventCollector collector;
  static ControlTable table;  // large: kept off the stack
  table.ClearControls();
  WalkForm(FormTextFromBytes(formBytes), collector, table);
  return collector.events;
}

ScriptFindings CheckScript(std::string_view script, const std::string& scriptName,
                           const std::vector<FormEvent>& events) {
  ScriptFindings findings;
  if (script.substr(0, 3) == "\xEF\xBB\xBF") script.remove_prefix(3);
  lua_State* L = luaL_newstate();
  if (!L) return findings;
  luaL_openlibs(L);
  OpenStubs(L);
  std::set<std::string> before;
  lua_pushglobaltable(L);
  for (lua_pushnil(L); lua_next(L, -2); lua_pop(L, 1))
    if (lua_type(L, -2) == LUA_TSTRING) before.insert(lua_tostring(L, -2));
  lua_pop(L, 1);

  if (luaL_loadstring(L, lua::kModuleTablesChunk) == LUA_OK) {
    lua_pushlstring(L, script.data(), script.size());
    lua_pcall(L, 1, 0, 0);
  }
  lua_settop(L, 0);
  const std::string chunkName = "=" + scriptName;
  if (luaL_loadbuffer(L, script.data(), script.size(), chunkName.c_str()) != LUA_OK) {
    findings.script.push_back(FindingOf(lua_tostring(L, -1), scriptName));
    lua_close(L);
    return findings;  // nothing of it is defined
  }
  lua_sethook(L, StopLongTopLevel, LUA_MASKCOUNT, kTopLevelInstructions);
  if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
    const char* error = lua_tostring(L, -1);
    Finding f = FindingOf(error ? error : "an error that is no text", scriptName);
    f.text = "the top level stops with an error: " + f.text;
    findings.script.push_back(f);
  }
  lua_sethook(L, nullptr, 0, 0);
  lua_settop(L, 0);

  // module.function for every function in a table the script made.
  std::set<std::string> defined;
  lua_pushglobaltable(L);
  for (lua_pushnil(L); lua_next(L, -2); lua_pop(L, 1)) {
    if (lua_type(L, -2) != LUA_TSTRING || !lua_istable(L, -1) || before.count(lua_tostring(L, -2))) continue;
    const std::string module = lua_tostring(L, -2);
    for (lua_pushnil(L); lua_next(L, -2); lua_pop(L, 1))
      if (lua_type(L, -2) == LUA_TSTRING && lua_isfunction(L, -1)) defined.insert(module + "." + lua_tostring(L, -2));
  }
  lua_pop(L, 1);

  for (const FormEvent& event : events) {
    const std::string value = ToUtf8(event.value);
    if (!defined.count(value))
      findings.form.push_back({event.line, "the event '" + value + "' names no function of " + scriptName});
  }
  if (luaL_loadstring(L, kStartCallsChunk) == LUA_OK) {
    lua_pushlstring(L, script.data(), script.size());
    if (lua_pcall(L, 1, 1, 0) == LUA_OK) {
      const lua_Integer n = luaL_len(L, -1);
      for (lua_Integer i = 1; i <= n; ++i) {
        lua_geti(L, -1, i);
        lua_geti(L, -1, 1);
        lua_geti(L, -2, 2);
        const int line = static_cast<int>(lua_tointeger(L, -2));
        const std::string name = lua_tostring(L, -1);
        lua_pop(L, 3);
        if (!defined.count(name))
          findings.script.push_back({line, "start('" + name + "') names no function of the script"});
      }
    }
  }
  lua_close(L);
  std::stable_sort(findings.script.begin(), findings.script.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

bool IsLuaEngine(std::string_view libraryBytes) {
  constexpr std::string_view kExport("QSLuaVersion\0", 13);
  return libraryBytes.find(kExport) != std::string_view::npos;
}

}  // namespace qs::qsform
