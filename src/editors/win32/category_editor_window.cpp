// The category editor's window (Form分类): native fields for the parent, name, sort and
// kind, the description in an HTML editor page, the save and the close question.
// Win32 only; every message runs inside the form layer's guard.
#include "editors/win32/editor_windows.h"

#include "editors/category_editor.h"
#include "editors/editor_template.h"
#include "editors/win32/busy_while.h"
#include "editors/win32/engine_page.h"
#include "framework/win32/browser_control.h"
#include "framework/win32/controls.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/operations.h"
#include "framework/win32/page_guard.h"
#include "framework/win32/ui_tasks.h"
#include "framework/navigation_guard.h"
#include "library/udate.h"
#include "sync/win32/window_session.h"
#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include <memory>

namespace orv::editors {
namespace {

HWND g_categoryEditor = nullptr;

constexpr int kClientWidth = 606;
constexpr int kClientHeight = 458;
constexpr const char* kFont = "Microsoft YaHei,9,0";
enum : int {
    kCommand1 = 108, kCommand2 = 109, kCommand3 = 117,
    kText1 = 201, kText2, kText3, kLabel1, kLabel2, kLabel3, kLabel4, kLabel5, kFrame1, kOption1, kCheck1 = kOption1 + 3,
    kMiniblink1 = 220
};
constexpr const char* kOptionCaptions[3] = {"不在ORV里显示", "显示在ORV里面", "显示为文件"};
constexpr UINT_PTR kReadyTimer = 1;
constexpr UINT kReadyStep = 50;
constexpr DWORD kReadyLimit = 15000;
constexpr std::string_view kReadyScript =
    "return (document.readyState===\"complete\"&&(typeof editor!==\"undefined\"||"
    "!!document.getElementById(\"DescriptionSource\")))?\"1\":\"0\"";
constexpr std::string_view kSourceScript = "return editor.getSource();";

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

class CategoryEditorWindow : public framework::FormHandler {
public:
    CategoryEditorWindow(EditorHost host, CategoryState state, std::string page)
        : host_(std::move(host)), state_(std::move(state)), pageText_(std::move(page)) {}

    bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (message == WM_CREATE) {
            createControls(form);
            return false;
        }
        if (message != WM_TIMER || wParam != kReadyTimer) return false;
        checkReady(form);
        result = 0;
        return true;
    }

    void onCreated(HWND form, LPARAM) override {
        SetWindowTextW(form, wide(state_.isNew() ? kNewCategoryCaption : kChangeCategoryCaption).c_str());
        fill();
        if (!control_->HasView()) {
            prompter_.message(text::wideToUtf8(framework::EngineProblem()), library::MessageKind::Error);
            closeNow(form);
            return;
        }
        page_ = std::make_unique<EnginePage>(*control_);
        // The page holds text that strangers wrote: without the guard it is not shown.
        if (!framework::GuardPageView(*control_, wide(host_.ideFolder), framework::OpenInSystemBrowser)) {
            prompter_.message(text::wideToUtf8(framework::PageGuardProblem(*control_)), library::MessageKind::Error);
            closeNow(form);
            return;
        }
        // A link of the description opened in a window of its own would outlive this one:
        // the engine gets its own view back, and an outside address goes to the system's
        // browser once the callback has returned.
        control_->SetEvent("CREATEVIEW", [](framework::BrowserEvent& e) -> std::intptr_t {
            if (framework::IsOutsideAddress(text::wideToUtf8(e.text)))
                framework::PostUiTask([url = e.text] { framework::OpenInSystemBrowser(url); });
            return reinterpret_cast<std::intptr_t>(e.webView);
        });
        // Nothing can be typed into the description before it is in (see checkReady).
        EnableWindow(control_->ViewWindow(), FALSE);
        control_->LoadHtml(pageText_);
        pageText_.clear();
        loadStarted_ = GetTickCount();
        SetTimer(form, kReadyTimer, kReadyStep, nullptr);
    }

    void onCommand(HWND form, int id, int code, HWND) override {
        if (code != BN_CLICKED || !ready_ || busy_) return;
        if (id == kCommand1) save(form);
        else if (id == kCommand2) framework::PostCloseRequest(form);
        else if (id == kCommand3) chooseParent(form);
    }

