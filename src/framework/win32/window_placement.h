// A window's placement as the settings file keeps it (normal-position rectangle, topmost
// state, flags and show state): read from the window and applied to it. Win32 only.
#pragma once

#include "library/settings.h"

#include <windows.h>

namespace orv::framework {

library::WindowPlacement CurrentPlacement(HWND window);

// A placement saved while the window was minimised or hidden opens it normally, so that
// it never comes back out of the user's sight. False when the system refused it.
bool ApplyPlacement(HWND window, const library::WindowPlacement& placement);

}  // namespace orv::framework
