#include "controls/qs_picture.h"

#include <algorithm>

#include "host/work_directory.h"
#include "win32/image.h"
#include "win32/text.h"

namespace qs {

void CQSPicture::LoadPictureFile(const std::u16string& name) {
  if (name.empty()) return;
  if (Load(WorkFilePath(win32::ToWide(name)))) pictureName_ = name;
}

void CQSPicture::ShowPictureFile(const std::wstring& path) { Load(path); }

namespace {

// The picture as the control shows it: a bitmap of the control's client
// size, with the image at its own size from the top-left corner, cut where
// the control ends, and the parent's background behind the rest. A bitmap
// static scales its image to its client area on some platforms (Wine's
// does); one of exactly that size shows the same everywhere.
win32::OwnedBitmap FitToClient(HWND control, HBITMAP image) {
  RECT client;
  GetClientRect(control, &client);
  const int width = client.right > 0 ? client.right : 1, height = client.bottom > 0 ? client.bottom : 1;
  const win32::WindowDc screen(nullptr);
  win32::OwnedBitmap fitted(CreateCompatibleBitmap(screen.get(), width, height));
  const win32::MemoryDc target(screen.get()), source(screen.get());
  if (!fitted || !target.get() || !source.get()) return fitted;
  const win32::SelectObjectScope intoTarget(target.get(), fitted.get());
  // What the parent paints behind the control: its erase, moved so that
  // the control's client origin is the bitmap's (0, 0).
  HWND parent = GetParent(control);
  POINT origin{0, 0};
  MapWindowPoints(control, parent, &origin, 1);
  FillRect(target.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
  POINT previous;
  SetViewportOrgEx(target.get(), -origin.x, -origin.y, &previous);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.get()), 0);
  SetViewportOrgEx(target.get(), previous.x, previous.y, nullptr);
  BITMAP info{};
  GetObjectW(image, sizeof info, &info);
  const win32::SelectObjectScope fromSource(source.get(), image);
  BitBlt(target.get(), 0, 0, std::min<int>(info.bmWidth, width), std::min<int>(info.bmHeight, height), source.get(), 0,
         0, SRCCOPY);
  return fitted;
}

}  // namespace

bool CQSPicture::Load(const std::wstring& path) {
  HWND parent = GetParent(hwnd());
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  const win32::OwnedBitmap decoded = win32::DecodeImageFile(path, GetSysColor(COLOR_BTNFACE));
  if (!decoded) return false;
  win32::OwnedBitmap image = FitToClient(hwnd(), decoded.get());
  if (!image) return false;
  const HBITMAP previous =
      reinterpret_cast<HBITMAP>(SendMessageW(hwnd(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get())));
  // The control may hand back a copy it made of an earlier image; ours is freed below.
  if (previous && previous != image_.get()) DeleteObject(previous);
  image_ = std::move(image);
  // A bitmap static sizes itself to its image: back to the form's rectangle.
  MoveWindow(hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  InvalidateRect(hwnd(), nullptr, TRUE);
  return true;
}

}  // namespace qs
