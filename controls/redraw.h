// The two redraw routines of the controls.
#pragma once

#include <windows.h>

namespace qs {

// Repaints a control at once, then the part of its parent under it.
void RedrawInParent(HWND control);

// Invalidates the parent's area behind a control, shrunk by 2 pixels on
// every side, without erasing: the parent repaints what shows through a
// control without background.
void InvalidateBehind(HWND control);

}  // namespace qs
