// The page view's request filter over a navigation policy. Win32 only.
#include "framework/win32/page_guard.h"

#include "framework/win32/ui_tasks.h"
#include "text/win32/wide_text.h"

#include <shellapi.h>

#include <utility>

namespace orv::framework {

std::wstring PageGuardProblem(const BrowserControl& control) {
    const EngineFunctions* engine = Engine();
    if (!engine || !control.HasView()) {
        const std::wstring problem = EngineProblem();
        return problem.empty() ? L"浏览器引擎没有给出网页视图，所以不显示页面。" : problem;
    }
    std::wstring missing;
    const auto need = [&missing](bool present, const wchar_t* name) {
        if (present) return;
        if (!missing.empty()) missing += L"、";
        missing += name;
    };
    need(engine->wkeOnNavigation != nullptr, L"wkeOnNavigation");
    need(engine->wkeOnLoadUrlBegin != nullptr, L"wkeOnLoadUrlBegin");
    need(engine->wkeNetCancelRequest != nullptr, L"wkeNetCancelRequest");
    if (missing.empty()) return {};
    return L"浏览器引擎 mb.dll 缺少拦截网页请求的功能（" + missing +
           L"），不能保证页面只打开本程序的文件，所以不显示页面。请换用较新的 mb.dll。";
}

bool GuardPageView(BrowserControl& control, std::shared_ptr<const NavigationPolicy> policy, OpenOutside openOutside) {
    if (!policy || !PageGuardProblem(control).empty()) return false;
    const bool navigation = control.SetEvent("NAVIGATION", [policy, openOutside](BrowserEvent& e) -> std::intptr_t {
        const std::string url = text::wideToUtf8(e.text);
        if (policy->AllowsDocument(url)) return 1;
        // A link the user clicked that leads out of our pages opens outside; anything
        // else that would take the view away (a refresh, a form, a script) just stays.
        if (e.values[0] == WKE_NAVIGATION_TYPE_LINKCLICK && IsOutsideAddress(url) && openOutside)
            PostUiTask([openOutside, wide = e.text] { openOutside(wide); });
        return 0;
    });
    const bool requests = control.SetEvent("LOADURLBEGIN", [policy](BrowserEvent& e) -> std::intptr_t {
        return policy->AllowsRequest(text::wideToUtf8(e.text)) ? 0 : 1;
    });
    return navigation && requests;
}

bool GuardPageView(BrowserControl& control, const std::wstring& ideFolder, OpenOutside openOutside) {
    return GuardPageView(control, std::make_shared<LocalPagePolicy>(FolderFileUrl(text::wideToUtf8(ideFolder))),
                         std::move(openOutside));
}

void OpenInSystemBrowser(const std::wstring& url) {
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace orv::framework
