#include "engine/lua/host_functions.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/lua/engine_log.h"
#include "engine/lua/engine_state.h"
#include "engine/lua/named_operations.h"
#include "engine/lua/operation_tables.h"
#include "lua.hpp"
#include "plugin/plugin_call_table.h"
#include "win32/text.h"

namespace qs::lua {

namespace {

int g_stopToken;             // its address is the stop error
thread_local bool t_ownsPluginObject = false;

std::wstring Wide(lua_State* L, int index) {
  std::size_t size = 0;
  const char* text = luaL_checklstring(L, index, &size);
  return win32::WideFromUtf8(std::string_view(text, size));
}

void PushText(lua_State* L, const wchar_t* text, std::size_t capacity) {
  const std::string utf8 = win32::Utf8(std::wstring_view(text, wcsnlen(text, capacity)));
  lua_pushlstring(L, utf8.data(), utf8.size());
}

LRESULT SendToHost(lua_State* L, UINT message, WPARAM w, LPARAM l) {
  CheckStop(L);
  EngineState& engine = Engine();
  Unlocked unlocked(engine.lock);
  return SendMessageW(engine.host, message, w, l);
}

// ---- control operations -------------------------------------------------

struct ItemRequest {
  const wchar_t* name;
  std::int32_t index;
};
struct PlacementRequest {
  std::int32_t reserved, x, y, width, height, mode;
};
static_assert(offsetof(ItemRequest, index) == sizeof(void*));
static_assert(offsetof(PlacementRequest, mode) == 20);

std::int32_t CheckInt(lua_State* L, int index) {
  if (lua_isboolean(L, index)) return lua_toboolean(L, index) ? 1 : 0;
  return static_cast<std::int32_t>(luaL_checkinteger(L, index));
}

void LogWrongName(lua_State* L, const NamedOperation& op, const std::wstring& name) {
  luaL_where(L, 1);  // "file:line: "
  std::string where = lua_tostring(L, -1);
  lua_pop(L, 1);
  while (!where.empty() && (where.back() == ' ' || where.back() == ':')) where.pop_back();
  WriteLog("wrong control name \"" + win32::Utf8(name) + "\" in " + std::string(op.family) + "." +
           std::string(op.name) + " (" + std::to_string(op.message) + ") at " + where);
}

int RunOperation(lua_State* L) {
  const NamedOperation& op = *static_cast<const NamedOperation*>(lua_touserdata(L, lua_upvalueindex(1)));
  const std::wstring name = Wide(L, 1);
  const WPARAM w = reinterpret_cast<WPARAM>(name.c_str());
  std::wstring text;
  std::vector<wchar_t> buffer;
  LPARAM l = 0;
  ItemRequest item{};
  PlacementRequest place{};
  switch (op.shape) {
    case Shape::SetText:
      text = Wide(L, 2);
      l = reinterpret_cast<LPARAM>(text.c_str());
      break;
    case Shape::SetPath: {
      text = Wide(L, 2);
      const bool absolute = (text.size() > 1 && text[1] == L':') || (!text.empty() && (text[0] == L'\\' || text[0] == L'/'));
      if (!absolute) text = Engine().workDirectory + L"\\" + text;
      l = reinterpret_cast<LPARAM>(text.c_str());
      break;
    }
    case Shape::GetText:
      buffer.assign(kTextBuffer, 0);
      l = reinterpret_cast<LPARAM>(buffer.data());
      break;
    case Shape::SetInt:
    case Shape::Exchange:
      l = CheckInt(L, 2);
      break;
    case Shape::SetBool:
      luaL_checkany(L, 2);
      l = lua_isnumber(L, 2) ? (lua_tointeger(L, 2) != 0) : lua_toboolean(L, 2);
      break;
    case Shape::Show:
      luaL_checkany(L, 2);
      l = lua_isboolean(L, 2) ? (lua_toboolean(L, 2) ? SW_SHOW : SW_HIDE) : CheckInt(L, 2);
      break;
    case Shape::SetIndex:
      l = lua_isnoneornil(L, 2) ? -1 : CheckInt(L, 2) - 1;
      break;
    case Shape::ItemText:
      item = ItemRequest{name.c_str(), CheckInt(L, 2) - 1};
      buffer.assign(kTextBuffer, 0);
      l = reinterpret_cast<LPARAM>(buffer.data());
      break;
    case Shape::Place:
      place.mode = op.placeMode == 0 ? 3 : op.placeMode;
      if (op.placeMode == 2) {
        place.width = CheckInt(L, 2);
        place.height = CheckInt(L, 3);
      } else {
        place.x = CheckInt(L, 2);
        place.y = CheckInt(L, 3);
        if (op.placeMode == 0) {
          place.width = CheckInt(L, 4);
          place.height = CheckInt(L, 5);
        }
      }
      l = reinterpret_cast<LPARAM>(&place);
      break;
    case Shape::Action:
    case Shape::GetInt:
    case Shape::GetBool:
    case Shape::GetIndex:
      break;
  }
  const LRESULT result = SendToHost(L, op.message, op.shape == Shape::ItemText ? reinterpret_cast<WPARAM>(&item) : w, l);
  const int value = static_cast<int>(result);
  if ((op.wrongName == WrongName::Zero && value == 0) || (op.wrongName == WrongName::MinusOne && value == -1))
    LogWrongName(L, op, name);
  switch (op.shape) {
    case Shape::GetText:
    case Shape::ItemText:
      if (value == 0) lua_pushnil(L);
      else PushText(L, buffer.data(), buffer.size());
      break;
    case Shape::GetInt:
    case Shape::Exchange:
      if (op.wrongName == WrongName::MinusOne && value == -1) lua_pushnil(L);
      else lua_pushinteger(L, value);
      break;
    case Shape::GetBool:
      lua_pushboolean(L, value != 0);
      break;
    case Shape::GetIndex:
      if (value < 0) lua_pushnil(L);
      else lua_pushinteger(L, value + 1);
      break;
    default:
      lua_pushboolean(L, value != 0);
      break;
  }
  return 1;
}

// ---- services -----------------------------------------------------------

constexpr UINT kTrayIcon = 1675, kInputBox = 1679, kWaitForKey = 2674;

struct InputBoxRequest {
  std::int32_t firstWord;
  const wchar_t* title;
  const wchar_t* prompt;
  const wchar_t* result;
};
static_assert(offsetof(InputBoxRequest, result) == 3 * sizeof(void*));

int Tray(lua_State* L) {
  const std::wstring tip = Wide(L, 1);
  const bool hideOnMinimise = lua_isnoneornil(L, 2) || lua_toboolean(L, 2);
  SendToHost(L, kTrayIcon, reinterpret_cast<WPARAM>(tip.c_str()), hideOnMinimise ? 0 : 1);
  return 0;
}

int Input(lua_State* L) {
  const std::wstring title = lua_isnoneornil(L, 1) ? L"" : Wide(L, 1);
  const std::wstring prompt = lua_isnoneornil(L, 2) ? L"" : Wide(L, 2);
  InputBoxRequest request{0, title.c_str(), prompt.c_str(), nullptr};
  if (SendToHost(L, kInputBox, reinterpret_cast<WPARAM>(&request), 0) == 0 || !request.result) {
    lua_pushnil(L);
  } else {
    const std::string text = win32::Utf8(request.result);
    lua_pushlstring(L, text.data(), text.size());
  }
  return 1;
}

int WaitKey(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(SendToHost(L, kWaitForKey, 0, 0)));
  return 1;
}

// A raw argument: an integer, a text (passed as UTF-16), nil or a boolean.
LPARAM RawArgument(lua_State* L, int index, std::wstring& storage) {
  switch (lua_type(L, index)) {
    case LUA_TNONE:
    case LUA_TNIL:
      return 0;
    case LUA_TBOOLEAN:
      return lua_toboolean(L, index);
    case LUA_TSTRING:
      storage = Wide(L, index);
      return reinterpret_cast<LPARAM>(storage.c_str());
    default:
      return static_cast<LPARAM>(luaL_checkinteger(L, index));
  }
}

int Send(lua_State* L) {
  const UINT message = static_cast<UINT>(luaL_checkinteger(L, 1));
  std::wstring w, l;
  const WPARAM wParam = static_cast<WPARAM>(RawArgument(L, 2, w));
  const LPARAM lParam = RawArgument(L, 3, l);
  lua_pushinteger(L, static_cast<lua_Integer>(SendToHost(L, message, wParam, lParam)));
  return 1;
}

int Read(lua_State* L) {
  const UINT message = static_cast<UINT>(luaL_checkinteger(L, 1));
  std::wstring w;
  const WPARAM wParam = static_cast<WPARAM>(RawArgument(L, 2, w));
  std::vector<wchar_t> buffer(kTextBuffer, 0);
  const LRESULT result = SendToHost(L, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
  lua_pushinteger(L, static_cast<lua_Integer>(result));
  PushText(L, buffer.data(), buffer.size());
  return 2;
}

int SleepFor(lua_State* L) {
  const lua_Integer ms = luaL_checkinteger(L, 1);
  CheckStop(L);
  {
    Unlocked unlocked(Engine().lock);
    WaitForSingleObject(Engine().stopEvent, ms < 0 ? 0 : static_cast<DWORD>(ms));
  }
  CheckStop(L);
  return 0;
}

int Start(lua_State* L) {
  const std::string name = luaL_checkstring(L, 1);
  const std::size_t dot = name.find('.');
  CheckStop(L);
  StartScriptThread(dot == std::string::npos ? std::string() : name.substr(0, dot),
                    dot == std::string::npos ? name : name.substr(dot + 1));
  return 0;
}

// log(...) and print(...): the values as tostring gives them, tab-separated.
int Log(lua_State* L) {
  std::string line;
  const int n = lua_gettop(L);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) line += '\t';
    line += luaL_tolstring(L, i, nullptr);
    lua_pop(L, 1);
  }
  WriteLog(line);
  return 0;
}

