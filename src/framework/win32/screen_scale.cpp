// Reading the screen's dpi. Win32 only.
#include "framework/win32/screen_scale.h"

#include <windows.h>

namespace orv::framework {

const DpiScale& ScreenScale() {
    // Read once: windows laid out before and after a change of the setting must agree,
    // and the system itself only applies a new dpi to programs started afterwards.
    static const DpiScale scale = [] {
        HDC screen = GetDC(nullptr);
        const int x = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
        const int y = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) ReleaseDC(nullptr, screen);
        return DpiScale(x, y);
    }();
    return scale;
}

}  // namespace orv::framework
