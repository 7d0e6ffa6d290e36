#include "tests/windows/form_host.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "form/form_loader.h"
#include "host/engine_link.h"
#include "host/work_directory.h"
#include "tests/support/folders.h"
#include "win32/text.h"

namespace qs::test {

namespace {

std::function<void(const std::wstring&)> g_observer;

int RecordCmd(const wchar_t* module, const wchar_t* function) {
  const std::wstring event = std::wstring(module) + L"." + function;
  RecordedEvents().push_back(event);
  if (g_observer) g_observer(event);
  return 1;
}

// The host dialog with only the form loading of its start-up.
class FormOnlyDialog : public CQSExeDlg {
 protected:
  BOOL OnInitDialog() override {
    LoadForm(*this);
    return TRUE;
  }
};

}  // namespace

std::vector<std::wstring>& RecordedEvents() {
  static std::vector<std::wstring> events;
  return events;
}

void SetEventObserver(std::function<void(const std::wstring&)> observer) { g_observer = std::move(observer); }

std::wstring TestWorkDirectory(const std::wstring& name) { return test::EmptyTempFolder(L"qs-test-" + name); }

namespace {

std::string Bmp(int width, int height, const std::function<COLORREF(int, int)>& colorAt) {
  const int stride = (width * 3 + 3) & ~3;
  const int size = 54 + stride * height;
  std::string bmp(static_cast<size_t>(size), '\0');
  auto put32 = [&](int at, int value) { memcpy(&bmp[at], &value, 4); };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF color = colorAt(x, height - 1 - y);  // rows are stored bottom up
      char* p = &bmp[54 + y * stride + x * 3];
      p[0] = static_cast<char>(GetBValue(color));
      p[1] = static_cast<char>(GetGValue(color));
      p[2] = static_cast<char>(GetRValue(color));
    }
  return bmp;
}

}  // namespace

std::string SolidBmp(int width, int height, COLORREF color) {
  return Bmp(width, height, [color](int, int) { return color; });
}

COLORREF PatternColor(int x, int y) { return RGB((x * 7) & 0xFF, (y * 11) & 0xFF, ((x + y) & 1) ? 0xF0 : 0x10); }

std::string PatternBmp(int width, int height) { return Bmp(width, height, PatternColor); }

driver::Image ClientPixels(FormHost& host, HWND window) {
  host.PumpUntil([] { return !GetQueueStatus(QS_PAINT); }, 5000);
  driver::Image image;
  RECT client;
  GetClientRect(window, &client);
  image.width = client.right;
  image.height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  const win32::WindowDc dc(window);
  void* bits = nullptr;
  const win32::OwnedBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const win32::MemoryDc memory(dc.get());
  {
    const win32::SelectObjectScope select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, image.width, image.height, dc.get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  const auto* source = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(source, source + static_cast<size_t>(image.width) * image.height);
  for (std::uint32_t& p : image.pixels) p &= 0x00FFFFFF;
  return image;
}

FormHost::FormHost(const std::u16string& form, const std::vector<std::pair<std::wstring, std::string>>& files) {
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)initialised;
  std::wstring name = L"form";
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    name = std::wstring(info->name(), info->name() + strlen(info->name()));
  SetWorkDirectory(TestWorkDirectory(name));
  WriteFileBytes(WorkFilePath(L"main.qwin"), FormFileBytes(form));
  for (const auto& [file, bytes] : files) WriteFileBytes(WorkFilePath(file), bytes);
  TheEngineLink().cmd = RecordCmd;
  RecordedEvents().clear();
  dialog_ = std::make_unique<FormOnlyDialog>();
  dialog_->CreateModeless(nullptr);
  ShowWindow(dialog_->hwnd(), SW_SHOW);
  UpdateWindow(dialog_->hwnd());
  Pump(50);
}

FormHost::~FormHost() {
  SetEventObserver(nullptr);
  dialog_.reset();
  Pump();
  TheEngineLink().cmd = nullptr;
}

win32::Control* FormHost::Object(const char16_t* name) {
  return static_cast<win32::Control*>(dialog_->controls().WindowAt(dialog_->controls().FindControl(name)));
}

HWND FormHost::Control(const char16_t* name) {
  win32::Control* object = Object(name);
  return object ? object->hwnd() : nullptr;
}

void FormHost::Pump(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    win32::PumpPendingMessages(window());
    if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount64() < end);
}

bool FormHost::PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    win32::PumpPendingMessages(window());
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

}  // namespace qs::test
