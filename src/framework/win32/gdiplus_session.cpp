// GDI+'s reference-counted start and shutdown. Win32 only.
#include "framework/win32/gdiplus_session.h"

#include <windows.h>
#include <gdiplus.h>

#include <mutex>
#include <string>

namespace orv::framework {
namespace {

std::mutex g_mutex;
int g_users = 0;
ULONG_PTR g_token = 0;

}  // namespace

bool AcquireGdiplus() {
    int status = 0;
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        if (g_users > 0) {
            ++g_users;
            return true;
        }
        Gdiplus::GdiplusStartupInput input;  // version 1, no callbacks
        status = static_cast<int>(Gdiplus::GdiplusStartup(&g_token, &input, nullptr));
        if (status == Gdiplus::Ok) {
            g_users = 1;
            return true;
        }
    }
    // Outside the lock: the box runs a message loop, where another user may ask again.
    const std::wstring text = L"GDI+ initialization failed - Error: " + std::to_wstring(status);
    MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
    return false;
}

void ReleaseGdiplus() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_users == 0) return;
    if (--g_users == 0) {
        Gdiplus::GdiplusShutdown(g_token);
        g_token = 0;
    }
}

bool GdiplusRunning() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    return g_users > 0;
}

}  // namespace orv::framework
