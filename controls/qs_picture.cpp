#include "controls/qs_picture.h"

#include "host/work_directory.h"
#include "win32/image.h"
#include "win32/text.h"

namespace qs {

void CQSPicture::LoadPictureFile(const std::u16string& name) {
  if (name.empty()) return;
  if (Load(WorkFilePath(win32::ToWide(name)))) pictureName_ = name;
}

void CQSPicture::ShowPictureFile(const std::wstring& path) { Load(path); }

bool CQSPicture::Load(const std::wstring& path) {
  HWND parent = GetParent(hwnd());
  RECT rect;
  GetWindowRect(hwnd(), &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  win32::OwnedBitmap image = win32::DecodeImageFile(path, GetSysColor(COLOR_BTNFACE));
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
