// The entry editor's window (Form词条): the HTML form in one browser control, filled in
// steps as the page becomes ready, its command links, the close question and the save.
// Win32 only; every message runs inside the form layer's guard.
#include "editors/win32/editor_windows.h"

#include "editors/category_chooser.h"
#include "editors/editor_template.h"
#include "editors/entry_editor.h"
#include "editors/win32/busy_while.h"
#include "editors/win32/engine_page.h"
#include "framework/win32/browser_control.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/operations.h"
#include "framework/win32/page_guard.h"
#include "library/udate.h"
#include "sync/win32/window_session.h"
#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include <memory>

namespace orv::editors {
namespace {

HWND g_entryEditor = nullptr;

constexpr int kClientWidth = 999;
constexpr int kClientHeight = 656;
constexpr int kMiniblink1 = 101;
// The page's command links reach the window through this message (wParam: the command),
// so that none of them runs inside the engine's callback.
constexpr UINT kPageCommand = WM_APP + 21;
constexpr WPARAM kCommandSave = 6, kCommandCancel = 7;
// The page is looked at every 50 ms until it is in, 15 s at most.
constexpr UINT_PTR kReadyTimer = 1;
constexpr UINT kReadyStep = 50;
constexpr DWORD kReadyLimit = 15000;
// Our page is in once its document has loaded: its scripts have run by then, so a
// field or editor still missing stays missing.
constexpr std::string_view kReadyScript =
    "return (document.readyState===\"complete\"&&(typeof editor!==\"undefined\"||"
    "!!document.getElementById(\"ExplainSource\")))?\"1\":\"0\"";

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : "、") + name;
    return out;
}

// The command a link names by the text after its last "/"; 0 for none.
WPARAM commandOf(const std::wstring& address) {
    const std::string url = text::wideToUtf8(address);
    const std::string last = url.substr(url.rfind('/') == std::string::npos ? 0 : url.rfind('/') + 1);
    if (last.size() == 3 && last.compare(0, 2, "ca") == 0 && last[2] >= '1' && last[2] <= '5')
        return static_cast<WPARAM>(last[2] - '0');
    if (last == "queding") return kCommandSave;
    if (last == "quexiao") return kCommandCancel;
    return 0;
}

class EntryEditorWindow : public framework::FormHandler {
public:
    EntryEditorWindow(EditorHost host, EntryState state, std::string page)
        : host_(std::move(host)), state_(std::move(state)), pageText_(std::move(page)) {}

    bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (message == WM_TIMER && wParam == kReadyTimer) {
            checkReady(form);
        } else if (message == kPageCommand) {
            onPageCommand(form, wParam);
        } else {
            return false;
        }
        result = 0;
        return true;
    }

    void onCreated(HWND form, LPARAM) override {
        form_ = form;
        prompter_ = framework::MessageBoxPrompter(form);
        progress_.setOwner(form);
        session_ = std::make_unique<sync::ServerSession>(
            sync::windowSession(host_.settings, prompter_, progress_, host_.openSetup));
        SetWindowTextW(form, wide(state_.isNew ? kNewEntryCaption : kChangeEntryCaption).c_str());
        control_ = std::make_unique<framework::BrowserControl>(form, kMiniblink1, L"Miniblink1", 0, 0, kClientWidth,
                                                               kClientHeight);
        if (!control_->HasView()) {
            prompter_.message(text::wideToUtf8(framework::EngineProblem()), library::MessageKind::Error);
            closeNow(form);
            return;
        }
        // The form may have been fitted to a smaller screen before the view was made.
        RECT client{};
        GetClientRect(form, &client);
        onLayout(form, client.right, client.bottom);
        page_ = std::make_unique<EnginePage>(*control_);
        // The page holds text that strangers wrote: without the guard it is not shown.
        if (!framework::GuardPageView(*control_, wide(host_.ideFolder), framework::OpenInSystemBrowser)) {
            prompter_.message(text::wideToUtf8(framework::PageGuardProblem(*control_)), library::MessageKind::Error);
            closeNow(form);
            return;
        }
        control_->SetEvent("CREATEVIEW", [form](framework::BrowserEvent& e) -> std::intptr_t {
            if (const WPARAM command = commandOf(e.text)) PostMessageW(form, kPageCommand, command, 0);
            return reinterpret_cast<std::intptr_t>(e.webView);
        });
        // Nothing can be typed into the form before it is in: what the page shows then is
        // taken as the loaded values, and typing would be taken with it.
        EnableWindow(control_->ViewWindow(), FALSE);
        control_->LoadHtml(pageText_);
        pageText_.clear();
        loadStarted_ = GetTickCount();
        SetTimer(form, kReadyTimer, kReadyStep, nullptr);
    }

    void onLayout(HWND, int width, int height) override {
        if (control_ && control_->HasView()) MoveWindow(control_->ViewWindow(), 0, 0, width, height, TRUE);
    }

    int onCloseRequest(HWND form) override {
        if (done_ || !ready_) return 0;
        if (busy_) return 1;
        const std::optional<EntryFields> fields = ReadEntryFields(*page_);
        if (!fields) return closeUnreadable(form);
        if (CollectEntryChanges(state_, *fields).empty()) return 0;
        switch (framework::ShowMessageBox(form, texts::kModified, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            save(form);
            return 1;  // the save closes the window when it went through
        case IDNO: return 0;
        default: return 1;
        }
    }

    void onDestroy(HWND form) override {
        KillTimer(form, kReadyTimer);
        control_.reset();
        if (g_entryEditor == form) g_entryEditor = nullptr;
    }

private:
    void checkReady(HWND form) {
        const std::optional<std::string> ready = page_->run(kReadyScript);
        if ((!ready || *ready != "1") && GetTickCount() - loadStarted_ < kReadyLimit) return;
        KillTimer(form, kReadyTimer);
        finishFill(form);
    }

    // The page is there: check it has every field, show the groups the entry's kind
    // uses, and take what the page shows as the loaded values it could not show as
    // stored, so that an untouched form saves nothing.
    void finishFill(HWND form) {
        const std::vector<std::string> missing = MissingEntryFields(*page_);
        if (!missing.empty()) {
            prompter_.message(std::string(texts::kPageMissingFields) + joined(missing), library::MessageKind::Error);
            closeNow(form);
            return;
        }
        for (const std::string& script : entryGroupScripts(state_.isMember())) page_->run(script);
        const std::optional<EntryFields> shown = ReadEntryFields(*page_);
        if (!shown) {
            prompter_.message(texts::kPageUnreadable, library::MessageKind::Error);
            closeNow(form);
            return;
        }
        const std::vector<std::string> taken = AdoptShownEntry(state_, *shown);
        ready_ = true;
        EnableWindow(control_->ViewWindow(), TRUE);
        if (!taken.empty())
            prompter_.message(std::string(texts::kShownDifferently) + joined(taken), library::MessageKind::Exclamation);
    }

    void onPageCommand(HWND form, WPARAM command) {
        if (!ready_ || busy_) return;
        if (command == kCommandSave) {
            save(form);
        } else if (command == kCommandCancel) {
            framework::PostCloseRequest(form);
        } else {
            const std::optional<long long> chosen = chooseCategory(form, host_.db, state_.lib);
            if (chosen) page_->run(slotScript(host_.db, state_.lib, static_cast<int>(command), *chosen));
        }
    }

    // A save is an operation of the plug-in. Busy until it ends, however it ends.
    void save(HWND form) {
        const std::optional<EntryFields> fields = ReadEntryFields(*page_);
        if (!fields) {
            prompter_.message(texts::kPageUnreadable, library::MessageKind::Error);
            return;
        }
        const auto operation = framework::BeginOperation(form, "保存");
        if (!operation) return;
        EntrySave saved;
        {
            const BusyWhile busy(busy_);
            const EditorSources sources{host_.db, prompter_, *session_, library::uDateNow};
            saved = SaveEntry(sources, state_, *fields, page_.get());
        }
        if (saved.outcome == SaveOutcome::Stopped) return;
        const int lib = state_.lib;
        const auto show = host_.showSaved;
        closeNow(form);
        if (saved.outcome == SaveOutcome::Saved && show)
            show(lib, saved.kID, saved.nType >= library::kFirstMemberType ? render::TargetKind::Member
                                                                           : render::TargetKind::Entry);
    }

    void closeNow(HWND form) {
        done_ = true;
        DestroyWindow(form);
    }

    // A page that cannot be read cannot tell whether anything changed: the user decides.
    int closeUnreadable(HWND form) {
        return framework::ShowMessageBox(form, texts::kCloseUnreadable, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
                       IDYES
                   ? 0
                   : 1;
    }

    EditorHost host_;
    EntryState state_;
    std::string pageText_;
    HWND form_ = nullptr;
    framework::MessageBoxPrompter prompter_;
    tools::ProgressOver progress_;
    std::unique_ptr<sync::ServerSession> session_;
    std::unique_ptr<framework::BrowserControl> control_;
    std::unique_ptr<EnginePage> page_;
    DWORD loadStarted_ = 0;
    bool ready_ = false;
    bool busy_ = false;
    bool done_ = false;
};

}  // namespace

void openEntryEditor(HWND owner, const EditorHost& host, bool isNew, const library::TreeNode& node) {
    framework::MessageBoxPrompter prompter(owner);
    // Each 编辑 or 新建 opens on its own node; the open editor's changes are asked about.
    if (!framework::CloseForReopen(g_entryEditor)) return;
    std::optional<EntryState> state = isNew ? std::optional<EntryState>(NewEntryFor(host.db, node))
                                             : LoadEntry(host.db, node.lib, node.id);
    if (!state) {
        prompter.message(kEntryUnreadable, library::MessageKind::Error);
        return;
    }
    tools::ProgressOver progress(owner);
    sync::ServerSession session = sync::windowSession(host.settings, prompter, progress, host.openSetup);
    if (!editingAllowed(session, state->lib)) return;
    const std::string page = LoadEditorTemplate(host.ideFolder, kEntryTemplate);
    if (page.empty()) {
        prompter.message(std::string(texts::kTemplateMissing) + std::string(kEntryTemplate), library::MessageKind::Error);
        return;
    }
    std::string filled = FillEntryPage(page, *state, buttonFaceColour());
    framework::FormOptions options;
    options.name = L"Form词条";
    options.caption = wide(kEntryWindowCaption);
    options.owner = owner;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.clientSize = true;
    g_entryEditor = framework::CreateFittedForm(
        options, std::make_unique<EntryEditorWindow>(host, std::move(*state), std::move(filled)), "无法打开词条编辑窗口：");
    if (g_entryEditor) framework::ShowForm(g_entryEditor);
}

HWND entryEditorWindow() { return g_entryEditor; }

}  // namespace orv::editors
