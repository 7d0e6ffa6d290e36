#include "host/engine_link.h"

#include "host/error_box.h"
#include "host/event_split.h"
#include "host/work_directory.h"
#include "win32/text.h"

namespace qs {

namespace {

template <class Fn>
void Resolve(HMODULE module, Fn& entry, const char* name) {
  if (!entry) entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void CallCmd(const std::u16string& event) {
  const EngineLink& link = TheEngineLink();
  if (!link.cmd) return;
  const ScriptFunction target = SplitEventString(event);
  link.cmd(win32::W(target.module), win32::W(target.function));
}

}  // namespace

EngineLink& TheEngineLink() {
  static EngineLink link;
  return link;
}

void LinkEngine() {
  EngineLink& link = TheEngineLink();
  if (!link.module) {
    const std::wstring path = WorkFilePath(L"scriptcore.dll");
    link.module = LoadLibraryW(path.c_str());
    if (!link.module) {
      const std::wstring failed = path + L" 组件加载失败!";
      const std::wstring code = std::to_wstring(static_cast<int>(GetLastError())) + L" ERR MSG";
      ShowErrorBox(code);
      ShowErrorBox(failed);
      ExitProcess(0);
    }
  }
  Resolve(link.module, link.initialPlatform, "QSInitialPlatform");
  if (!link.initialPlatform) {
    ShowErrorBox(L"无法加载QS平台初始化窗口,请退出后重试");
    ExitProcess(0);
  }
  Resolve(link.module, link.setExeHandle, "QSSetExeHandle");
  Resolve(link.module, link.setExeTempPath, "QSSetExeTempPath");
  Resolve(link.module, link.terminate, "QSTerminate");
  Resolve(link.module, link.cmd, "QSCmd");
  if (!link.cmd) {
    ShowErrorBox(L"无法加载QS执行接口,请退出后重试");
    ExitProcess(0);
  }
}

void DispatchWindowEvent(const std::u16string& event) { CallCmd(event); }

void DispatchControlEvent(const std::u16string& event) {
  if (!event.empty()) CallCmd(event);
}

}  // namespace qs
