// The plug-in messages: 2525 create, 2528 release, 2531 query, and the 136
// call messages, run on the window thread against the thread's object.
#pragma once

#include <windows.h>

#include "plugin/plugin_call_table.h"
#include "plugin/plugin_objects.h"

namespace qs {

inline constexpr UINT kPluginCreate = 2525, kPluginRelease = 2528, kPluginQuery = 2531;

LRESULT OnPluginCreate(PluginTable& table, WPARAM record);
LRESULT OnPluginRelease(PluginTable& table, WPARAM record);
LRESULT OnPluginQuery(PluginTable& table, WPARAM record);

// One call message: arguments from the record at wParam, the result as the
// message result, in the lParam buffer and in the record's out slots.
LRESULT HandlePluginCall(const PluginTable& table, const PluginCall& call, WPARAM record, LPARAM buffer);

// Enables SeDebugPrivilege for the host process; true when it took effect.
bool EnableDebugPrivilege();

}  // namespace qs