    int onCloseRequest(HWND form) override {
        if (done_ || !ready_) return 0;
        if (busy_) return 1;
        const std::optional<CategoryFields> fields = readFields();
        // A page that cannot be read cannot tell whether anything changed: the user decides.
        if (!fields)
            return framework::ShowMessageBox(form, texts::kCloseUnreadable, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
                           IDYES
                       ? 0
                       : 1;
        if (!CategoryModified(state_, *fields)) return 0;
        switch (framework::ShowMessageBox(form, texts::kModified, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            save(form);
            return 1;
        case IDNO: return 0;
        default: return 1;
        }
    }

    void onDestroy(HWND form) override {
        KillTimer(form, kReadyTimer);
        control_.reset();
        if (g_categoryEditor == form) g_categoryEditor = nullptr;
    }

private:
    void createControls(HWND form) {
        prompter_ = framework::MessageBoxPrompter(form);
        progress_.setOwner(form);
        session_ = std::make_unique<sync::ServerSession>(
            sync::windowSession(host_.settings, prompter_, progress_, host_.openSetup));
        framework::PlaceControl(form, "LABEL", L"Label5", kLabel5, "父分类：", {12, 16, 70, 20});
        text3_ = framework::PlaceControl(form, "TEXTBOX", L"Text3", kText3, "", {84, 12, 420, 26},
                                         WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY);
        command3_ = framework::PlaceControl(form, "BUTTON", L"Command3", kCommand3, "选择", {512, 11, 82, 28});
        framework::PlaceControl(form, "LABEL", L"Label2", kLabel2, "分类名：", {12, 52, 70, 20});
        text1_ = framework::PlaceControl(form, "TEXTBOX", L"Text1", kText1, "", {84, 48, 250, 26});
        framework::PlaceControl(form, "LABEL", L"Label3", kLabel3, "排序号：", {346, 52, 60, 20});
        text2_ = framework::PlaceControl(form, "TEXTBOX", L"Text2", kText2, "10000", {406, 48, 98, 26});
        label4_ = framework::PlaceControl(form, "LABEL", L"Label4", kLabel4, "数据库ID：", {512, 52, 90, 20});
        framework::PlaceControl(form, "GROUPBOX", L"Frame1", kFrame1, "类别", {12, 82, 582, 54});
        for (int i = 0; i < 3; ++i) {
            const std::uint32_t style = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
            options_[i] = framework::PlaceControl(form, "OPTION", L"Option1", kOption1 + i, kOptionCaptions[i],
                                                  {28 + i * 186, 104, 180, 22}, style, i);
        }
        check1_ = framework::PlaceControl(form, "CHECKBOX", L"Check1", kCheck1,
                                          "同步子分类（修改所有子分类为相同类别）", {12, 142, 420, 22});
        framework::PlaceControl(form, "LABEL", L"Label1", kLabel1, "描述，说明 【网页代码】", {12, 170, 300, 20});
        control_ = std::make_unique<framework::BrowserControl>(form, kMiniblink1, L"Miniblink1", 12, 192, 582, 214);
        command1_ = framework::PlaceControl(form, "BUTTON", L"Command1", kCommand1,
                                            state_.isNew() ? "确定新增" : "确定修改", {398, 418, 96, 30});
        framework::PlaceControl(form, "BUTTON", L"Command2", kCommand2, "取消", {500, 418, 94, 30});
    }

    void fill() {
        framework::SetControlText(text3_, wide(state_.parentText));
        framework::SetControlText(text1_, wide(state_.name));
        // A name the control cannot show as stored (invalid UTF-8) is no change until the
        // user touches it: the loaded name is what the box shows now, before anyone types.
        state_.name = text::wideToUtf8(framework::GetControlText(text1_));
        framework::SetControlText(text2_, std::to_wstring(state_.sort));
        if (!state_.isNew()) framework::SetControlText(label4_, L"分类ID:" + std::to_wstring(state_.dID));
        int chosen = 1;
        for (int i = 0; i < 3; ++i)
            if (kKindOptions[i] == state_.kind) chosen = i;
        if (state_.special) {
            chosen = 1;
            framework::SetControlText(options_[1], wide(state_.kind == library::kCategoryRecycleBin ? kRecycleBinLabel
                                                                                                  : kPrivateLibraryLabel));
            for (HWND off : {options_[0], options_[2], check1_, command3_}) framework::EnableControl(off, false);
        }
        framework::SetCheckState(options_[chosen], BST_CHECKED);
    }

    void checkReady(HWND form) {
        const std::optional<std::string> ready = page_->run(kReadyScript);
        if ((!ready || *ready != "1") && GetTickCount() - loadStarted_ < kReadyLimit) return;
        KillTimer(form, kReadyTimer);
        // The editor's own rendering of the stored description is what an untouched
        // page gives back.
        const std::optional<std::string> shown = page_->run(kSourceScript);
        if (!shown) {
            prompter_.message(texts::kPageUnreadable, library::MessageKind::Error);
            closeNow(form);
            return;
        }
        state_.description = *shown;
        ready_ = true;
        EnableWindow(control_->ViewWindow(), TRUE);
    }

    std::optional<CategoryFields> readFields() {
        CategoryFields f;
        f.parentText = text::wideToUtf8(framework::GetControlText(text3_));
        f.name = text::wideToUtf8(framework::GetControlText(text1_));
        f.sort = text::wideToUtf8(framework::GetControlText(text2_));
        f.kind = state_.kind;
        for (int i = 0; i < 3; ++i)
            if (framework::GetCheckState(options_[i]) == BST_CHECKED) f.kind = state_.special ? state_.kind : kKindOptions[i];
        f.syncKinds = framework::GetCheckState(check1_) == BST_CHECKED;
        const std::optional<std::string> description = page_->run(kSourceScript);
        if (!description) return std::nullopt;
        f.description = *description;
        return f;
    }

    void chooseParent(HWND form) {
        const std::optional<long long> chosen = chooseCategory(form, host_.db, state_.lib);
        if (chosen) framework::SetControlText(text3_, wide(parentFieldText(host_.db, state_.lib, *chosen)));
    }

    // A save is an operation of the plug-in. Busy until it ends, however it ends.
    void save(HWND form) {
        const std::optional<CategoryFields> fields = readFields();
        if (!fields) {
            prompter_.message(texts::kPageUnreadable, library::MessageKind::Error);
            return;
        }
        const auto operation = framework::BeginOperation(form, "保存");
        if (!operation) return;
        CategorySave saved;
        {
            const BusyWhile busy(busy_);
            const EditorSources sources{host_.db, prompter_, *session_, library::uDateNow};
            saved = SaveCategory(sources, state_, *fields);
        }
        if (saved.outcome == SaveOutcome::Stopped) {
            const HWND focus = saved.focus == CategoryField::Parent ? text3_
                               : saved.focus == CategoryField::Name ? text1_
                               : saved.focus == CategoryField::Sort ? text2_
                                                                    : nullptr;
            if (focus) framework::FocusControl(focus);
            return;
        }
        const int lib = state_.lib;
        const auto show = host_.showSaved;
        const long long dID = saved.dID;
        closeNow(form);
        if (show && dID != 0) show(lib, dID, render::TargetKind::Category);
    }

    void closeNow(HWND form) {
        done_ = true;
        DestroyWindow(form);
    }

    EditorHost host_;
    CategoryState state_;
    std::string pageText_;
    framework::MessageBoxPrompter prompter_;
    tools::ProgressOver progress_;
    std::unique_ptr<sync::ServerSession> session_;
    std::unique_ptr<framework::BrowserControl> control_;
    std::unique_ptr<EnginePage> page_;
    HWND text1_ = nullptr, text2_ = nullptr, text3_ = nullptr, label4_ = nullptr, check1_ = nullptr,
         command1_ = nullptr, command3_ = nullptr;
    HWND options_[3] = {};
    DWORD loadStarted_ = 0;
    bool ready_ = false;
    bool busy_ = false;
    bool done_ = false;
};

}  // namespace

void openCategoryEditor(HWND owner, const EditorHost& host, CategoryMode mode, const library::TreeNode& node) {
    framework::MessageBoxPrompter prompter(owner);
    // Each 编辑 or 新建 opens on its own node; the open editor's changes are asked about.
    if (!framework::CloseForReopen(g_categoryEditor)) return;
    std::optional<CategoryState> state = LoadCategory(host.db, mode, node);
    if (!state) {
        prompter.message(kCategoryUnreadable, library::MessageKind::Error);
        return;
    }
    tools::ProgressOver progress(owner);
    sync::ServerSession session = sync::windowSession(host.settings, prompter, progress, host.openSetup);
    if (!editingAllowed(session, state->lib, state->special)) return;
    const std::string page = LoadEditorTemplate(host.ideFolder, kCategoryTemplate);
    if (page.empty()) {
        prompter.message(std::string(texts::kTemplateMissing) + std::string(kCategoryTemplate),
                         library::MessageKind::Error);
        return;
    }
    std::string filled = FillDescriptionPage(page, state->description, buttonFaceColour());
    framework::FormOptions options;
    options.name = L"Form分类";
    options.caption = wide(kCategoryWindowCaption);
    options.owner = owner;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.clientSize = true;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    options.font = kFont;
    g_categoryEditor = framework::CreateFittedForm(
        options, std::make_unique<CategoryEditorWindow>(host, std::move(*state), std::move(filled)),
        "无法打开分类编辑窗口：");
    if (g_categoryEditor) framework::ShowForm(g_categoryEditor);
}

HWND categoryEditorWindow() { return g_categoryEditor; }

bool closeEditors() {
    for (HWND editor : {entryEditorWindow(), categoryEditorWindow()}) {
        if (!editor) continue;
        SendMessageW(editor, WM_CLOSE, 0, 0);
        if (IsWindow(editor)) return false;
    }
    return true;
}

}  // namespace orv::editors
