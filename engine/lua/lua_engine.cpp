// scriptcore.dll, the product engine: runs the project's Lua script
// (sourseTemp.bak). Every event runs its function on a thread of its own;
// the threads share one Lua state under the script lock (engine_state.h).
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/lua/engine_log.h"
#include "engine/lua/engine_state.h"
#include "engine/lua/host_functions.h"
#include "engine/lua/module_tables.h"
#include "lua.hpp"
#include "win32/file_bytes.h"
#include "win32/text.h"

namespace qs::lua {

namespace {

// The compiled script, run once (its top level defines the functions)
// by the first thread that gets the lock.
enum class ChunkState { Missing, Loaded, Running, Ran };
ChunkState g_chunk = ChunkState::Missing;  // under the lock
HANDLE g_chunkRan = nullptr;               // set when the top level has run

std::mutex g_threadsLock;
std::vector<HANDLE> g_threads;  // every script thread not yet joined
HANDLE g_lastEventThread = nullptr;  // the thread of the latest QSCmd (the destroy event's, at close)

constexpr int kHookInstructions = 1000;
constexpr DWORD kDestroyHandlerGrace = 2000;
constexpr DWORD kStopGrace = 5000;

void Hook(lua_State* L, lua_Debug*) {
  EngineState& engine = Engine();
  CheckStop(L);
  if (engine.lock.Contended()) {
    Unlocked unlocked(engine.lock);
  }
  CheckStop(L);
}

std::string ErrorText(lua_State* L, int index) {
  if (const char* text = lua_tostring(L, index)) return text;
  return std::string("(error object is a ") + luaL_typename(L, index) + " value)";
}

// The message handler of every script call: the error text, as Lua gives
// it ("sourseTemp.bak:12: ..."), or the stop error unchanged.
int MessageHandler(lua_State* L) {
  if (IsStopError(L, 1)) return 1;
  const std::string text = ErrorText(L, 1);
  lua_pushlstring(L, text.data(), text.size());
  return 1;
}

// Runs the function on top of the stack (no arguments). False after an
// error, which is reported unless it is the stop error.
bool Call(lua_State* L, const std::string& where) {
  lua_pushcfunction(L, MessageHandler);
  lua_insert(L, -2);
  const int status = lua_pcall(L, 0, 0, -2);
  bool ok = status == LUA_OK;
  if (!ok && !IsStopError(L, -1)) ReportError(where, ErrorText(L, -1));
  lua_pop(L, ok ? 1 : 2);
  return ok;
}

// Runs the script's top level once; a thread that comes while it runs
// waits for it.
void RunChunkOnce(lua_State* L) {
  EngineState& engine = Engine();
  while (g_chunk == ChunkState::Running) {
    Unlocked unlocked(engine.lock);
    const HANDLE events[] = {g_chunkRan, engine.stopEvent};
    WaitForMultipleObjects(2, events, FALSE, INFINITE);
  }
  if (g_chunk != ChunkState::Loaded) return;
  g_chunk = ChunkState::Running;
  lua_rawgetp(L, LUA_REGISTRYINDEX, &g_chunk);
  Call(L, "the script's top level");
  g_chunk = ChunkState::Ran;
  SetEvent(g_chunkRan);
}

struct ScriptCall {
  std::string module, function;
};

DWORD WINAPI ScriptThread(void* parameter) {
  const std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(parameter));
  EngineState& engine = Engine();
  const std::string name = call->module + "." + call->function;
  engine.lock.Lock();
  if (engine.lua && !engine.stopping) {
    lua_State* L = lua_newthread(engine.lua);
    const int ref = luaL_ref(engine.lua, LUA_REGISTRYINDEX);
    RunChunkOnce(L);
    if (engine.debug) WriteLog("event " + name);
    if (lua_getglobal(L, call->module.c_str()) == LUA_TTABLE &&
        lua_getfield(L, -1, call->function.c_str()) == LUA_TFUNCTION) {
      lua_remove(L, -2);
      Call(L, name);
    } else {
      WriteLog("no function " + name + " in " + engine.scriptName);
    }
    lua_settop(L, 0);
    luaL_unref(engine.lua, LUA_REGISTRYINDEX, ref);
  }
  engine.lock.Unlock();
  EndScriptThread();
  return 0;
}

lua_State* NewState(const std::string& source) {
  lua_State* L = luaL_newstate();
  if (!L) return nullptr;
  luaL_openlibs(L);
  // os.exit would end the program without its close sequence.
  lua_getglobal(L, "os");
  lua_pushnil(L);
  lua_setfield(L, -2, "exit");
  lua_pop(L, 1);
  OpenHostFunctions(L);
  if (luaL_loadstring(L, kModuleTablesChunk) == LUA_OK) {
    lua_pushlstring(L, source.data(), source.size());
    lua_pcall(L, 1, 0, 0);
  }
  lua_settop(L, 0);
  lua_sethook(L, Hook, LUA_MASKCOUNT, kHookInstructions);
  return L;
}

// Waits for the thread, serving the messages that script threads send to
// this (the host's window) thread meanwhile. False at the timeout.
bool WaitServing(HANDLE thread, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = timeoutMs == INFINITE ? INFINITE : now >= end ? 0 : static_cast<DWORD>(end - now);
    const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return true;
    if (r == WAIT_TIMEOUT) return false;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// Closes the message boxes that script threads show (debug mode errors).
BOOL CALLBACK CloseThreadWindow(HWND window, LPARAM) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

EngineState& Engine() {
  static EngineState state;
  return state;
}

void StartScriptThread(const std::string& module, const std::string& function) {
  auto* call = new ScriptCall{module, function};
  HANDLE thread = CreateThread(nullptr, 0, ScriptThread, call, 0, nullptr);
  if (!thread) {
    delete call;
    WriteLog("error in " + module + "." + function + ": its thread could not be started");
    return;
  }
  std::lock_guard guard(g_threadsLock);
  std::erase_if(g_threads, [](HANDLE h) {
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0 || h == g_lastEventThread) return false;
    CloseHandle(h);
    return true;
  });
  g_threads.push_back(thread);
  g_lastEventThread = thread;
}

void ReportError(const std::string& where, const std::string& message) {
  WriteLog("error in " + where + ": " + message);
  EngineState& engine = Engine();
  if (!engine.debug || engine.stopping) return;
  const std::wstring text = win32::WideFromUtf8("脚本错误 (" + where + ")\n\n" + message);
  std::wstring program = win32::GetModulePath(nullptr);
  program.erase(0, program.find_last_of(L"\\/") + 1);
  Unlocked unlocked(engine.lock);
  MessageBoxW(nullptr, text.c_str(), program.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace qs::lua

using namespace qs::lua;

extern "C" {

__declspec(dllexport) int QSInitialPlatform(const wchar_t* scriptPath, const wchar_t* apiPath, int debug,
                                            wchar_t*) {
  EngineState& engine = Engine();
  engine.debug = debug != 0;
  engine.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_chunkRan = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (engine.debug) WriteLog("QSInitialPlatform " + win32::Utf8(scriptPath ? scriptPath : L""));
  if (apiPath && GetFileAttributesW(apiPath) != INVALID_FILE_ATTRIBUTES) {
    engine.api = ReadApiNames(win32::ReadFileBytes(apiPath));
    for (const std::string& error : engine.api.errors) WriteLog(error);
  }
  std::string source = scriptPath ? win32::ReadFileBytes(scriptPath) : std::string();
  if (source.starts_with("\xEF\xBB\xBF")) source.erase(0, 3);
  if (scriptPath) {
    const std::wstring path = scriptPath;
    engine.scriptName = win32::Utf8(path.substr(path.find_last_of(L"\\/") + 1));
  }
  engine.lock.Lock();
  engine.lua = NewState(source);
  if (engine.lua) {
    const std::string chunkName = "=" + engine.scriptName;
    if (luaL_loadbuffer(engine.lua, source.data(), source.size(), chunkName.c_str()) == LUA_OK) {
      lua_rawsetp(engine.lua, LUA_REGISTRYINDEX, &g_chunk);
      g_chunk = ChunkState::Loaded;
    } else {
      const std::string error = lua_tostring(engine.lua, -1);
      lua_pop(engine.lua, 1);
      ReportError("the script", error);
    }
  }
  engine.lock.Unlock();
  return 1;
}

// Tells the tools (qsform check) that this engine runs Lua.
__declspec(dllexport) const char* QSLuaVersion() { return LUA_RELEASE; }

__declspec(dllexport) int QSSetExeHandle(HWND window) {
  Engine().host = window;
  return 1;
}

__declspec(dllexport) int QSSetExeTempPath(const wchar_t* workDirectory) {
  EngineState& engine = Engine();
  if (!workDirectory) return 1;
  engine.workDirectory = workDirectory;
  engine.lock.Lock();
  if (engine.lua) {
    const std::string path = win32::Utf8(engine.workDirectory);
    lua_pushlstring(engine.lua, path.data(), path.size());
    lua_setglobal(engine.lua, "workdir");
  }
  engine.lock.Unlock();
  return 1;
}

__declspec(dllexport) int QSCmd(const wchar_t* module, const wchar_t* function) {
  // An empty event string (a window event the form leaves empty) calls nothing.
  const bool empty = (!module || !*module) && (!function || !*function);
  if (Engine().stopping || empty) return 1;
  StartScriptThread(win32::Utf8(module ? module : L""), win32::Utf8(function ? function : L""));
  return 1;
}

// Lets the destroy event's function finish (for a moment), then stops every
// script thread (at its next instruction, sleep or message) and returns
// when none runs.
__declspec(dllexport) int QSTerminate() {
  EngineState& engine = Engine();
  if (engine.debug) WriteLog("QSTerminate");
  HANDLE last = nullptr;
  {
    std::lock_guard guard(g_threadsLock);
    last = g_lastEventThread;
  }
  if (last) WaitServing(last, kDestroyHandlerGrace);
  engine.stopping = true;
  SetEvent(engine.stopEvent);
  // Threads that a script starts while others are joined are joined too.
  bool allEnded = true;
  const ULONGLONG end = GetTickCount64() + kStopGrace;
  for (;;) {
    std::vector<HANDLE> threads;
    {
      std::lock_guard guard(g_threadsLock);
      threads.swap(g_threads);
      g_lastEventThread = nullptr;
    }
    if (threads.empty()) break;
    for (HANDLE thread : threads) {
      for (;;) {
        EnumThreadWindows(GetThreadId(thread), CloseThreadWindow, 0);
        if (WaitServing(thread, 100)) break;
        if (GetTickCount64() >= end) {
          WriteLog("a script thread did not stop; it is ended");
          TerminateThread(thread, 1);
          allEnded = false;
          break;
        }
      }
      CloseHandle(thread);
    }
  }
  if (allEnded && engine.lua) {
    lua_close(engine.lua);
    engine.lua = nullptr;
  }
  return 1;
}

}  // extern "C"