// pcall and xpcall that cannot keep the stop error: a script that catches
// every error still ends when the program closes.
int FinishProtectedCall(lua_State* L, int status, lua_KContext extra) {
  if (status != LUA_OK && status != LUA_YIELD) {
    CheckStop(L);
    lua_pushboolean(L, 0);
    lua_pushvalue(L, -2);
    return 2;
  }
  return lua_gettop(L) - static_cast<int>(extra);
}

int ProtectedCall(lua_State* L) {
  luaL_checkany(L, 1);
  lua_pushboolean(L, 1);
  lua_insert(L, 1);
  const int status = lua_pcallk(L, lua_gettop(L) - 2, LUA_MULTRET, 0, 0, FinishProtectedCall);
  return FinishProtectedCall(L, status, 0);
}

int ProtectedCallWithHandler(lua_State* L) {
  const int n = lua_gettop(L);
  luaL_checktype(L, 2, LUA_TFUNCTION);
  lua_pushboolean(L, 1);
  lua_pushvalue(L, 1);
  lua_rotate(L, 3, 2);
  const int status = lua_pcallk(L, n - 2, LUA_MULTRET, 2, 2, FinishProtectedCall);
  return FinishProtectedCall(L, status, 2);
}

// ---- the plug-in object of the calling thread ---------------------------

