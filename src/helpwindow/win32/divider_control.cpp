// The divider's dragging. Win32 only.
#include "helpwindow/win32/divider_control.h"

#include "framework/win32/controls.h"
#include "framework/win32/control_record.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/screen_scale.h"
#include "helpwindow/window_layout.h"
#include "library/settings.h"

#include <commctrl.h>
#include <windowsx.h>

#include <stdexcept>

namespace orv::helpwindow {
namespace {

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

DividerControl::~DividerControl() {
    if (window_ && IsWindow(window_)) RemoveWindowSubclass(window_, proc, kSubclassId);
}

void DividerControl::create(Sources sources, int dividing) {
    s_ = std::move(sources);
    dividing_ = dividing;
    framework::ControlOptions options;
    options.kind = "LABEL";
    options.name = L"Picture1";
    options.id = kPicture1;
    options.style = WS_VISIBLE | SS_NOTIFY;
    std::string error;
    window_ = framework::CreateControl(s_.form, options, error);
    if (!window_) throw std::runtime_error(error);
    if (!SetWindowSubclass(window_, proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        throw std::runtime_error("SetWindowSubclass of the divider failed");
}

LRESULT CALLBACK DividerControl::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, proc, kSubclassId);
        reinterpret_cast<DividerControl*>(self)->window_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return framework::guarded(LRESULT{0}, framework::Silent{}, [&] {
        return reinterpret_cast<DividerControl*>(self)->onMessage(window, message, wParam, lParam);
    });
}

LRESULT DividerControl::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const framework::DpiScale& scale = framework::ScreenScale();
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
        return TRUE;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        dragging_ = true;
        setColour(COLOR_WINDOWFRAME);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_ && (wParam & MK_LBUTTON)) {
            POINT at{GET_X_LPARAM(lParam), 0};
            MapWindowPoints(window, s_.form, &at, 1);
            RECT client{};
            GetClientRect(s_.form, &client);
            dividing_ = limitDividing(scale.UnscaleX(at.x), scale.UnscaleX(client.right));
            RECT bar{};
            GetWindowRect(window, &bar);
            MapWindowPoints(nullptr, s_.form, reinterpret_cast<POINT*>(&bar), 2);
            MoveWindow(window, scale.ScaleX(dividing_), bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ReleaseCapture();
            if (s_.placed) s_.placed();
            setColour(COLOR_BTNFACE);
            std::string error;
            if (s_.store && !library::writeDividing(*s_.store, dividing_, error))
                framework::MessageBoxPrompter(s_.form).message("分隔位置未能保存：\r\n" + error,
                                                               library::MessageKind::Error);
        }
        return 0;
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

void DividerControl::setColour(int systemColour) {
    if (framework::ControlRecord* record = framework::FindRecord(window_)) {
        record->backColour = (static_cast<std::uint32_t>(systemColour) << 24) | framework::kSystemColourMarker;
        InvalidateRect(window_, nullptr, TRUE);
    }
}

}  // namespace orv::helpwindow
