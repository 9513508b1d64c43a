// Screen capture of a window's rectangle, encoded by GDI+. Win32 only.
// The screen is read rather than asking the window to print itself: PrintWindow leaves
// out what child windows draw on their own under Wine.
#include "framework/win32/window_capture.h"

#include "framework/win32/gdiplus_session.h"

#include <gdiplus.h>

namespace orv::framework {
namespace {

// The PNG encoder's class id, fixed by GDI+.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

// An HBITMAP of the screen rectangle; null on failure.
HBITMAP grab(const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (picture) {
        HGDIOBJ previous = SelectObject(memory, picture);
        if (!BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
            SelectObject(memory, previous);
            DeleteObject(picture);
            picture = nullptr;
        } else {
            SelectObject(memory, previous);
        }
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& path, std::string* error) {
    RECT rect{};
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) return fail(error, "not a window");
    if (rect.right <= rect.left || rect.bottom <= rect.top) return fail(error, "the window has no area");
    GdiplusUse gdiplus;
    if (!gdiplus.ok()) return fail(error, "GDI+ is not available");
    HBITMAP picture = grab(rect);
    if (!picture) {
        const DWORD code = GetLastError();
        return fail(error, "reading the screen failed (error " + std::to_string(code) + ")");
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::Status status = Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(picture, nullptr, &bitmap);
    if (status == Gdiplus::Ok) {
        status = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &kPngEncoder, nullptr);
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    DeleteObject(picture);
    if (status != Gdiplus::Ok) return fail(error, "GDI+ could not write the PNG file (status " + std::to_string(status) + ")");
    return true;
}

}  // namespace orv::framework
