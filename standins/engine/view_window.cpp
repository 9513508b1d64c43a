// Win32 only: a view's child window ("wkeWebWindow"): the back buffer Chromium's frames
// are painted into, painting it, and the person's mouse and keys sent on to the page.
#include "web_view.h"

#include "framework/win32/entry_guard.h"
#include "text/win32/wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orv::mb {
namespace {

constexpr const wchar_t* kWindowClass = L"wkeWebWindow";

// DevTools modifier bits.
constexpr int kAlt = 1, kControl = 2, kShift = 8;

int currentModifiers() {
    int modifiers = 0;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kAlt;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kControl;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kShift;
    return modifiers;
}

int modifiersOfFlags(unsigned flags) {
    return ((flags & WKE_CONTROL) ? kControl : 0) | ((flags & WKE_SHIFT) ? kShift : 0);
}

int buttonsOfFlags(unsigned flags) {
    return ((flags & WKE_LBUTTON) ? 1 : 0) | ((flags & WKE_RBUTTON) ? 2 : 0) | ((flags & WKE_MBUTTON) ? 4 : 0);
}

unsigned flagsOfKeys(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? WKE_LBUTTON : 0) | ((keys & MK_RBUTTON) ? WKE_RBUTTON : 0) |
           ((keys & MK_MBUTTON) ? WKE_MBUTTON : 0) | ((keys & MK_SHIFT) ? WKE_SHIFT : 0) |
           ((keys & MK_CONTROL) ? WKE_CONTROL : 0);
}

// DOM key names of the keys that type no character.
struct KeyName {
    unsigned virtualKey;
    const char* key;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},       {VK_RETURN, "Enter"},     {VK_ESCAPE, "Escape"},
    {VK_LEFT, "ArrowLeft"}, {VK_UP, "ArrowUp"},     {VK_RIGHT, "ArrowRight"}, {VK_DOWN, "ArrowDown"},
    {VK_DELETE, "Delete"},  {VK_HOME, "Home"},      {VK_END, "End"},          {VK_PRIOR, "PageUp"},
    {VK_NEXT, "PageDown"},  {VK_INSERT, "Insert"},  {VK_SHIFT, "Shift"},      {VK_CONTROL, "Control"},
    {VK_MENU, "Alt"},       {VK_F5, "F5"},
};

const char* keyNameOf(unsigned virtualKey) {
    for (const KeyName& k : kKeyNames)
        if (k.virtualKey == virtualKey) return k.key;
    return nullptr;
}

const char* mouseTypeOf(unsigned message) {
    switch (message) {
    case WM_MOUSEMOVE: return "mouseMoved";
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: return "mousePressed";
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: return "mouseReleased";
    default: return nullptr;
    }
}

const char* mouseButtonOf(unsigned message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return "left";
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return "right";
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return "middle";
    default: return "none";
    }
}

bool isDoubleClick(unsigned message) {
    return message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

}  // namespace

bool WebView::registerWindowClass(std::string& error) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&WebView::windowProc)), &self);
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(self, kWindowClass, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = self;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        error = "the view window class could not be registered (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool WebView::createWindow(HWND parent, int x, int y, int width, int height, std::string& error) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&WebView::windowProc)), &self);
    resizeBackBuffer(width, height);
    window_ = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width, height, parent,
                              nullptr, self, this);
    if (!window_) {
        error = "the view window could not be created (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!memoryDc_) {
        error = "the view's back buffer could not be created";
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    return true;
}

