#include "plugin/plugin_calls.h"

#include <cstring>

#include "host/error_box.h"
#include "win32/dialog.h"
#include "win32/handles.h"

namespace qs {

namespace {

constexpr UINT kStringUnits = 1023;  // string results: 1022 characters and the terminator

template <class T>
T Read(const char* record, std::size_t offset) {
  T value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

template <class T>
void Write(char* record, std::size_t offset, T value) {
  std::memcpy(record + offset, &value, sizeof value);
}

bool ReadKey(WPARAM record, std::uint32_t* key) {
  if (!record) return false;
  *key = Read<std::uint32_t>(reinterpret_cast<const char*>(record), 0);
  return true;
}

// The arguments of one call: their VARIANTs (last argument first, as
// DISPPARAMS wants them), the BSTR copies and the VARIANTs of the out slots.
class CallArguments {
 public:
  CallArguments(const PluginCall& call, const char* record) : call_(call) {
    const std::size_t n = call.argCount;
    for (std::size_t i = 0; i < n; ++i) {
      VARIANT& v = positional_[n - 1 - i];
      VariantInit(&v);
      VariantInit(&slots_[i]);
      const std::size_t offset = PluginArgOffset(call, i, sizeof(void*));
      switch (call.args[i].kind) {
        case PluginArgKind::Int:
          v.vt = VT_I4;
          v.lVal = Read<std::int32_t>(record, offset);
          break;
        case PluginArgKind::Dbl:
          v.vt = VT_R8;
          v.dblVal = Read<double>(record, offset);
          break;
        case PluginArgKind::Str: {
          const auto* text = Read<const wchar_t*>(record, offset);
          v.vt = VT_BSTR;
          v.bstrVal = text ? SysAllocString(text) : nullptr;  // a null string stays a null BSTR
          break;
        }
        case PluginArgKind::InOut:
          slots_[i].vt = VT_I4;
          slots_[i].lVal = Read<std::int32_t>(record, offset);
          [[fallthrough]];
        case PluginArgKind::Out:
          v.vt = VT_BYREF | VT_VARIANT;
          v.pvarVal = &slots_[i];
          break;
      }
    }
    params_.rgvarg = n ? positional_ : nullptr;
    params_.cArgs = static_cast<UINT>(n);
  }

  ~CallArguments() {
    for (std::size_t i = 0; i < call_.argCount; ++i) {
      if (call_.args[i].kind == PluginArgKind::Str) VariantClear(&positional_[call_.argCount - 1 - i]);
      VariantClear(&slots_[i]);
    }
  }

  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;

  DISPPARAMS* params() { return &params_; }

  // Each out and inout slot gets the 32-bit integer member of its VARIANT,
  // whatever type the plug-in left in it.
  void StoreSlots(char* record) const {
    for (std::size_t i = 0; i < call_.argCount; ++i) {
      const PluginArgKind kind = call_.args[i].kind;
      if (kind == PluginArgKind::Out || kind == PluginArgKind::InOut)
        Write<std::int32_t>(record, PluginArgOffset(call_, i, sizeof(void*)), slots_[i].lVal);
    }
  }

 private:
  const PluginCall& call_;
  VARIANT positional_[kMaxPluginArgs];
  VARIANT slots_[kMaxPluginArgs];
  DISPPARAMS params_{};
};

bool WantsString(PluginResultKind kind) {
  return kind == PluginResultKind::Str || kind == PluginResultKind::StrReturnsLParam ||
         kind == PluginResultKind::StrReturnsZero;
}

}  // namespace

bool EnableDebugPrivilege() {
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &rawToken)) return false;
  const win32::OwnedHandle token(rawToken);
  bool enabled = false;
  TOKEN_PRIVILEGES privileges{};
  if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    enabled = GetLastError() == ERROR_SUCCESS;
  }
  return enabled;
}

LRESULT OnPluginCreate(PluginTable& table, WPARAM record) {
  std::uint32_t key = 0;
  if (!ReadKey(record, &key)) return 0;
  if (table.Contains(key)) {
    ShowErrorBox(L"创建大漠对象失败,或者此线程已经创建过大漠对象!");
    return 0;
  }
  return CreatePluginObject(table, key) ? 1 : 0;
}

LRESULT OnPluginRelease(PluginTable& table, WPARAM record) {
  std::uint32_t key = 0;
  return ReadKey(record, &key) && ReleasePluginObject(table, key) ? 1 : 0;
}

LRESULT OnPluginQuery(PluginTable& table, WPARAM record) {
  std::uint32_t key = 0;
  return ReadKey(record, &key) && table.Contains(key) ? 1 : 0;
}

LRESULT HandlePluginCall(const PluginTable& table, const PluginCall& call, WPARAM wParam, LPARAM lParam) {
  // The plug-in may pump messages inside the call (and in the release of
  // the call's own reference, when its entry went meanwhile).
  const win32::MessageLoopScope loop;
  if (call.privilegeFirst) EnableDebugPrivilege();
  std::uint32_t key = 0;
  const bool wantsString = WantsString(call.result);
  // No record, or a string result with nowhere to go: as if there were no object.
  if (!ReadKey(wParam, &key) || (wantsString && !lParam)) return call.noObject;
  win32::ComPtr<IDispatch> object = FindPluginObject(table, key);  // held for the whole call
  if (!object) return call.noObject;

  char* record = reinterpret_cast<char*>(wParam);
  CallArguments arguments(call, record);
  win32::Variant result;
  EXCEPINFO exception{};
  UINT badArgument = 0;
  HRESULT hr = object->Invoke(call.dispid, IID_NULL, 0, DISPATCH_METHOD, arguments.params(), result.get(),
                              &exception, &badArgument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  const VARTYPE wanted = wantsString ? VT_BSTR : VT_I4;
  if (SUCCEEDED(hr) && result.get()->vt != wanted) hr = VariantChangeType(result.get(), result.get(), 0, wanted);
  // A failed call (an error from the plug-in, a result that cannot be
  // coerced) writes nothing and answers like a thread without an object, so
  // that a string row never reports success.
  if (FAILED(hr)) return call.noObject;

  arguments.StoreSlots(record);
  switch (call.result) {
    case PluginResultKind::Int:
      return result.get()->lVal;
    case PluginResultKind::IntAsBool:
      return result.get()->lVal != 0 ? 1 : 0;
    default:
      break;
  }
  if (const BSTR text = result.get()->bstrVal) lstrcpynW(reinterpret_cast<wchar_t*>(lParam), text, kStringUnits);
  if (call.result == PluginResultKind::StrReturnsLParam) return lParam;
  return call.result == PluginResultKind::StrReturnsZero ? 0 : 1;
}

}  // namespace qs