constexpr UINT kPluginCreate = 2525, kPluginRelease = 2528, kPluginQuery = 2531;

struct KeyRecord {
  std::uint32_t threadKey;
};

int PluginManage(lua_State* L) {
  const UINT message = static_cast<UINT>(lua_tointeger(L, lua_upvalueindex(1)));
  KeyRecord record{GetCurrentThreadId()};
  const bool done = SendToHost(L, message, reinterpret_cast<WPARAM>(&record), 0) != 0;
  if (message == kPluginCreate && done) t_ownsPluginObject = true;
  if (message == kPluginRelease && done) t_ownsPluginObject = false;
  lua_pushboolean(L, done);
  return 1;
}

// dm.call(message or name, arguments...): the arguments by the row's kinds
// (out slots take none); returns the result, then every out and in-out
// value in order.
int PluginCallMessage(lua_State* L, unsigned message, int first) {
  const PluginCall* call = FindPluginCall(message);
  if (!call) return luaL_error(L, "%d is not a plug-in call message", static_cast<int>(message));
  constexpr std::size_t kPointer = sizeof(void*);
  std::vector<unsigned char> record(PluginArgOffset(*call, call->argCount, kPointer) + 16, 0);
  const std::uint32_t key = GetCurrentThreadId();
  std::memcpy(record.data(), &key, 4);
  std::vector<std::wstring> texts(call->argCount);
  int next = first;
  for (std::size_t i = 0; i < call->argCount; ++i) {
    unsigned char* field = record.data() + PluginArgOffset(*call, i, kPointer);
    switch (call->args[i].kind) {
      case PluginArgKind::Int:
      case PluginArgKind::InOut: {
        const std::int32_t value = CheckInt(L, next++);
        std::memcpy(field, &value, 4);
        break;
      }
      case PluginArgKind::Str: {
        const wchar_t* text = nullptr;
        if (!lua_isnoneornil(L, next)) {
          texts[i] = Wide(L, next);
          text = texts[i].c_str();
        }
        ++next;
        std::memcpy(field, &text, kPointer);
        break;
      }
      case PluginArgKind::Dbl: {
        const double value = luaL_checknumber(L, next++);
        std::memcpy(field, &value, 8);
        break;
      }
      case PluginArgKind::Out:
        break;
    }
  }
  std::vector<wchar_t> buffer(1023 + 1, 0);
  const LRESULT result = SendToHost(L, message, reinterpret_cast<WPARAM>(record.data()),
                                    reinterpret_cast<LPARAM>(buffer.data()));
  int pushed = 1;
  switch (call->result) {
    case PluginResultKind::Int:
      lua_pushinteger(L, static_cast<lua_Integer>(static_cast<int>(result)));
      break;
    case PluginResultKind::IntAsBool:
      lua_pushboolean(L, result != 0);
      break;
    case PluginResultKind::Str:
    case PluginResultKind::StrReturnsLParam:
      if (result == 0) lua_pushnil(L);
      else PushText(L, buffer.data(), buffer.size());
      break;
    case PluginResultKind::StrReturnsZero:
      PushText(L, buffer.data(), buffer.size());
      break;
  }
  for (std::size_t i = 0; i < call->argCount; ++i) {
    const PluginArgKind kind = call->args[i].kind;
    if (kind != PluginArgKind::Out && kind != PluginArgKind::InOut) continue;
    std::int32_t value = 0;
    std::memcpy(&value, record.data() + PluginArgOffset(*call, i, kPointer), 4);
    lua_pushinteger(L, value);
    ++pushed;
  }
  return pushed;
}

