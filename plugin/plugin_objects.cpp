#include "plugin/plugin_objects.h"

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
  IDispatch** field = table.NextObjectField();
  if (!field) return false;
  if (g_pluginClass.Data1 == 0) LookUpPluginClass();
  constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                               CLSCTX_REMOTE_SERVER;  // 23
  void* object = nullptr;
  const HRESULT result = CoCreateInstance(g_pluginClass, nullptr, kAnyServer, kPluginInterfaceId, &object);
  if (result != S_OK) {
    // A success code other than S_OK still hands over a reference.
    if (SUCCEEDED(result) && object) static_cast<IUnknown*>(object)->Release();
    return false;
  }
  *field = static_cast<IDispatch*>(object);
  table.CommitAppend(threadKey);
  return true;
}

bool ReleasePluginObject(PluginTable& table, std::uint32_t threadKey) { return table.Remove(threadKey); }

}  // namespace qs
