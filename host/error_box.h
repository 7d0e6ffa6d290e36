// Every message the host shows goes through here: a modal box with an OK
// button, the exclamation icon and the executable's file title as caption.
#pragma once

#include <string>

namespace qs {

// The executable's file title (the module name without its last extension).
const std::wstring& AppTitle();

// The window that owns the host's boxes (the main dialog once it exists).
void SetErrorBoxOwner(void* hwnd);

void ShowErrorBox(const std::wstring& text);

}  // namespace qs