unsigned MessageByName(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TNUMBER) return static_cast<unsigned>(lua_tointeger(L, index));
  const char* name = luaL_checkstring(L, index);
  const auto& names = Engine().api.messages;
  const auto found = names.find(std::string_view(name));
  if (found == names.end()) luaL_error(L, "no plug-in call is named %s (api.xml)", name);
  return found->second;
}

int PluginCallAny(lua_State* L) { return PluginCallMessage(L, MessageByName(L, 1), 2); }

int PluginCallNamed(lua_State* L) {
  return PluginCallMessage(L, static_cast<unsigned>(lua_tointeger(L, lua_upvalueindex(1))), 1);
}

// dm.Name for a name that api.xml gives.
int PluginIndex(lua_State* L) {
  const unsigned message = MessageByName(L, 2);
  lua_pushinteger(L, message);
  lua_pushcclosure(L, PluginCallNamed, 1);
  lua_pushvalue(L, 2);
  lua_pushvalue(L, -2);
  lua_rawset(L, 1);
  return 1;
}

void OpenPlugin(lua_State* L) {
  lua_newtable(L);
  const std::pair<const char*, UINT> manage[] = {
      {"create", kPluginCreate}, {"release", kPluginRelease}, {"exists", kPluginQuery}};
  for (const auto& [name, message] : manage) {
    lua_pushinteger(L, message);
    lua_pushcclosure(L, PluginManage, 1);
    lua_setfield(L, -2, name);
  }
  lua_pushcfunction(L, PluginCallAny);
  lua_setfield(L, -2, "call");
  lua_newtable(L);
  lua_pushcfunction(L, PluginIndex);
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
  lua_setglobal(L, "dm");
}

}  // namespace

void CheckStop(lua_State* L) {
  if (!Engine().stopping) return;
  lua_pushlightuserdata(L, &g_stopToken);
  lua_error(L);
}

bool IsStopError(lua_State* L, int index) { return lua_touserdata(L, index) == &g_stopToken; }

void EndScriptThread() {
  if (!t_ownsPluginObject) return;
  t_ownsPluginObject = false;
  KeyRecord record{GetCurrentThreadId()};
  SendMessageW(Engine().host, kPluginRelease, reinterpret_cast<WPARAM>(&record), 0);
}

void OpenHostFunctions(lua_State* L) {
  OpenOperationTables(L, RunOperation);
  OpenPlugin(L);
  const luaL_Reg functions[] = {{"tray", Tray},   {"input", Input}, {"wait_key", WaitKey}, {"send", Send},
                                {"read", Read},   {"sleep", SleepFor}, {"start", Start},      {"log", Log},
                                {"print", Log},   {"pcall", ProtectedCall}, {"xpcall", ProtectedCallWithHandler},    {nullptr, nullptr}};
  lua_pushglobaltable(L);
  luaL_setfuncs(L, functions, 0);
  lua_pop(L, 1);
  const std::string workdir = win32::Utf8(Engine().workDirectory);
  lua_pushlstring(L, workdir.data(), workdir.size());
  lua_setglobal(L, "workdir");
}

}  // namespace qs::lua
