// The setup window: its controls at their places, the fill from the settings in memory,
// and its commands over the setup core. Win32 only; every message runs inside the form
// layer's guard.
#include "setup/win32/setup_window.h"

#include "framework/win32/operations.h"
#include "framework/win32/controls.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "library/prompt.h"
#include "library/schema.h"
#include "setup/setup_options.h"
#include "setup/win32/online_window.h"
#include "sync/server_protocol.h"
#include "sync/server_reply.h"
#include "sync/win32/window_session.h"
#include "text/win32/wide_text.h"
#include "tools/win32/import_window.h"
#include "tools/win32/progress_window.h"

#include <memory>

namespace orv::setup {
namespace {

HWND g_setup = nullptr;

constexpr int kClientWidth = 420;
constexpr int kClientHeight = 331;
constexpr const char* kFont = "Microsoft YaHei,9,0";
enum : int {
    kText1 = 102, kText2 = 103, kCheck1 = 104, kCommand1 = 105, kCommand2 = 109, kLevelText = 111,
    kCommand3 = 112, kCommand4 = 114, kCommand5 = 116, kCheck2 = 117, kText3 = 119, kCheck3 = 120,
    kCheck4 = 121, kCommand6 = 122
};
constexpr std::string_view kCompacted = "完成整理！";
constexpr std::string_view kNotSaved = "设置未能保存：\r\n";

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

struct Box {
    int id;
    bool SetupFields::*field;
};
constexpr Box kBoxes[] = {{kCheck1, &SetupFields::kill},
                          {kCheck2, &SetupFields::update},
                          {kCheck3, &SetupFields::recycle},
                          {kCheck4, &SetupFields::classified}};

class SetupWindow : public framework::FormHandler {
public:
    explicit SetupWindow(SetupHost host) : host_(std::move(host)) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_CREATE) createControls(form);
        return false;
    }

    void onCreated(HWND form, LPARAM) override {
        prompter_ = framework::MessageBoxPrompter(form);
        progress_.setOwner(form);
        fill(form);
    }

    void onCommand(HWND form, int id, int code, HWND) override {
        if (code != BN_CLICKED) return;
        switch (id) {
        case kCommand1:
            if (const auto operation = framework::BeginOperation(form, "确定修改")) confirm(form);
            break;
        case kCommand2: framework::PostCloseRequest(form); break;
        // The login test and the windows this one opens wait or loop in their turn:
        // none starts inside a running operation.
        case kCommand4:
            if (!framework::RefusedWhileBusy(form)) testLogin(form);
            break;
        case kCommand5:
            if (const auto operation = framework::BeginOperation(form, "整理数据库")) compact(form);
            break;
        case kCommand3:
            if (!framework::RefusedWhileBusy(form)) registerAccount(form);
            break;
        case kCommand6:
            if (framework::RefusedWhileBusy(form)) break;
            tools::runImportWindow(form, tools::ImportHost{host_.db, host_.ideFolder, host_.settings.user,
                                                           host_.showImportReport, host_.reloadTree});
            break;
        default: break;
        }
    }

    void onDestroy(HWND form) override {
        if (g_setup == form) g_setup = nullptr;
    }

private:
    void createControls(HWND form) {
        framework::PlaceControl(form, "LABEL", L"Label5", 0, "服务器：", {8, 6, 54, 20});
        framework::PlaceControl(form, "TEXTBOX", L"Text3", kText3, "", {63, 3, 344, 22});
        framework::PlaceControl(form, "LABEL", L"Label1", 0, "账号：", {8, 33, 54, 20});
        framework::PlaceControl(form, "TEXTBOX", L"Text1", kText1, "", {62, 29, 130, 24});
        framework::PlaceControl(form, "LABEL", L"Label2", 0, "在澄岭网站注册的账号", {198, 33, 146, 20});
        framework::PlaceControl(form, "BUTTON", L"Command3", kCommand3, "注册账号", {346, 28, 63, 24});
        framework::PlaceControl(form, "LABEL", L"Label3", 0, "密码：", {8, 60, 54, 20});
        framework::PlaceControl(form, "TEXTBOX", L"Text2", kText2, "", {62, 56, 130, 24},
                                WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD);
        framework::PlaceControl(form, "LABEL", L"Label4", 0, "用于网络更新和同步数据", {198, 60, 146, 20});
        framework::PlaceControl(form, "BUTTON", L"Command4", kCommand4, "测试登陆", {346, 55, 63, 24});
        framework::PlaceControl(form, "LINE", L"Line1", 0, "", {8, 86, 404, 1});
        framework::PlaceControl(form, "LABEL", L"Label2", kLevelText, sync::kAccountLevels, {12, 92, 396, 82});
        framework::PlaceControl(form, "CHECKBOX", L"Check1", kCheck1, "删除操作时提示出对话框", {12, 178, 367, 19});
        framework::PlaceControl(form, "CHECKBOX", L"Check2", kCheck2,
                                "公共库随意修改，不同步修改服务器的公库（造成无法和大家同步）", {11, 198, 393, 19});
        framework::PlaceControl(form, "CHECKBOX", L"Check3", kCheck3, "当回收站里有被删除的就显示回收站",
                                {11, 219, 367, 19});
        framework::PlaceControl(form, "CHECKBOX", L"Check4", kCheck4, "分类显示子分类和词条列表", {11, 240, 367, 19});
        framework::PlaceControl(form, "LINE", L"Line2", 0, "", {8, 264, 404, 1});
        framework::PlaceControl(form, "BUTTON", L"Command5", kCommand5, "整理数据库", {4, 270, 94, 27});
        framework::PlaceControl(form, "BUTTON", L"Command6", kCommand6, "制作", {104, 270, 63, 27});
        framework::PlaceControl(form, "BUTTON", L"Command1", kCommand1, "确定修改", {268, 270, 63, 27});
        framework::PlaceControl(form, "BUTTON", L"Command2", kCommand2, "取消", {349, 270, 63, 27});
    }

