// The online window over the browser control, kept to the server's site by the page
// guard. The engine's callbacks only note what happened and post it to the window; pages
// are read, alerts shown, the window closed and addresses opened outside from the
// window's own messages and tasks, never inside the engine's call. Win32 only; every
// message runs inside the form layer's guard.
#include "setup/win32/online_window.h"

#include "framework/win32/browser_control.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/ui_tasks.h"
#include "text/win32/wide_text.h"

#include <algorithm>
#include <memory>
#include <optional>

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
    OnlineWindow(std::string url, framework::OpenOutside openOutside, std::string& handedBack)
        : url_(std::move(url)),
          site_(std::make_shared<framework::SitePolicy>(url_)),
          openOutside_(std::move(openOutside)),
          handedBack_(handedBack) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        switch (message) {
        case kPageLoaded:
            pageLoaded(form);
            result = 0;
            return true;
        case kPageAlert:
            showAlert(form);
            result = 0;
            return true;
        default:
            return false;
        }
    }

    void onCreated(HWND form, LPARAM) override {
        control_ = std::make_unique<framework::BrowserControl>(form, kViewId, L"Miniblink1", 0, 0, kStartWidth,
                                                               kStartHeight);
        // The page comes over plain HTTP: a view that cannot be kept on the server's site
        // shows nothing.
        if (!framework::GuardPageView(*control_, site_, openOutside_)) {
            const std::wstring problem = framework::PageGuardProblem(*control_);
            control_.reset();
            framework::MessageBoxPrompter(form).message(text::wideToUtf8(problem), library::MessageKind::Error);
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
            noteAlert(form, std::move(e.text));
            return 0;
        });
        control_->SetEvent("URLCHANGED2", [this](framework::BrowserEvent& e) -> std::intptr_t {
            const auto frame = reinterpret_cast<wkeWebFrameHandle>(e.values[0]);
            if (control_ && control_->IsMainFrame(frame) && site_->IsOnSite(text::wideToUtf8(e.text))) ++sitePages_;
            return 0;
        });
        control_->SetEvent("LOADINGFINISH", [form](framework::BrowserEvent&) -> std::intptr_t {
            PostMessageW(form, kPageLoaded, 0, 0);
            return 0;
        });
        // A page asking for a new window gets none: the engine goes on in this same view
        // (where the guard keeps it on the site) and a web or mail address goes to the
        // user's own browser.
        control_->SetEvent("CREATEVIEW", [this](framework::BrowserEvent& e) -> std::intptr_t {
            if (framework::IsOutsideAddress(text::wideToUtf8(e.text))) notePopup(e.text);
            return reinterpret_cast<std::intptr_t>(e.webView);
        });
        // The page asks to close (window.close()), or the engine's window was told to: the
        // form closes as its close box would close it, after the engine's call, and takes
        // the view along; the engine destroys nothing itself.
        control_->SetEvent("WINDOWCLOSING", [form](framework::BrowserEvent&) -> std::intptr_t {
            framework::PostCloseRequest(form);
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
    // The page as it is now may be the server's answer; the first page also gives the
    // window its size, within the screen's work area.
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

    // Only a page of the server's site that came after the site's first page (the form)
    // can be its answer. The address is read on both sides of the source, so that a page
    // that went while the source was read is not taken for the one before it.
    void keepPage() {
        const std::string before = text::wideToUtf8(control_->Url());
        const int pages = sitePages_;
        std::string page = control_->Source();
        if (pages < 2 || sitePages_ != pages || text::wideToUtf8(control_->Url()) != before || !site_->IsOnSite(before))
            return;
        if (page.empty() || page == lastPage_) return;
        handedBack_ += page;
        lastPage_ = std::move(page);
    }

    // One box at a time: an alert that comes while one is waiting or showing is dropped,
    // and a page that asked again meanwhile is flooding and gets no more boxes, so that
    // the user can always close the window.
    void noteAlert(HWND form, std::wstring text) {
        if (alertsMuted_) return;
        if (alertWaiting_ || alertShowing_) {
            alertsDropped_ = true;
            return;
        }
        alertWaiting_ = std::move(text);
        PostMessageW(form, kPageAlert, 0, 0);
    }

    void showAlert(HWND form) {
        if (!alertWaiting_) return;
        const std::wstring text = std::move(*alertWaiting_);
        alertWaiting_.reset();
        alertShowing_ = true;
        framework::ShowMessageBox(form, text::wideToUtf8(text), MB_OK | MB_ICONINFORMATION);
        alertShowing_ = false;
        if (alertsDropped_) alertsMuted_ = true;
    }

    // New windows the page asks for, the same way: one address on its way out at a time,
    // and a page that asks again meanwhile, or within a few seconds of the last one (a
    // timer, not a person clicking), opens nothing more. The task may run after the
    // window has gone: it holds what it needs.
    void notePopup(const std::wstring& url) {
        if (!openOutside_ || popups_->muted) return;
        const DWORD now = GetTickCount();
        if (popups_->waiting || (popups_->opened && now - popups_->last < kPopupSpacingMs)) {
            popups_->muted = true;
            return;
        }
        popups_->opened = true;
        popups_->last = now;
        popups_->waiting = true;
        if (!framework::PostUiTask([popups = popups_, open = openOutside_, url] {
                popups->waiting = false;
                open(url);
            }))
            popups_->waiting = false;
    }

    std::string url_;
    std::shared_ptr<const framework::SitePolicy> site_;
    framework::OpenOutside openOutside_;
    std::string& handedBack_;
    std::unique_ptr<framework::BrowserControl> control_;
    int sitePages_ = 0;  // documents the main frame showed on the site
    std::string lastPage_;
    std::optional<std::wstring> alertWaiting_;
    bool alertShowing_ = false, alertsDropped_ = false, alertsMuted_ = false;
    struct Popups {
        bool waiting = false, muted = false, opened = false;
        DWORD last = 0;  // when the last one went out
    };
    static constexpr DWORD kPopupSpacingMs = 3000;
    std::shared_ptr<Popups> popups_ = std::make_shared<Popups>();
    bool sized_ = false;
};

}  // namespace

std::string runOnlineWindow(HWND owner, const std::string& url, framework::OpenOutside openOutside) {
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
    HWND form = framework::CreateFittedForm(options, std::make_unique<OnlineWindow>(url, std::move(openOutside), handedBack),
                                            "无法打开在线功能窗口：");
    if (!form) return handedBack;
    g_online = form;
    // The window writes into handedBack: it must not outlive this call.
    if (framework::ShowModal(form) == framework::ModalEnd::Failed && IsWindow(form)) DestroyWindow(form);
    return handedBack;
}

HWND onlineWindow() { return g_online; }

}  // namespace orv::setup
