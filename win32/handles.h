// Move-only owners of Win32 handles. An owner closes its handle exactly once;
// a plain HWND/HFONT/... is always a borrowed handle.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <class Handle, class Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : handle_(h) {}
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
using OwnedHandle = Owned<HANDLE, KernelHandleTraits>;

struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
using OwnedModule = Owned<HMODULE, ModuleTraits>;

template <class Gdi>
struct GdiTraits {
  static Gdi Invalid() { return nullptr; }
  static bool IsValid(Gdi h) { return h != nullptr; }
  static void Close(Gdi h) { DeleteObject(h); }
};
using OwnedFont = Owned<HFONT, GdiTraits<HFONT>>;
using OwnedBrush = Owned<HBRUSH, GdiTraits<HBRUSH>>;
using OwnedPen = Owned<HPEN, GdiTraits<HPEN>>;
using OwnedBitmap = Owned<HBITMAP, GdiTraits<HBITMAP>>;

struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static bool IsValid(HMENU h) { return h != nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};
using OwnedMenu = Owned<HMENU, MenuTraits>;

struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindClose(h); }
};
using OwnedFind = Owned<HANDLE, FindTraits>;

// Selects a GDI object into a device context for the lifetime of the scope.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectObjectScope() { SelectObject(dc_, old_); }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint/EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintScope() { EndPaint(hwnd_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// GetDC/ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// CreateCompatibleDC/DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() { if (dc_) DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace win32
