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
// Takes the thread's entry out of the table, then releases it.
bool ReleasePluginObject(PluginTable& table, std::uint32_t threadKey);
// At close: every object still held.
void ReleaseAllPluginObjects(PluginTable& table);
// Drops a reference that no table entry holds any more.
void ReleaseOutsideTable(win32::ComPtr<IDispatch> object);

}  // namespace qs
