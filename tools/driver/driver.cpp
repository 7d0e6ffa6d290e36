#include "tools/driver/driver.h"

#include "win32/gdiplus.h"

#include <algorithm>
#include <climits>

namespace qs::driver {

namespace {

std::vector<wchar_t> BuildEnvironment(const std::vector<std::pair<std::wstring, std::wstring>>& extra) {
  std::vector<std::wstring> variables;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) variables.emplace_back(p);
    FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : extra) {
    const std::wstring prefix = name + L"=";
    std::erase_if(variables, [&](const std::wstring& v) {
      return v.size() >= prefix.size() && _wcsnicmp(v.c_str(), prefix.c_str(), prefix.size()) == 0;
    });
    variables.push_back(prefix + value);
  }
  std::sort(variables.begin(), variables.end(),
            [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
  std::vector<wchar_t> block;
  for (const std::wstring& v : variables) block.insert(block.end(), v.c_str(), v.c_str() + v.size() + 1);
  block.push_back(L'\0');
  return block;
}

}  // namespace

std::wstring WindowClass(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

HostProcess::~HostProcess() {
  if (running()) Kill();
}

bool HostProcess::Start(const std::wstring& program, const StartOptions& options) {
  std::wstring commandLine = options.commandLine.empty() ? L"\"" + program + L"\"" : options.commandLine;
  std::vector<wchar_t> environment = BuildEnvironment(options.environment);
  // What the program prints goes nowhere, or into the file asked for.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  win32::OwnedHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherit, OPEN_EXISTING, 0, nullptr));
  win32::OwnedHandle output;
  if (!options.standardOutput.empty())
    output.reset(CreateFileW(options.standardOutput.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul.get();
  startup.hStdOutput = startup.hStdError = output ? output.get() : nul.get();
  PROCESS_INFORMATION info{};
  const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (options.beforeStart ? CREATE_SUSPENDED : 0);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, environment.data(),
                      options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str(), &startup, &info))
    return false;
  if (options.beforeStart) {
    options.beforeStart(info.dwProcessId);
    ResumeThread(info.hThread);
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;
  return true;
}

bool HostProcess::running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD HostProcess::exitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_.get(), &code);
  return code;
}

void HostProcess::Kill() {
  if (process_) {
    TerminateProcess(process_.get(), 3);
    WaitForSingleObject(process_.get(), 5000);
  }
}

void HostProcess::AnswerBoxes() {
  for (HWND box : MessageBoxes(processId_)) {
    if (std::find(seenBoxes_.begin(), seenBoxes_.end(), box) == seenBoxes_.end()) {
      seenBoxes_.push_back(box);
      boxes_.push_back(ReadMessageBox(box));
    }
    if (answerBoxes_) {
      HWND ok = GetDlgItem(box, IDOK);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(ok ? ok : GetDlgItem(box, IDCANCEL)));
    }
  }
  // A box handle may be reused by a later box once the first has closed.
  std::erase_if(seenBoxes_, [](HWND box) { return !IsWindow(box); });
}

