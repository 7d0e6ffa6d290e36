// A scripted tour of a running program's main window, one step per line:
//   wait MS                  serve the program for MS milliseconds
//   shot NAME                save a screenshot of the window as NAME.png, once
//                            its frame shows painted; fails when it never does
//                            (see FrameFault)
//   type CLASS INDEX TEXT    type TEXT into the INDEX-th visible CLASS control
//   click TEXT               click the visible button with this text
//   tab INDEX                click the INDEX-th tab of the first tab control
//   key VK                   press and release a virtual key (decimal or 0x..)
//   close                    close the window as its close box does
// Empty lines and lines starting with # are skipped.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/driver/driver.h"

namespace qs::driver {

// Runs the steps; false (with a message through `say`) at the first step
// that cannot be done.
bool RunTour(HostProcess& host, HWND window, const std::vector<std::wstring>& steps, const std::wstring& outDir,
             const std::function<void(const std::wstring&)>& say);

}  // namespace qs::driver
