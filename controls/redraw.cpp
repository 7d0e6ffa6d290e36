#include "controls/redraw.h"

namespace qs {

namespace {

RECT RectInParent(HWND control, HWND parent) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

void RedrawInParent(HWND control) {
  // A control that does not show (its window, or the window it stands on,
  // is hidden, as while the form loads) is painted whole when it shows.
  if (!control || !IsWindowVisible(control)) return;
  HWND parent = GetParent(control);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (!parent) return;
  const RECT rect = RectInParent(control, parent);
  InvalidateRect(parent, &rect, TRUE);
  UpdateWindow(parent);
}

void InvalidateBehind(HWND control) {
  if (!control || !IsWindowVisible(control)) return;
  HWND parent = GetParent(control);
  if (!parent) return;
  RECT rect = RectInParent(control, parent);
  InflateRect(&rect, -2, -2);
  InvalidateRect(parent, &rect, FALSE);
}

}  // namespace qs
