// Creation, lookup and release of the per-thread "dm.dmsoft" objects.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>

#include "plugin/plugin_table.h"
#include "win32/com.h"

namespace qs {

using PluginTable = PluginTableT<IDispatch>;

// {D5ED8B83-6D3D-4699-BFEA-6C3566F087CE}
extern const IID kPluginInterfaceId;
inline constexpr const wchar_t* kPluginProgId = L"dm.dmsoft";

// Resolves the process-wide class identifier of "dm.dmsoft" (result ignored).
void LookUpPluginClass();
const CLSID& PluginClassId();

// The thread's object with a reference of the caller's own, or null.
win32::ComPtr<IDispatch> FindPluginObject(const PluginTable& table, std::uint32_t threadKey);
// Creates an object for the thread and appends it; false when the table is
// full or creation did not return S_OK.
bool CreatePluginObject(PluginTable& table, std::uint32_t threadKey);
bool ReleasePluginObject(PluginTable& table, std::uint32_t threadKey);

}  // namespace qs
