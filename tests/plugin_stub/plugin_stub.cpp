// A stand-in for the automation plug-in "dm.dmsoft": an in-process COM
// server whose object answers every dispatch identifier. It knows nothing
// of the host's call table. It logs each call (identifier, argument types
// in order, values) to the file named by QSPLUGIN_LOG and returns results
// that follow from the call:
//  - a number: dispid * 1000 + the number of arguments;
//  - out slots: dispid * 100 + the argument's position (from 1); inout
//    slots: their value + 1000.
// QSPLUGIN_SCRIPT names a file of overrides, one per line:
//   DISPID int N | DISPID str TEXT | DISPID str5000 | DISPID nullstr |
//   DISPID echo ("d<dispid>:" and the arguments, comma-separated) |
//   DISPID exception | DISPID empty | DISPID serial (the object's number,
//   from 1 in order of creation) | DISPID pump (runs a message loop, as a
//   call into another apartment does, until the quit message, which it
//   posts again)
// and, to try the host's table against re-entry:
//   pump create     the first creation serves sent messages until a
//                   second object exists
//   pump destroy N  the destruction of object N serves sent messages
//                   until another object has been destroyed
#include <windows.h>
#include <oaidl.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>


namespace {

// {6B0D3A4E-51C2-4C47-9F36-0D5B2D7E1A11}
const CLSID kStubClass = {0x6B0D3A4E, 0x51C2, 0x4C47, {0x9F, 0x36, 0x0D, 0x5B, 0x2D, 0x7E, 0x1A, 0x11}};
const IID kPluginInterface = {0xD5ED8B83, 0x6D3D, 0x4699, {0xBF, 0xEA, 0x6C, 0x35, 0x66, 0xF0, 0x87, 0xCE}};
const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{6B0D3A4E-51C2-4C47-9F36-0D5B2D7E1A11}";
const wchar_t kProgIdKey[] = L"Software\\Classes\\dm.dmsoft";

HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_created = 0;
LONG g_destroyed = 0;

std::string Utf8(const wchar_t* text) {
  if (!text) return "(null)";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  return GetEnvironmentVariableW(name, value, 1024) ? value : L"";
}

void Log(const std::string& line) {
  const std::wstring path = Environment(L"QSPLUGIN_LOG");
  if (path.empty()) return;
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

struct Override {
  std::string kind;
  std::string text;
  long value = 0;
};

struct Script {
  std::map<int, Override> overrides;
  bool pumpCreate = false;
  long pumpDestroy = 0;  // the object whose destruction pumps; 0: none
};

Script ReadScript() {
  Script script;
  const std::wstring path = Environment(L"QSPLUGIN_SCRIPT");
  if (path.empty()) return script;
  FILE* file = _wfopen(path.c_str(), L"r");
  if (!file) return script;
  char line[512];
  while (fgets(line, sizeof line, file)) {
    int dispid = 0;
    char kind[32] = {}, rest[400] = {};
    if (sscanf(line, "pump %31s %399[^\n]", kind, rest) >= 1) {
      if (strcmp(kind, "create") == 0) script.pumpCreate = true;
      if (strcmp(kind, "destroy") == 0) script.pumpDestroy = strtol(rest, nullptr, 10);
      continue;
    }
    if (sscanf(line, "%d %31s %399[^\n]", &dispid, kind, rest) < 2) continue;
    Override o{kind, rest, strtol(rest, nullptr, 10)};
    script.overrides[dispid] = o;
  }
  fclose(file);
  return script;
}

const Script& TheScript() {
  static const Script script = ReadScript();
  return script;
}

// Serves the messages other threads send to this one until `done` holds
// (at most 15 s), as a call that waits on another apartment does.
template <class Done>
void ServeSentMessagesUntil(Done done) {
  const ULONGLONG deadline = GetTickCount64() + 15000;
  while (!done() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// A modal loop of the kind an outside call runs: every message is
// dispatched; the quit message ends it and is posted again.
void RunModalLoop() {
  const ULONGLONG deadline = GetTickCount64() + 30000;
  while (GetTickCount64() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}


const char* TypeName(VARTYPE vt) {
  switch (vt) {
    case VT_I4: return "I4";
    case VT_R8: return "R8";
    case VT_BSTR: return "BSTR";
    case VT_BYREF | VT_VARIANT: return "BYREF|VARIANT";
    default: return "OTHER";
  }
}

class StubObject : public IDispatch {
 public:
  StubObject() : serial_(InterlockedIncrement(&g_created)) {
    InterlockedIncrement(&g_objects);
    Log("create " + std::to_string(serial_));
  }
  virtual ~StubObject() {
    Log("destroy " + std::to_string(serial_));
    const LONG before = InterlockedIncrement(&g_destroyed);
    if (TheScript().pumpDestroy == serial_) ServeSentMessagesUntil([before] { return g_destroyed > before; });
    InterlockedDecrement(&g_objects);
  }
  LONG serial() const { return serial_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kPluginInterface) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    // Arguments in table order (DISPPARAMS holds the last one first).
    std::string types, values;
    std::vector<VARIANT*> args;
    for (UINT i = params->cArgs; i-- > 0;) args.push_back(&params->rgvarg[i]);
    for (size_t i = 0; i < args.size(); ++i) {
      VARIANT* v = args[i];
      types += std::string(i ? "," : "") + TypeName(v->vt);
      char value[64];
      std::string rendered;
      switch (v->vt) {
        case VT_I4: snprintf(value, sizeof value, "%ld", static_cast<long>(v->lVal)); rendered = value; break;
        case VT_R8: snprintf(value, sizeof value, "%g", v->dblVal); rendered = value; break;
        case VT_BSTR: rendered = Utf8(v->bstrVal); break;
        case VT_BYREF | VT_VARIANT:
          if (v->pvarVal->vt == VT_I4) {
            snprintf(value, sizeof value, "o%ld", static_cast<long>(v->pvarVal->lVal));
            rendered = value;
            VariantClear(v->pvarVal);
            v->pvarVal->vt = VT_I4;
            v->pvarVal->lVal += 1000;
          } else {
            rendered = "o";
            VariantClear(v->pvarVal);
            v->pvarVal->vt = VT_I4;
            v->pvarVal->lVal = dispid * 100 + static_cast<LONG>(i + 1);
          }
          break;
        default: rendered = "?"; break;
      }
      values += (i ? "," : "") + rendered;
    }
    Log("call " + std::to_string(dispid) + " flags=" + std::to_string(flags) + " types=" + types + " values=" + values);

    const std::map<int, Override>& overrides = TheScript().overrides;
    const auto found = overrides.find(dispid);
    VariantInit(result);
    if (found == overrides.end()) {
      result->vt = VT_I4;
      result->lVal = dispid * 1000 + static_cast<LONG>(args.size());
      return S_OK;
    }
    const Override& o = found->second;
    if (o.kind == "echo") {
      const std::string text = "d" + std::to_string(dispid) + ":" + values;
      std::wstring wide(text.size() + 1, L'\0');
      wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1);
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(wide.c_str());
    } else if (o.kind == "serial") {
      result->vt = VT_I4;
      result->lVal = serial_;
    } else if (o.kind == "pump") {
      RunModalLoop();
      result->vt = VT_I4;
      result->lVal = dispid * 1000;
    } else if (o.kind == "int") {
      result->vt = VT_I4;
      result->lVal = o.value;
    } else if (o.kind == "str") {
      std::wstring wide(o.text.begin(), o.text.end());
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(wide.c_str());
    } else if (o.kind == "str5000") {
      std::wstring text(5000, L'z');
      text[0] = L'A';
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(text.c_str());
    } else if (o.kind == "nullstr") {
      result->vt = VT_BSTR;
      result->bstrVal = nullptr;
    } else if (o.kind == "exception") {
      if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"plug-in stand-in");
        exception->bstrDescription = SysAllocString(L"a chosen failure");
        exception->scode = E_FAIL;
      }
      return DISP_E_EXCEPTION;
    }
    return S_OK;  // "empty": a VT_EMPTY result
  }

 private:
  LONG references_ = 1;
  const LONG serial_;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    StubObject* object = new StubObject;
    if (TheScript().pumpCreate && object->serial() == 1) ServeSentMessagesUntil([] { return g_created >= 2; });
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

// Registration goes to the current user's classes and, where allowed, the
// machine's: Wine's COM reads only HKLM\Software\Classes (its
// HKEY_CLASSES_ROOT) and ignores per-user classes.
const HKEY kRoots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  bool any = false;
  for (HKEY root : kRoots)
    any |= RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  return any;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = module;
  return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (clsid != kStubClass) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

// Registers the class under ProgID "dm.dmsoft".
__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(g_module, path, MAX_PATH);
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  const bool ok = SetValue(server, nullptr, path) && SetValue(server, L"ThreadingModel", L"Apartment") &&
                  SetValue(kClassKey, L"ProgID", L"dm.dmsoft") &&
                  SetValue(std::wstring(kProgIdKey) + L"\\CLSID", nullptr, L"{6B0D3A4E-51C2-4C47-9F36-0D5B2D7E1A11}");
  return ok ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (HKEY root : kRoots) {
    RegDeleteTreeW(root, kClassKey);
    RegDeleteTreeW(root, kProgIdKey);
  }
  return S_OK;
}

}  // extern "C"
