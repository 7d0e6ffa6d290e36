#include "win32/image.h"

#include "win32/system_library.h"

namespace win32 {

namespace {

// The few functions of GDI+'s flat interface that decoding takes, from the
// system's gdiplus.dll (not imported: see system_library.h).
struct Gdiplus {
  struct StartupInput {
    UINT32 version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
  };
  using Startup = int(WINAPI*)(ULONG_PTR* token, const StartupInput* input, void* output);
  using CreateBitmapFromFile = int(WINAPI*)(const wchar_t* path, void** bitmap);
  using GetImageWidth = int(WINAPI*)(void* image, UINT* width);
  using CreateHBITMAPFromBitmap = int(WINAPI*)(void* bitmap, HBITMAP* result, DWORD argbBackground);
  using DisposeImage = int(WINAPI*)(void* image);
  static constexpr int kOk = 0;

  CreateBitmapFromFile createBitmapFromFile = Function<CreateBitmapFromFile>("GdipCreateBitmapFromFile");
  GetImageWidth getImageWidth = Function<GetImageWidth>("GdipGetImageWidth");
  CreateHBITMAPFromBitmap createHBITMAPFromBitmap = Function<CreateHBITMAPFromBitmap>("GdipCreateHBITMAPFromBitmap");
  DisposeImage disposeImage = Function<DisposeImage>("GdipDisposeImage");
  bool started = Start();

  template <class Fn>
  static Fn Function(const char* name) {
    return SystemFunction<Fn>(L"gdiplus.dll", name);
  }
  bool Start() const {
    const auto startup = Function<Startup>("GdiplusStartup");
    if (!startup || !createBitmapFromFile || !getImageWidth || !createHBITMAPFromBitmap || !disposeImage) return false;
    const StartupInput input;
    ULONG_PTR token = 0;
    return startup(&token, &input, nullptr) == kOk;
  }
};

// GDI+ for the whole process, started on first use.
const Gdiplus& TheGdiplus() {
  static const Gdiplus gdiplus;
  return gdiplus;
}

}  // namespace

OwnedBitmap DecodeImageFile(const std::wstring& path, COLORREF background) {
  const Gdiplus& gdiplus = TheGdiplus();
  if (!gdiplus.started) return OwnedBitmap();
  void* image = nullptr;
  if (gdiplus.createBitmapFromFile(path.c_str(), &image) != Gdiplus::kOk || !image) return OwnedBitmap();
  UINT width = 0;
  HBITMAP bitmap = nullptr;
  const DWORD argb = 0xFF000000u | GetRValue(background) << 16 | GetGValue(background) << 8 | GetBValue(background);
  const bool decoded = gdiplus.getImageWidth(image, &width) == Gdiplus::kOk && width != 0 &&
                       gdiplus.createHBITMAPFromBitmap(image, &bitmap, argb) == Gdiplus::kOk;
  gdiplus.disposeImage(image);
  return OwnedBitmap(decoded ? bitmap : nullptr);
}

}  // namespace win32