void WebView::resizeBackBuffer(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (memoryDc_ && width == width_ && height == height_) return;
    if (!memoryDc_) {
        memoryDc_ = CreateCompatibleDC(nullptr);
        if (!memoryDc_) return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as frames come
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;  // the old buffer stays: a smaller picture beats none
    // White until the first frame, then the old picture where it still fits.
    std::fill_n(static_cast<std::uint32_t*>(bits), static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    if (backBits_)
        for (int row = 0; row < std::min(height, height_); ++row)
            std::memcpy(static_cast<std::uint32_t*>(bits) + static_cast<std::size_t>(row) * width,
                        static_cast<std::uint32_t*>(backBits_) + static_cast<std::size_t>(row) * width_,
                        static_cast<std::size_t>(std::min(width, width_)) * 4);
    HGDIOBJ old = SelectObject(memoryDc_, bitmap);
    if (!previousBitmap_) previousBitmap_ = old;
    if (backBitmap_) DeleteObject(backBitmap_);
    backBitmap_ = bitmap;
    backBits_ = bits;
    width_ = width;
    height_ = height;
    const std::string& failure = Engine::instance().failure();
    if (!failure.empty()) showFailure(failure);
}

void WebView::paintFrame(const DecodedFrame& frame) {
    if (!backBits_) return;
    int w = std::min(frame.width, width_), h = std::min(frame.height, height_);
    // Chromium's screencast sends CSS pixels: under a zoom the frame is stretched over
    // the view's device pixels.
    const bool zoomed = zoom_ > 1.01f && frame.width < width_ && frame.width > 0 && frame.height > 0;
    if (zoomed) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = frame.width;
        info.bmiHeader.biHeight = -frame.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        w = std::min(width_, static_cast<int>(std::lround(frame.width * zoom_)));
        h = std::min(height_, static_cast<int>(std::lround(frame.height * zoom_)));
        SetStretchBltMode(memoryDc_, HALFTONE);
        StretchDIBits(memoryDc_, 0, 0, w, h, 0, 0, frame.width, frame.height, frame.pixels.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
    } else {
        for (int row = 0; row < h; ++row)
            std::memcpy(static_cast<std::uint32_t*>(backBits_) + static_cast<std::size_t>(row) * width_,
                        frame.pixels.data() + static_cast<std::size_t>(row) * frame.width, static_cast<std::size_t>(w) * 4);
    }
    GdiFlush();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    if (on.wkeOnPaintUpdated.callback) on.wkeOnPaintUpdated.callback(handle(), on.wkeOnPaintUpdated.param, memoryDc_, 0, 0, w, h);
    if (on.wkeOnPaintBitUpdated.callback) {
        const wkeRect dirty{0, 0, w, h};
        on.wkeOnPaintBitUpdated.callback(handle(), on.wkeOnPaintBitUpdated.param, backBits_, &dirty, width_, height_);
    }
}

void WebView::showFailure(const std::string& reason) {
    if (!memoryDc_) return;
    RECT all{0, 0, width_, height_};
    FillRect(memoryDc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT textArea{8, 8, std::max(8, width_ - 8), std::max(8, height_ - 8)};
    SetBkMode(memoryDc_, TRANSPARENT);
    SetTextColor(memoryDc_, RGB(0x80, 0, 0));
    HGDIOBJ oldFont = SelectObject(memoryDc_, GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = text::utf8ToWide("The page cannot be shown: " + reason);
    DrawTextW(memoryDc_, text.c_str(), static_cast<int>(text.size()), &textArea, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(memoryDc_, oldFont);
    GdiFlush();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void WebView::paintWindow() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (dc && memoryDc_) {
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memoryDc_, r.left, r.top, SRCCOPY);
    }
    EndPaint(window_, &paint);
}

void WebView::sendMouse(const char* type, int x, int y, const char* button, int clickCount, int modifiers, int buttons,
                        double deltaX, double deltaY) {
    if (session_.empty()) return;
    Json event = with({{"type", type}, {"x", x / static_cast<double>(zoom_)}, {"y", y / static_cast<double>(zoom_)},
                       {"button", button}, {"buttons", buttons}, {"clickCount", clickCount}, {"modifiers", modifiers}});
    if (deltaX != 0 || deltaY != 0) {
        event["deltaX"] = deltaX;
        event["deltaY"] = deltaY;
    }
    // Input goes out in order and nobody waits for its answer: the window stays responsive.
    Engine::instance().post("Input.dispatchMouseEvent", event, session_);
}

bool WebView::fireMouse(unsigned message, int x, int y, unsigned flags) {
    const char* type = mouseTypeOf(message);
    if (!type || session_.empty()) return false;
    sendMouse(type, x, y, mouseButtonOf(message), isDoubleClick(message) ? 2 : (message == WM_MOUSEMOVE ? 0 : 1),
              modifiersOfFlags(flags), buttonsOfFlags(flags));
    return true;
}

bool WebView::fireWheel(int x, int y, int delta, unsigned flags) {
    if (session_.empty()) return false;
    // One notch (120) scrolls about three lines, as on Windows.
    sendMouse("mouseWheel", x, y, "none", 0, modifiersOfFlags(flags), buttonsOfFlags(flags), 0, -delta * 100.0 / WHEEL_DELTA);
    return true;
}

bool WebView::fireKey(const char* type, unsigned virtualKey, unsigned flags, bool repeat) {
    if (session_.empty()) return false;
    Json event = with({{"type", type}, {"windowsVirtualKeyCode", static_cast<int>(virtualKey)},
                       {"nativeVirtualKeyCode", static_cast<int>(virtualKey)}, {"modifiers", currentModifiers()},
                       {"autoRepeat", repeat}, {"isKeypad", false}, {"isSystemKey", false}});
    if (const char* key = keyNameOf(virtualKey)) event["key"] = key;
    if (flags & WKE_EXTENDED) event["location"] = 0;
    Engine::instance().post("Input.dispatchKeyEvent", event, session_);
    return true;
}

bool WebView::fireChar(unsigned code, unsigned flags) {
    if (session_.empty()) return false;
    // A character beyond the BMP comes as two WM_CHARs: the page gets it whole.
    if (code >= 0xD800 && code < 0xDC00) {
        pendingHighSurrogate_ = static_cast<wchar_t>(code);
        return true;
    }
    std::wstring unit;
    if (code >= 0xDC00 && code < 0xE000 && pendingHighSurrogate_) unit += pendingHighSurrogate_;
    pendingHighSurrogate_ = 0;
    unit += static_cast<wchar_t>(code);
    const std::string text = text::wideToUtf8(unit);
    Engine::instance().post("Input.dispatchKeyEvent",
                            with({{"type", "char"}, {"text", text}, {"unmodifiedText", text}, {"modifiers", currentModifiers()},
                                  {"windowsVirtualKeyCode", static_cast<int>(code)}, {"autoRepeat", (flags & WKE_REPEAT) != 0}}),
                            session_);
    return true;
}

LRESULT CALLBACK WebView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return framework::guarded(LRESULT{0}, framework::Silent{}, [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            // The window's user data is the view's handle: the IDE stand-in reads it to ask
            // for the page source of the view it finds.
            auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
            static_cast<WebView*>(created->lpCreateParams)->window_ = window;
        }
        auto* raw = reinterpret_cast<WebView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // Hold the view while its message runs: a callback may destroy it.
        const std::shared_ptr<WebView> held = raw ? Engine::instance().find(raw) : nullptr;
        if (!raw || (!held && message != WM_NCCREATE && message != WM_CREATE && message != WM_NCCALCSIZE &&
                     message != WM_SIZE && message != WM_MOVE))
            return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return raw->handleMessage(message, wParam, lParam);
    });
}

LRESULT WebView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paintWindow(); return 0;
    case WM_ERASEBKGND: return 1;  // the back buffer covers every pixel
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            resizeBackBuffer(LOWORD(lParam), HIWORD(lParam));
            onSized();
        }
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_LBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
        SetFocus(window_);
        SetCapture(window_);
        fireMouse(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), flagsOfKeys(wParam) | (message == WM_LBUTTONDOWN ? WKE_LBUTTON : 0));
        return 0;
    case WM_LBUTTONUP: case WM_MBUTTONUP: case WM_RBUTTONUP:
        if (!(wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON))) ReleaseCapture();
        fireMouse(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), flagsOfKeys(wParam));
        if (message == WM_RBUTTONUP) onContextMenu();
        return 0;
    case WM_MOUSEMOVE: fireMouse(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), flagsOfKeys(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window_, &p);
        fireWheel(p.x, p.y, GET_WHEEL_DELTA_WPARAM(wParam), flagsOfKeys(GET_KEYSTATE_WPARAM(wParam)));
        return 0;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        fireKey("rawKeyDown", static_cast<unsigned>(wParam), (lParam & (1 << 24)) ? WKE_EXTENDED : 0, (lParam & (1 << 30)) != 0);
        return message == WM_SYSKEYDOWN ? DefWindowProcW(window_, message, wParam, lParam) : 0;
    case WM_KEYUP: case WM_SYSKEYUP:
        fireKey("keyUp", static_cast<unsigned>(wParam), (lParam & (1 << 24)) ? WKE_EXTENDED : 0, false);
        return message == WM_SYSKEYUP ? DefWindowProcW(window_, message, wParam, lParam) : 0;
    case WM_CHAR: fireChar(static_cast<unsigned>(wParam), (lParam & (1 << 30)) ? WKE_REPEAT : 0); return 0;
    case WM_CLOSE:
        if (onCloseRequested()) DestroyWindow(window_);
        return 0;
    case WM_DESTROY: onWindowDestroyed(); return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace orv::mb
