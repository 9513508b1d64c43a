// The help window: a form of the window layer with its page view, its placement and its
// start-up step. Win32 only. Every message runs inside the form layer's guard.
#include "helpwindow/win32/help_window.h"

#include "framework/navigation_guard.h"
#include "framework/win32/browser_control.h"
#include "framework/win32/controls.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/page_guard.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/window_placement.h"
#include "library/paths.h"
#include "library/settings.h"
#include "text/win32/wide_text.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace orv::helpwindow {
namespace {

HWND g_window = nullptr;

// Sizes in 96-dpi units.
constexpr int kDesignWidth = 654, kDesignHeight = 587;
constexpr int kMinWidth = 500, kMinHeight = 400;
constexpr int kPageViewId = 122;
constexpr int kEngineNoticeId = 121;

class HelpWindow : public framework::FormHandler {
public:
    explicit HelpWindow(std::string ideFolder) : ideFolder_(std::move(ideFolder)) {}

    const library::Settings& settings() const { return settings_; }

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case WM_CREATE:
            create(form);
            return false;
        case WM_GETMINMAXINFO: {
            const framework::DpiScale& scale = framework::ScreenScale();
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {scale.ScaleX(kMinWidth), scale.ScaleY(kMinHeight)};
            result = 0;
            return true;
        }
        default:
            return false;
        }
    }

    // The start-up step.
    void onCreated(HWND form, LPARAM) override {
        const std::string caption = std::string(kCaption) + " " + kVersionText;
        SetWindowTextW(form, text::utf8ToWide(caption).c_str());
        if (page_ && page_->HasView()) page_->LoadHtml("");
    }

    void onLayout(HWND form, int width, int height) override {
        if (page_ && page_->HasView()) MoveWindow(page_->ViewWindow(), 0, 0, width, height, TRUE);
        if (HWND notice = GetDlgItem(form, kEngineNoticeId)) MoveWindow(notice, 8, 8, width - 16, height - 16, TRUE);
    }

    int onCloseRequest(HWND form) override {
        if (store_) {
            std::string error;
            if (!library::writePlacement(*store_, framework::CurrentPlacement(form), error))
                framework::MessageBoxPrompter(form).message("窗口位置未能保存：\r\n" + error, library::MessageKind::Error);
        }
        return 0;
    }

    void onDestroy(HWND form) override {
        // The view goes while its window still exists, so the engine hears of it.
        page_.reset();
        if (g_window == form) g_window = nullptr;
    }

private:
    void create(HWND form) {
        if (!ideFolder_.empty()) {
            store_ = library::makeSettingsStore(library::ideFile(ideFolder_, library::kSettingsFile));
            settings_ = library::readSettings(*store_);
        }
        createPageView(form);
    }

    // The engine comes from the IDE folder. Without one the window still opens and says
    // why it shows no pages.
    void createPageView(HWND form) {
        const std::wstring folder = text::utf8ToWide(ideFolder_);
        framework::SetEngineFolder(folder);
        page_ = std::make_unique<framework::BrowserControl>(form, kPageViewId, L"Miniblink1", 0, 0, kDesignWidth,
                                                            kDesignHeight);
        if (!page_->HasView()) {
            framework::ControlOptions notice;
            notice.kind = "LABEL";
            notice.name = L"LabelEngine";
            notice.id = kEngineNoticeId;
            notice.caption = framework::EngineProblem();
            notice.width = kDesignWidth - 16;
            notice.height = 40;
            std::string error;
            if (!framework::CreateControl(form, notice, error)) throw std::runtime_error(error);
            return;
        }
        framework::GuardPageView(*page_, folder, framework::OpenInSystemBrowser);
        // Links that ask for a new window: outside addresses go to the user's browser.
        page_->SetEvent("CREATEVIEW", [](framework::BrowserEvent& e) -> std::intptr_t {
            if (framework::IsOutsideAddress(text::wideToUtf8(e.text))) framework::OpenInSystemBrowser(e.text);
            return 0;
        });
    }

    std::string ideFolder_;
    std::unique_ptr<library::SettingsStore> store_;  // null without an IDE folder
    library::Settings settings_;
    std::unique_ptr<framework::BrowserControl> page_;
};

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

void openHelpWindow(HINSTANCE, const std::string& ideFolder, int openMode) {
    if (HWND existing = helpWindowHandle()) {
        activate(existing);
        return;
    }
    framework::guarded(framework::TellUser{nullptr, kOpenFailed}, [&] {
        framework::FormOptions options;
        options.name = L"Form1";
        options.className = kWindowClass;
        options.caption = text::utf8ToWide(kCaption);
        options.width = kDesignWidth;
        options.height = kDesignHeight;
        options.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        options.icon = "ICON_ADDBK";
        options.createdParameter = openMode;
        std::string error;
        HWND hwnd = framework::CreateForm(options, std::make_unique<HelpWindow>(ideFolder), error);
        if (!hwnd) {
            framework::TellUser{nullptr, kOpenFailed}(error.c_str());
            return;
        }
        g_window = hwnd;
        auto* window = static_cast<HelpWindow*>(framework::FormHandlerOf(hwnd));
        framework::ApplyPlacement(hwnd, window->settings().placement);
    });
}

}  // namespace orv::helpwindow
