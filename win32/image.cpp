#include "win32/image.h"

#include "win32/gdiplus.h"

namespace win32 {

namespace {

// GDI+ for the whole process, started on first use.
bool StartGdiplus() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

}  // namespace

OwnedBitmap DecodeImageFile(const std::wstring& path, COLORREF background) {
  if (!StartGdiplus()) return OwnedBitmap();
  Gdiplus::Bitmap image(path.c_str());
  if (image.GetLastStatus() != Gdiplus::Ok || image.GetWidth() == 0) return OwnedBitmap();
  HBITMAP bitmap = nullptr;
  const Gdiplus::Color color(255, GetRValue(background), GetGValue(background), GetBValue(background));
  if (image.GetHBITMAP(color, &bitmap) != Gdiplus::Ok) return OwnedBitmap();
  return OwnedBitmap(bitmap);
}

}  // namespace win32
