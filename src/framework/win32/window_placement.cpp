// Window placements between the settings and the window system. Win32 only.
#include "framework/win32/window_placement.h"

namespace orv::framework {
namespace {

bool isHiddenShow(UINT showCmd) {
    return showCmd == SW_HIDE || showCmd == SW_SHOWMINIMIZED || showCmd == SW_MINIMIZE ||
           showCmd == SW_SHOWMINNOACTIVE;
}

}  // namespace

library::WindowPlacement CurrentPlacement(HWND window) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    library::WindowPlacement p;
    if (!GetWindowPlacement(window, &wp)) return p;
    p.left = wp.rcNormalPosition.left;
    p.top = wp.rcNormalPosition.top;
    p.right = wp.rcNormalPosition.right;
    p.bottom = wp.rcNormalPosition.bottom;
    p.topMost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? -1 : 0;
    p.flags = static_cast<int>(wp.flags);
    p.showCmd = static_cast<int>(wp.showCmd);
    return p;
}

bool ApplyPlacement(HWND window, const library::WindowPlacement& p) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = static_cast<UINT>(p.flags) & WPF_RESTORETOMAXIMIZED;
    wp.showCmd = isHiddenShow(static_cast<UINT>(p.showCmd)) ? SW_SHOWNORMAL : static_cast<UINT>(p.showCmd);
    wp.rcNormalPosition = {p.left, p.top, p.right, p.bottom};
    const bool placed = SetWindowPlacement(window, &wp) != FALSE;
    const bool ordered = SetWindowPos(window, p.topMost != 0 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
    return placed && ordered;
}

}  // namespace orv::framework
