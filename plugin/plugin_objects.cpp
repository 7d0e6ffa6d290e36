#include "plugin/plugin_objects.h"

#include "win32/dialog.h"

namespace qs {

const IID kPluginInterfaceId = {0xD5ED8B83, 0x6D3D, 0x4699, {0xBF, 0xEA, 0x6C, 0x35, 0x66, 0xF0, 0x87, 0xCE}};

namespace {
CLSID g_pluginClass{};  // zero until resolved
}

void LookUpPluginClass() { CLSIDFromProgID(kPluginProgId, &g_pluginClass); }

const CLSID& PluginClassId() { return g_pluginClass; }

win32::ComPtr<IDispatch> FindPluginObject(const PluginTable& table, std::uint32_t threadKey) {
  return win32::ComPtr<IDispatch>::Adopt(table.Find(threadKey));
}

bool CreatePluginObject(PluginTable& table, std::uint32_t threadKey) {
  if (table.full()) return false;
  if (g_pluginClass.Data1 == 0) LookUpPluginClass();
  constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                               CLSCTX_REMOTE_SERVER;  // 23
  void* created = nullptr;
  HRESULT result;
  {
    // A creation may pump messages (an outside server, an apartment call)
    // and so serve other requests, creations and releases among them.
    const win32::MessageLoopScope loop;
    result = CoCreateInstance(g_pluginClass, nullptr, kAnyServer, kPluginInterfaceId, &created);
  }
  // A success code other than S_OK still hands over a reference.
  win32::ComPtr<IDispatch> object = win32::ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(created));
  if (result != S_OK || !object) {
    ReleaseOutsideTable(std::move(object));
    return false;
  }
  // The table as it is now: what the creation served may have filled it.
  if (!table.Append(object.get(), threadKey)) {
    ReleaseOutsideTable(std::move(object));
    return false;
  }
  object.release();  // the table's reference now
  return true;
}

bool ReleasePluginObject(PluginTable& table, std::uint32_t threadKey) {
  IDispatch* object = table.Take(threadKey);
  if (!object) return false;
  ReleaseOutsideTable(win32::ComPtr<IDispatch>::Adopt(object));
  return true;
}

void ReleaseAllPluginObjects(PluginTable& table) {
  const win32::MessageLoopScope loop;
  table.ReleaseAll();
}

void ReleaseOutsideTable(win32::ComPtr<IDispatch> object) {
  const win32::MessageLoopScope loop;  // the last Release may pump as well
  object.reset();
}

}  // namespace qs
