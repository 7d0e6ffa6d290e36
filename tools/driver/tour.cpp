#include "tools/driver/tour.h"

#include <commctrl.h>

#include <sstream>

namespace qs::driver {

namespace {

// How long a shot waits for the window's frame to show painted.
constexpr DWORD kFramePaintMs = 10000;

}  // namespace

bool RunTour(HostProcess& host, HWND window, const std::vector<std::wstring>& steps, const std::wstring& outDir,
             const std::function<void(const std::wstring&)>& say) {
  for (const std::wstring& step : steps) {
    std::wistringstream in(step);
    std::wstring verb;
    in >> verb;
    if (verb.empty() || verb[0] == L'#') continue;
    std::wstring rest;
    std::getline(in >> std::ws, rest);
    bool done = true;
    if (verb == L"wait") {
      host.ServeUntil([] { return false; }, static_cast<DWORD>(wcstoul(rest.c_str(), nullptr, 10)));
    } else if (verb == L"shot") {
      // The frame as well as the client area painted anew, and the picture
      // taken once the screen shows it painted (a frame is drawn after the
      // client area, and reaches the screen when the program goes idle).
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Image image;
      std::wstring fault;
      host.ServeUntil(
          [&] {
            image = CaptureWindow(window);
            fault = FrameFault(image);
            return fault.empty();
          },
          kFramePaintMs);
      const std::wstring path = outDir + L"\\" + rest + L".png";
      done = SavePng(image, path);
      // The saved picture read back is what the check judges.
      if (done && fault.empty()) fault = FrameFault(LoadImageFile(path));
      if (done) say(L"screenshot " + path);
      if (done && !fault.empty()) {
        say(L"screenshot " + path + L": " + fault);
        done = false;
      }
    } else if (verb == L"type") {
      std::wistringstream args(rest);
      std::wstring windowClass, text;
      size_t index = 0;
      args >> windowClass >> index;
      std::getline(args >> std::ws, text);
      std::vector<HWND> controls;
      for (HWND c : FindDescendants(window, windowClass.c_str()))
        if (IsWindowVisible(c)) controls.push_back(c);
      done = index < controls.size();
      if (done) {
        SendMessageW(controls[index], WM_SETFOCUS, 0, 0);
        for (wchar_t c : text) PostMessageW(controls[index], WM_CHAR, c, 0);
      }
    } else if (verb == L"click") {
      HWND button = FindDescendant(window, L"Button", rest.c_str());
      done = button != nullptr;
      if (done) PostMessageW(button, BM_CLICK, 0, 0);
    } else if (verb == L"tab") {
      // The user's arrow keys on the tab row (a rectangle in another process
      // cannot be asked for): each one selects the next tab with a notification.
      HWND tab = FindDescendant(window, L"SysTabControl32", nullptr);
      const int wanted = static_cast<int>(wcstol(rest.c_str(), nullptr, 10));
      done = tab && wanted >= 0 && wanted < static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
      if (done) {
        SendMessageW(tab, WM_SETFOCUS, 0, 0);
        const int current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
        for (int i = current; i != wanted; i += wanted > current ? 1 : -1)
          PostMessageW(tab, WM_KEYDOWN, wanted > current ? VK_RIGHT : VK_LEFT, 0);
      }
    } else if (verb == L"key") {
      PressKey(static_cast<WORD>(wcstoul(rest.c_str(), nullptr, 0)));
    } else if (verb == L"close") {
      host.CloseMainWindow();
    } else {
      done = false;
    }
    if (!done) {
      say(L"tour step failed: " + step);
      return false;
    }
  }
  return true;
}

}  // namespace qs::driver