bool HostProcess::ServeUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    AnswerBoxes();
    if (done && done()) return true;
    if (!running()) {
      AnswerBoxes();
      return true;
    }
    if (GetTickCount64() >= deadline) return false;
    // Messages sent to the driver's own windows are served meanwhile.
    HANDLE process = process_.get();
    MsgWaitForMultipleObjects(1, &process, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool HostProcess::WaitForExit(DWORD timeoutMs) {
  return ServeUntil([this] { return !running(); }, timeoutMs) && !running();
}

HWND HostProcess::FindMainWindow() const {
  for (HWND window : TopLevelWindows(processId_)) {
    if (WindowClass(window) == L"#32770" && IsWindowVisible(window) && !IsMessageBox(window) &&
        GetWindow(window, GW_OWNER) == nullptr)
      return window;
  }
  return nullptr;
}

HWND HostProcess::WaitForMainWindow(DWORD timeoutMs) {
  HWND found = nullptr;
  ServeUntil([&] { return (found = FindMainWindow()) != nullptr; }, timeoutMs);
  return found;
}

void HostProcess::CloseMainWindow() {
  if (HWND window = FindMainWindow()) PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool IsMessageBox(HWND window) {
  if (WindowClass(window) != L"#32770") return false;
  HWND text = GetDlgItem(window, 0xFFFF);
  if (!text || WindowClass(text) != L"Static") return false;
  for (int id : {IDOK, IDCANCEL}) {
    HWND button = GetDlgItem(window, id);
    if (button && IsWindowVisible(button)) return true;
  }
  return false;
}

namespace {

struct WindowSearch {
  DWORD processId = 0;
  const wchar_t* className = nullptr;
  const wchar_t* text = nullptr;
  bool first = false;  // stop at the first match
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data) {
  auto* s = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == s->processId) s->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  auto* s = reinterpret_cast<WindowSearch*>(data);
  if (s->first && !IsWindowVisible(window)) return TRUE;
  if (s->className && _wcsicmp(WindowClass(window).c_str(), s->className) != 0) return TRUE;
  if (s->text && WindowText(window) != s->text) return TRUE;
  s->found.push_back(window);
  return !s->first;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
  WindowSearch search;
  search.processId = processId;
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> MessageBoxes(DWORD processId) {
  std::vector<HWND> boxes;
  for (HWND window : TopLevelWindows(processId))
    if (IsWindowVisible(window) && IsMessageBox(window)) boxes.push_back(window);
  return boxes;
}

MessageBoxRecord ReadMessageBox(HWND box) { return {WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))}; }

std::wstring WindowText(HWND window) {
  wchar_t buffer[4096] = {};
  // Asked of the window (an edit's typed text is only there); when the
  // window cannot answer in time, the text the system keeps for it.
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                           nullptr))
    GetWindowTextW(window, buffer, 4096);
  return buffer;
}

HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* text) {
  WindowSearch search;
  search.className = className;
  search.text = text;
  search.first = true;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> FindDescendants(HWND parent, const wchar_t* className) {
  WindowSearch search;
  search.className = className;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Image CaptureWindow(HWND window) {
  Image image;
  RECT rect;
  if (!GetWindowRect(window, &rect)) return image;
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  if (image.width <= 0 || image.height <= 0) return image;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(source, source + static_cast<size_t>(image.width) * image.height);
    for (std::uint32_t& p : image.pixels) p &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

bool SavePng(const Image& image, const std::wstring& path) {
  if (image.pixels.empty()) return false;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  {
    std::vector<std::uint32_t> argb(image.pixels);
    for (std::uint32_t& p : argb) p |= 0xFF000000;
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(argb.data()));
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (size && Gdiplus::GetImageEncoders(count, size, encoders) == Gdiplus::Ok) {
      for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
          saved = bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
          break;
        }
      }
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}

Image LoadImageFile(const std::wstring& path) {
  Image image;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return image;
  {
    Gdiplus::Bitmap bitmap(path.c_str());
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    if (bitmap.GetLastStatus() == Gdiplus::Ok && all.Width > 0 && all.Height > 0 &&
        bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
      image.width = all.Width;
      image.height = all.Height;
      image.pixels.resize(static_cast<size_t>(all.Width) * all.Height);
      for (int y = 0; y < all.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < all.Width; ++x) image.pixels[static_cast<size_t>(y) * all.Width + x] = row[x] & 0x00FFFFFF;
      }
      bitmap.UnlockBits(&data);
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return image;
}

namespace {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
};

int Luminance(std::uint32_t p) { return ((p >> 16 & 0xFF) * 30 + (p >> 8 & 0xFF) * 59 + (p & 0xFF) * 11) / 100; }

// The dark pixels of a caption button's face (its 3D edges left out), as
// the offsets from the face's top-left corner.
std::vector<POINT> GlyphPixels(const Image& image, const Box& button) {
  std::vector<POINT> dark;
  for (int y = button.top + 2; y < button.bottom - 2; ++y)
    for (int x = button.left + 2; x < button.right - 2; ++x)
      if (Luminance(image.at(x, y)) < 96) dark.push_back({x - button.left - 2, y - button.top - 2});
  return dark;
}

Box Bounds(const std::vector<POINT>& points) {
  Box b{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const POINT& p : points) {
    b.left = std::min<int>(b.left, p.x);
    b.top = std::min<int>(b.top, p.y);
    b.right = std::max<int>(b.right, p.x + 1);
    b.bottom = std::max<int>(b.bottom, p.y + 1);
  }
  return b;
}

// The share of the points whose mirror image across the middle of their
// bounds (left-right, or top-bottom) is a point too.
double Symmetry(const std::vector<POINT>& points, bool leftRight) {
  if (points.empty()) return 0;
  const Box b = Bounds(points);
  int mirrored = 0;
  for (const POINT& p : points) {
    const POINT m = leftRight ? POINT{b.left + b.right - 1 - p.x, p.y} : POINT{p.x, b.top + b.bottom - 1 - p.y};
    mirrored += std::any_of(points.begin(), points.end(), [&](const POINT& q) { return q.x == m.x && q.y == m.y; });
  }
  return double(mirrored) / double(points.size());
}

}  // namespace

std::wstring FrameFault(const Image& image) {
  // The layout the window manager of this system gives a fixed dialog
  // frame: the frame, the caption below it, the buttons at its right end
  // (close, a gap, maximize, minimize), each a 3D box around its glyph.
  const int frame = GetSystemMetrics(SM_CYFIXEDFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  const int buttonWidth = GetSystemMetrics(SM_CXSIZE) - 2, buttonHeight = GetSystemMetrics(SM_CYSIZE) - 4;
  if (image.width < 2 * frame + 4 * buttonWidth || image.height < 2 * frame + caption) return L"";

  int black = 0, all = 0;
  for (int y = frame; y < frame + caption - 1; ++y)
    for (int x = frame; x < image.width - frame; ++x, ++all) black += image.at(x, y) == 0;
  if (black * 2 > all) return L"the title bar is black: the frame was not painted";

  const int top = frame + 2, closeRight = image.width - frame - 2;
  const Box close{closeRight - buttonWidth, top, closeRight, top + buttonHeight};
  const Box minimize{close.left - 2 - 2 * buttonWidth, top, close.left - 2 - buttonWidth, top + buttonHeight};
  // The close glyph is a cross, the same mirrored either way; a letter is not.
  const std::vector<POINT> cross = GlyphPixels(image, close);
  const Box crossBounds = Bounds(cross);
  if (cross.size() < 6 || crossBounds.right - crossBounds.left < 4 || crossBounds.bottom - crossBounds.top < 4 ||
      Symmetry(cross, true) < 0.9 || Symmetry(cross, false) < 0.9)
    return L"the close button shows no cross: the caption's symbol font is missing (a letter stands in)";
  // The minimize glyph is a flat bar at the bottom; a letter is taller.
  const std::vector<POINT> bar = GlyphPixels(image, minimize);
  const Box barBounds = Bounds(bar);
  if (bar.size() < 4 || barBounds.bottom - barBounds.top > 3 || barBounds.right - barBounds.left < 4 ||
      barBounds.top < (buttonHeight - 4) / 2)
    return L"the minimize button shows no bar: the caption's symbol font is missing (a letter stands in)";
  return L"";
}

void KeyDown(WORD virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  SendInput(1, &input, sizeof input);
}

void KeyUp(WORD virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

void PressKey(WORD virtualKey) {
  KeyDown(virtualKey);
  KeyUp(virtualKey);
}

void ClickAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  const int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT input[3]{};
  for (INPUT& i : input) {
    i.type = INPUT_MOUSE;
    i.mi.dx = point.x * 65535 / width;
    i.mi.dy = point.y * 65535 / height;
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, input, sizeof input[0]);
}

std::string ReadFileText(const std::wstring& path) {
  win32::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  std::string text;
  if (!file) return text;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  return text;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  win32::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace qs::driver
