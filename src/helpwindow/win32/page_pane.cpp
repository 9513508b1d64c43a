// The help window's page. Win32 only.
#include "helpwindow/win32/page_pane.h"

#include "framework/navigation_guard.h"
#include "framework/win32/browser_control.h"
#include "framework/win32/controls.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/page_guard.h"
#include "framework/win32/ui_tasks.h"
#include "helpwindow/window_layout.h"
#include "library/paths.h"
#include "text/win32/wide_text.h"

#include <shellapi.h>

#include <stdexcept>

namespace orv::helpwindow {

PagePane::PagePane() = default;
PagePane::~PagePane() = default;

void PagePane::create(Sources sources) {
    s_ = std::move(sources);
    const std::wstring folder = text::utf8ToWide(s_.ideFolder);
    framework::SetEngineFolder(folder);
    view_ = std::make_unique<framework::BrowserControl>(s_.form, kMiniblink1, L"Miniblink1", 0, 0, kDesignWidth,
                                                        kDesignHeight);
    // Pages carry text that strangers wrote: a view that cannot be kept on our own pages
    // shows none, and the notice says why.
    if (!framework::GuardPageView(*view_, folder, framework::OpenInSystemBrowser)) {
        const std::wstring problem = framework::PageGuardProblem(*view_);
        view_.reset();
        framework::ControlOptions options;
        options.kind = "LABEL";
        options.name = L"LabelEngine";
        options.id = kEngineNotice;
        options.caption = problem;
        std::string error;
        notice_ = framework::CreateControl(s_.form, options, error);
        if (!notice_) throw std::runtime_error(error);
        return;
    }
    // The engine calls these from inside its own work on the view: what they lead to (a
    // page built and loaded into this same view, a menu's loop, the shell) runs after
    // they have returned, as a task of the window's thread.
    view_->SetEvent("CREATEVIEW", [this, token = lifetime_.token()](framework::BrowserEvent& e) -> std::intptr_t {
        const std::string address = text::wideToUtf8(e.text);
        framework::PostUiTask([this, token, address] {
            if (!Lifetime::ended(token) && s_.linkClicked) s_.linkClicked(address);
        });
        return reinterpret_cast<std::intptr_t>(e.webView);  // no second browser window
    });
    view_->SetEvent("CONTEXTMENUITEMCLICK", [this, token = lifetime_.token()](framework::BrowserEvent&) -> std::intptr_t {
        framework::PostUiTask([this, token] {
            if (!Lifetime::ended(token) && s_.menuAsked) s_.menuAsked();
        });
        return 1;
    });
}

bool PagePane::hasView() const { return view_ && view_->HasView(); }

HWND PagePane::window() const { return hasView() ? view_->ViewWindow() : notice_; }

void PagePane::LoadHtml(const std::string& utf8) {
    if (view_) view_->LoadHtml(utf8);
}

void PagePane::copy() {
    if (view_) view_->Copy();
}

void PagePane::selectAll() {
    if (view_) view_->SelectAll();
}

void PagePane::viewSource(library::Prompter& prompter) {
    if (!hasView()) return;
    const std::string path = library::ideFile(s_.ideFolder, "HelpTemp.htm");
    const std::wstring widePath = text::utf8ToWide(path);
    const std::string source = "\xEF\xBB\xBF" + view_->Source();
    HANDLE out = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = out != INVALID_HANDLE_VALUE &&
                    WriteFile(out, source.data(), static_cast<DWORD>(source.size()), &written, nullptr) &&
                    written == source.size();
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (!ok) {
        prompter.message("网页源码未能写入 " + path + "。", library::MessageKind::Error);
        return;
    }
    // By its full path in the system folder: a bare name would also find a notepad.exe
    // that someone left in the IDE's current folder.
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        prompter.message("找不到系统文件夹，无法用记事本打开 " + path + "。", library::MessageKind::Error);
        return;
    }
    const std::wstring notepad = std::wstring(system, length) + L"\\notepad.exe";
    const auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(s_.form, L"open", notepad.c_str(),
                                                                 (L"\"" + widePath + L"\"").c_str(), system, SW_SHOWNORMAL));
    if (started <= 32) prompter.message("记事本未能打开 " + path + "。", library::MessageKind::Error);
}

}  // namespace orv::helpwindow
