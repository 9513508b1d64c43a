// The help window's class, creation, placement and start-up step. Win32 only.
// Its procedure answers every message inside the entry guard.
#include "helpwindow/win32/help_window.h"

#include "framework/win32/entry_guard.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/window_placement.h"
#include "library/paths.h"
#include "library/settings.h"
#include "text/win32/wide_text.h"

#include <memory>
#include <string>

namespace orv::helpwindow {
namespace {

HWND g_window = nullptr;

// Size at 96 dots per inch; scaled to the screen.
constexpr int kDesignWidth = 654, kDesignHeight = 587;
constexpr int kMinWidth = 500, kMinHeight = 400;

// Per-window state: created with the window, freed when it is destroyed.
struct HelpWindowState {
    std::string ideFolder;
    std::unique_ptr<library::SettingsStore> store;  // null without an IDE folder
    library::Settings settings;
    int openMode = 0;
    int dpi = 96;
};

HelpWindowState* stateOf(HWND hwnd) {
    return reinterpret_cast<HelpWindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

int scaled(const HelpWindowState& s, int designPixels) { return MulDiv(designPixels, s.dpi, 96); }

void onCreate(HWND hwnd, HelpWindowState& s) {
    HDC screen = GetDC(nullptr);
    s.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (!s.ideFolder.empty()) {
        s.store = library::makeSettingsStore(library::ideFile(s.ideFolder, library::kSettingsFile));
        s.settings = library::readSettings(*s.store);
    }
}

void onStartup(HWND hwnd, HelpWindowState& s) {
    const std::string caption = std::string(kCaption) + " " + kVersionText;
    SetWindowTextW(hwnd, text::utf8ToWide(caption).c_str());
}

void onClose(HWND hwnd, HelpWindowState& s) {
    if (s.store) {
        std::string error;
        if (!library::writePlacement(*s.store, framework::CurrentPlacement(hwnd), error))
            framework::MessageBoxPrompter(hwnd).message("窗口位置未能保存：\r\n" + error, library::MessageKind::Error);
    }
    DestroyWindow(hwnd);
}

// What openHelpWindow hands to CreateWindowExW. The window takes the state over at
// WM_NCCREATE and from then on alone frees it (at WM_NCDESTROY), whether its creation
// goes on or fails; until then the request owns it.
struct CreationRequest {
    std::unique_ptr<HelpWindowState> state;
    std::string failure;  // why WM_CREATE refused the window, for openHelpWindow to tell
};

// Null for a window of this class that openHelpWindow did not ask for.
CreationRequest* requestOf(LPARAM createParam) {
    return static_cast<CreationRequest*>(reinterpret_cast<CREATESTRUCTW*>(createParam)->lpCreateParams);
}

LRESULT handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        CreationRequest* request = requestOf(lParam);
        if (!request || !request->state) return FALSE;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(request->state.release()));
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HelpWindowState* s = stateOf(hwnd);
    if (!s) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        onCreate(hwnd, *s);
        return 0;
    case kStartupMessage:
        if (wParam == kStartupMessage) onStartup(hwnd, *s);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {scaled(*s, kMinWidth), scaled(*s, kMinHeight)};
        return 0;
    }
    case WM_CLOSE:
        onClose(hwnd, *s);
        return 0;
    case WM_DESTROY:
        if (g_window == hwnd) g_window = nullptr;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete s;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// A message that failed answers so that what it asked for does not happen: no window
// from a failed creation.
LRESULT refusal(UINT msg) {
    if (msg == WM_NCCREATE) return FALSE;
    if (msg == WM_CREATE) return -1;
    return 0;
}

// Who hears of a failed message: openHelpWindow of a failed creation, the user of what
// they did themselves; the window system's own messages fail silently.
struct MessageFailure {
    HWND hwnd;
    UINT msg;
    LPARAM lParam;
    void operator()(const char* reason) const {
        if (msg == WM_CREATE) {
            if (CreationRequest* request = requestOf(lParam)) request->failure = reason;
        } else if (msg == WM_CLOSE) {
            framework::TellUser{hwnd, "无法关闭帮助窗口。"}(reason);
        } else if (msg == kStartupMessage) {
            framework::TellUser{hwnd, "帮助窗口未能完成启动。"}(reason);
        }
    }
};

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return framework::guarded(refusal(msg), MessageFailure{hwnd, msg, lParam},
                              [&] { return handleMessage(hwnd, msg, wParam, lParam); });
}

bool registerClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kWindowClass, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
}

void activate(HWND hwnd) {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = hwnd;
    flash.dwFlags = FLASHW_ALL;
    flash.uCount = 5;
    flash.dwTimeout = 100;
    FlashWindowEx(&flash);
}

}  // namespace

HWND helpWindowHandle() { return g_window && IsWindow(g_window) ? g_window : nullptr; }

void openHelpWindow(HINSTANCE instance, const std::string& ideFolder, int openMode) {
    if (HWND existing = helpWindowHandle()) {
        activate(existing);
        return;
    }
    const framework::TellUser tell{nullptr, kOpenFailed};
    if (!registerClass(instance)) {
        tell("无法注册帮助窗口类。");
        return;
    }
    CreationRequest request;
    request.state = std::make_unique<HelpWindowState>();
    request.state->ideFolder = ideFolder;
    request.state->openMode = openMode;
    HWND hwnd = CreateWindowExW(0, kWindowClass, text::utf8ToWide(kCaption).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                kDesignWidth, kDesignHeight, nullptr, nullptr, instance, &request);
    if (!hwnd) {
        const DWORD code = GetLastError();
        const std::string reason = request.failure.empty()
                                       ? "CreateWindowExW 失败（错误 " + std::to_string(code) + "）。"
                                       : request.failure;
        tell(reason.c_str());
        return;
    }
    g_window = hwnd;
    framework::ApplyPlacement(hwnd, stateOf(hwnd)->settings.placement);
    PostMessageW(hwnd, kStartupMessage, kStartupMessage, openMode);
}

}  // namespace orv::helpwindow