    void fill(HWND form) {
        const SetupFields f = FieldsOf(host_.settings);
        for (const Box& box : kBoxes)
            framework::SetCheckState(GetDlgItem(form, box.id), f.*box.field ? BST_CHECKED : BST_UNCHECKED);
        framework::SetControlText(GetDlgItem(form, kText1), wide(f.user));
        framework::SetControlText(GetDlgItem(form, kText2), wide(f.password));
        framework::SetControlText(GetDlgItem(form, kText3), wide(f.server));
    }

    SetupFields fields(HWND form) const {
        SetupFields f;
        for (const Box& box : kBoxes) f.*box.field = framework::GetCheckState(GetDlgItem(form, box.id)) == BST_CHECKED;
        const auto textOf = [&](int id) { return text::wideToUtf8(framework::GetControlText(GetDlgItem(form, id))); };
        f.user = textOf(kText1);
        f.password = textOf(kText2);
        f.server = textOf(kText3);
        return f;
    }

    bool written(HWND form, const SetupWritten& result) {
        if (result.ok) return true;
        framework::ShowMessageBox(form, std::string(kNotSaved) + result.error, MB_OK | MB_ICONERROR);
        return false;
    }

    void confirm(HWND form) {
        if (!host_.store) {
            framework::PostCloseRequest(form);
            return;
        }
        const SetupWritten result = ApplySetup(host_.settings, *host_.store, fields(form));
        if (result.recycleChanged && host_.refreshTree) host_.refreshTree();
        if (written(form, result)) framework::PostCloseRequest(form);
    }

    void testLogin(HWND form) {
        const SetupFields f = fields(form);
        if (const std::string problem = AccountProblem(f.user, f.password); !problem.empty()) {
            framework::ShowMessageBox(form, problem, MB_OK | MB_ICONERROR | MB_TOPMOST);
            return;
        }
        if (host_.store && !written(form, ApplyAccount(host_.settings, *host_.store, f))) return;
        // The box now shows what is stored: the digest, so that a second test hashes nothing.
        framework::SetControlText(GetDlgItem(form, kText2), wide(host_.settings.password));
        // A refused account is corrected here, in the window already open.
        sync::ServerSession session =
            sync::windowSession(host_.settings, prompter_, progress_, [form] { framework::BringFormForward(form); });
        sync::TestLogin(session, true);
    }

    // "注册账号": the server's registration page in the online window; an account made
    // there comes back as the account name, its password for the user to type.
    void registerAccount(HWND form) {
        const std::string page = runOnlineWindow(form, registrationUrl(fields(form).server), framework::OpenInSystemBrowser);
        const std::optional<std::string> name = RegisteredAccount(page);
        if (!name) return;
        framework::SetControlText(GetDlgItem(form, kText1), wide(*name));
        framework::SetControlText(GetDlgItem(form, kText2), L"");
        framework::FocusControl(GetDlgItem(form, kText2));
    }

    void compact(HWND form) {
        host_.db.vacuum(library::kPublic);
        host_.db.vacuum(library::kPrivate);
        framework::ShowMessageBox(form, kCompacted, MB_OK | MB_ICONINFORMATION);
    }

    SetupHost host_;
    framework::MessageBoxPrompter prompter_;
    tools::ProgressOver progress_;
};

}  // namespace

void openSetupWindow(HWND owner, const SetupHost& host) {
    if (framework::BringFormForward(g_setup)) return;
    framework::FormOptions options;
    options.name = L"Setup";
    options.caption = L"设置";
    options.owner = owner;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.clientSize = true;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    options.font = kFont;
    g_setup = framework::CreateFittedForm(options, std::make_unique<SetupWindow>(host), "无法打开设置窗口：");
    if (g_setup) framework::ShowForm(g_setup);
}

HWND setupWindow() { return g_setup; }

}  // namespace orv::setup
