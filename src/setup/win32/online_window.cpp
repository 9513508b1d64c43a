// The online window over the browser control. The engine's callbacks only note what
// happened and post it to the window; pages are read and alerts are shown from the
// window's own messages, never inside the engine's call. Win32 only; every message runs
// inside the form layer's guard.
#include "setup/win32/online_window.h"

#include "framework/win32/browser_control.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace orv::setup {
namespace {

HWND g_online = nullptr;

constexpr int kViewId = 101;
constexpr int kStartWidth = 640;  // 96-dpi units, until the first page gives its size
constexpr int kStartHeight = 520;
constexpr int kMinWidth = 360;
constexpr int kMinHeight = 240;
// Posted by the engine's callbacks.
constexpr UINT kPageLoaded = WM_APP + 1;
constexpr UINT kPageAlert = WM_APP + 2;

class OnlineWindow : public framework::FormHandler {
public:
    OnlineWindow(std::string url, std::string& handedBack) : url_(std::move(url)), handedBack_(handedBack) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        switch (message) {
        case kPageLoaded:
            pageLoaded(form);
            result = 0;
            return true;
        case kPageAlert:
            showAlerts(form);
            result = 0;
            return true;
        default:
            return false;
        }
    }

    void onCreated(HWND form, LPARAM) override {
        control_ = std::make_unique<framework::BrowserControl>(form, kViewId, L"Miniblink1", 0, 0, kStartWidth,
                                                               kStartHeight);
        if (!control_->HasView()) {
            framework::MessageBoxPrompter(form).message(text::wideToUtf8(framework::EngineProblem()),
                                                        library::MessageKind::Error);
            framework::PostCloseRequest(form);
            return;
        }
        RECT client{};
        GetClientRect(form, &client);
        onLayout(form, client.right, client.bottom);
        control_->SetEvent("ONTITLECHANGED", [form](framework::BrowserEvent& e) -> std::intptr_t {
            if (!e.text.empty()) SetWindowTextW(form, e.text.c_str());
            return 0;
        });
        control_->SetEvent("ALERTBOX", [this, form](framework::BrowserEvent& e) -> std::intptr_t {
            alerts_.push_back(e.text);
            PostMessageW(form, kPageAlert, 0, 0);
            return 0;
        });
        control_->SetEvent("LOADINGFINISH", [form](framework::BrowserEvent&) -> std::intptr_t {
            PostMessageW(form, kPageLoaded, 0, 0);
            return 0;
        });
        control_->LoadUrl(text::utf8ToWide(url_));
    }

    void onLayout(HWND, int width, int height) override {
        if (control_ && control_->HasView()) MoveWindow(control_->ViewWindow(), 0, 0, width, height, TRUE);
    }

    int onCloseRequest(HWND) override {
        if (control_ && control_->HasView()) keepPage();
        return 0;
    }

    void onDestroy(HWND form) override {
        control_.reset();
        if (g_online == form) g_online = nullptr;
    }

private:
    // The page as it is now is what the window hands back; the first page also gives
    // the window its size, within the screen's work area.
    void pageLoaded(HWND form) {
        if (!control_) return;
        keepPage();
        if (sized_) return;
        sized_ = true;
        const int width = control_->ContentWidth(), height = control_->ContentHeight();
        if (width <= 0 || height <= 0) return;
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
        const framework::DpiScale& scale = framework::ScreenScale();
        RECT frame{0, 0, std::max(width, scale.ScaleX(kMinWidth)), std::max(height, scale.ScaleY(kMinHeight))};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)));
        const RECT& area = monitor.rcWork;
        const int w = std::min<int>(frame.right - frame.left, area.right - area.left);
        const int h = std::min<int>(frame.bottom - frame.top, area.bottom - area.top);
        RECT now{};
        GetWindowRect(form, &now);
        const int x = std::clamp<int>(now.left, area.left, area.right - w);
        const int y = std::clamp<int>(now.top, area.top, area.bottom - h);
        SetWindowPos(form, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void keepPage() {
        std::string page = control_->Source();
        if (page.empty() || page == lastPage_) return;
        handedBack_ += page;
        lastPage_ = std::move(page);
    }

    void showAlerts(HWND form) {
        while (!alerts_.empty()) {
            const std::wstring text = std::move(alerts_.front());
            alerts_.pop_front();
            framework::ShowMessageBox(form, text::wideToUtf8(text), MB_OK | MB_ICONINFORMATION);
        }
    }

    std::string url_;
    std::string& handedBack_;
    std::unique_ptr<framework::BrowserControl> control_;
    std::string lastPage_;
    std::deque<std::wstring> alerts_;
    bool sized_ = false;
};

}  // namespace

std::string runOnlineWindow(HWND owner, const std::string& url) {
    std::string handedBack;
    if (framework::BringFormForward(g_online)) return handedBack;
    framework::FormOptions options;
    options.name = kOnlineWindowName;
    options.caption = text::utf8ToWide(kOnlineCaption);
    options.owner = owner;
    options.width = kStartWidth;
    options.height = kStartHeight;
    options.clientSize = true;
    options.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    HWND form = framework::CreateFittedForm(options, std::make_unique<OnlineWindow>(url, handedBack),
                                            "无法打开在线功能窗口：");
    if (!form) return handedBack;
    g_online = form;
    // The window writes into handedBack: it must not outlive this call.
    if (framework::ShowModal(form) == framework::ModalEnd::Failed && IsWindow(form)) DestroyWindow(form);
    return handedBack;
}

HWND onlineWindow() { return g_online; }

}  // namespace orv::setup
