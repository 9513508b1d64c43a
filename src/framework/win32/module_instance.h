// The module the window layer is linked into (the plug-in DLL, or a test program), whose
// resources and window classes the layer uses. Win32 only.
#pragma once

#include <windows.h>

namespace orv::framework {

// Found from this code's own address, so it is right in whichever module the layer was
// linked into, without anyone having to hand it over first.
HINSTANCE ModuleInstance();

}  // namespace orv::framework
