// The page view's request filter over the navigation guard. Win32 only.
#include "framework/win32/page_guard.h"

#include "framework/navigation_guard.h"
#include "framework/win32/ui_tasks.h"
#include "text/win32/wide_text.h"

#include <shellapi.h>

#include <memory>
#include <utility>

namespace orv::framework {

bool GuardPageView(BrowserControl& control, const std::wstring& ideFolder, OpenOutside openOutside) {
    const EngineFunctions* engine = Engine();
    if (!control.HasView() || !engine) return false;
    struct State {
        NavigationGuard guard;
        std::wstring clicked;  // the address of the last link the user clicked
        OpenOutside openOutside;
    };
    auto state = std::make_shared<State>(
        State{NavigationGuard(FolderFileUrl(text::wideToUtf8(ideFolder))), {}, std::move(openOutside)});

    const bool navigation = control.SetEvent("NAVIGATION", [state](BrowserEvent& e) -> std::intptr_t {
        state->clicked = e.values[0] == WKE_NAVIGATION_TYPE_LINKCLICK ? e.text : std::wstring();
        return 1;
    });
    const bool requests = control.SetEvent("LOADURLBEGIN", [state, engine](BrowserEvent& e) -> std::intptr_t {
        if (state->guard.Allows(text::wideToUtf8(e.text))) return 0;
        if (engine->wkeNetCancelRequest) engine->wkeNetCancelRequest(reinterpret_cast<wkeNetJob>(e.values[0]));
        if (e.text == state->clicked && IsOutsideAddress(text::wideToUtf8(e.text)) && state->openOutside) {
            state->clicked.clear();
            // The shell runs after the engine's callback has returned, never inside it.
            PostUiTask([open = state->openOutside, url = e.text] { open(url); });
        }
        return 1;
    });
    return navigation && requests;
}

void OpenInSystemBrowser(const std::wstring& url) {
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace orv::framework
