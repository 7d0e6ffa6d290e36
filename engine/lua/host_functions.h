// The functions a script calls to reach the host: the control operations by
// name (label.set, list.item, ...), the services (tray, input, wait_key),
// the plug-in object of the calling thread (dm), send/read for any message,
// sleep, start, log, and workdir. Each message to the host is sent with the
// script lock released.
#pragma once

struct lua_State;

namespace qs::lua {

void OpenHostFunctions(lua_State* L);

// Raises the stop error when QSTerminate has begun (the error that no
// pcall of the script can keep).
void CheckStop(lua_State* L);
// Whether an error value is the stop error.
bool IsStopError(lua_State* L, int index);

// Called when a script thread ends: releases the plug-in object the thread
// created and did not release.
void EndScriptThread();

}  // namespace qs::lua
