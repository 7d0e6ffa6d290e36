// Image files decoded with GDI+ (BMP, PNG, JPEG, GIF, TIFF, ICO, ...).
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace win32 {

// The file as a bitmap at its own size, transparent parts laid over
// `background`; null when the file is missing or cannot be decoded.
OwnedBitmap DecodeImageFile(const std::wstring& path, COLORREF background);

}  // namespace win32
