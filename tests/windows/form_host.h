// In-process Windows test support: a host dialog that loads a form from a
// scratch work directory without the rest of the start-up, and records the
// control events that reach the engine link.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/main_dialog.h"
#include "tests/support/form_file.h"
#include "tools/driver/driver.h"

namespace qs::test {

// "module.function" of every QSCmd call, in order.
std::vector<std::wstring>& RecordedEvents();
// Runs inside each recorded call (to look at the window at that moment).
void SetEventObserver(std::function<void(const std::wstring&)> observer);

class FormHost {
 public:
  // Writes main.qwin (and the given files) into a fresh work directory and
  // loads it into a new, shown host dialog.
  explicit FormHost(const std::u16string& form,
                    const std::vector<std::pair<std::wstring, std::string>>& files = {});
  ~FormHost();

  CQSExeDlg& dialog() { return *dialog_; }
  HWND window() const { return dialog_ ? dialog_->hwnd() : nullptr; }
  // The control object registered under the name, or null.
  win32::Control* Object(const char16_t* name);
  HWND Control(const char16_t* name);
  template <class T>
  T* As(const char16_t* name) {
    return dynamic_cast<T*>(Object(name));
  }

  // Dispatches waiting messages for `ms` milliseconds (0: only what waits now).
  void Pump(DWORD ms = 0);
  // Pumps until the condition holds or the time is up.
  bool PumpUntil(const std::function<bool()>& done, DWORD ms);

 private:
  std::unique_ptr<CQSExeDlg> dialog_;
};

std::wstring TestWorkDirectory(const std::wstring& name);
using driver::WriteFileBytes;
// A 24-bit BMP of one colour.
std::string SolidBmp(int width, int height, COLORREF color);
// A 24-bit BMP whose every pixel differs from its neighbours: PatternColor.
std::string PatternBmp(int width, int height);
COLORREF PatternColor(int x, int y);
// What the window's client area shows now, read from its device context
// (0x00RRGGBB, top row first). Pumps until nothing waits to be painted.
driver::Image ClientPixels(FormHost& host, HWND window);

}  // namespace qs::test
