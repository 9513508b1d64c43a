// The sync window: its controls at their places, the list of change records read again
// after every command, and the commands over the sync list's core. Win32 only; every
// message runs inside the form layer's guard.
#include "sync/win32/sync_window.h"

#include "framework/win32/controls.h"
#include "framework/win32/form.h"
#include "framework/win32/list_view.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/operations.h"
#include "framework/win32/screen_scale.h"
#include "sync/server_protocol.h"
#include "sync/sync_list.h"
#include "sync/win32/window_session.h"
#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include <commctrl.h>

#include <memory>
#include <stdexcept>
#include <unordered_map>

namespace orv::sync {
namespace {

HWND g_sync = nullptr;

constexpr int kClientWidth = 577;
constexpr int kClientHeight = 527;
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 400;
constexpr const char* kFont = "Microsoft YaHei,9,0";
constexpr const char* kCaption = "公共库修改记录，同步修改服务器公共库记录";
enum : int {
    kCheckAll = 102, kList = 103, kUncheckAll = 104, kCheckPending = 105, kDelete = 106, kApply = 107,
    kAbandon = 108, kText = 109, kSetPending = 110, kFrame1 = 111, kFrame2 = 112, kFrame3 = 113, kFetch = 114
};

class SyncWindow : public framework::FormHandler {
public:
    explicit SyncWindow(SyncHost host) : host_(std::move(host)) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (message == WM_CREATE) {
            createControls(form);
            return false;
        }
        if (message == WM_GETMINMAXINFO) {
            const framework::DpiScale& scale = framework::ScreenScale();
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {scale.ScaleX(kMinWidth), scale.ScaleY(kMinHeight)};
            result = 0;
            return true;
        }
        return false;
    }

    void onCreated(HWND form, LPARAM) override {
        prompter_ = framework::MessageBoxPrompter(form);
        progress_.setOwner(form);
        fill();
    }

    void onLayout(HWND form, int width, int height) override {
        if (IsIconic(form) || width <= 0 || height <= 0) return;
        const framework::DpiScale& scale = framework::ScreenScale();
        const int w = scale.UnscaleX(width), h = scale.UnscaleY(height);
        framework::MoveControl(list_, 5, 53, w - 10, h - 203);
        framework::MoveControl(text_, 5, h - 145, w - 10, 140);
    }

    void onCommand(HWND form, int id, int code, HWND) override {
        if (code != BN_CLICKED) return;
        switch (id) {
        case kCheckAll: setChecks(checkAllRows(listedRows())); break;
        case kCheckPending: setChecks(checkPendingRows(listedRows())); break;
        case kUncheckAll: setChecks(uncheckAllRows(listedRows())); break;
        case kDelete: recordCommand(form, "删除", RecordCommand::Delete); break;
        case kAbandon: recordCommand(form, "放弃", RecordCommand::Abandon); break;
        case kSetPending: recordCommand(form, "未更新", RecordCommand::SetPending); break;
        case kApply: apply(form); break;
        case kFetch: fetch(form); break;
        default: break;
        }
    }

    LRESULT onNotify(HWND, NMHDR& header) override {
        if (header.idFrom != kList || filling_) return 0;
        if (header.code == LVN_COLUMNCLICK) {
            sortOrder_.sortBy(list_, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        } else if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return 0;
            const UINT changed = change.uNewState ^ change.uOldState;
            if (changed & LVIS_STATEIMAGEMASK) followChecks();
            constexpr UINT kChosen = LVIS_SELECTED | LVIS_FOCUSED;
            if ((changed & kChosen) && (change.uNewState & kChosen) == kChosen) showDetail(change.iItem);
        }
        return 0;
    }

    void onDestroy(HWND form) override {
        if (g_sync == form) g_sync = nullptr;
    }

private:
    void createControls(HWND form) {
        using framework::PlaceControl;
        PlaceControl(form, "GROUPBOX", L"Frame1", kFrame1, "选择", {4, 2, 154, 45});
        PlaceControl(form, "GROUPBOX", L"Frame2", kFrame2, "修改", {164, 2, 151, 45});
        frame3_ = PlaceControl(form, "GROUPBOX", L"Frame3", kFrame3, "同步", {325, 2, 170, 45});
        PlaceControl(form, "BUTTON", L"Command1", kCheckAll, "全选", {10, 18, 44, 22});
        PlaceControl(form, "BUTTON", L"Command3", kCheckPending, "未更新", {59, 18, 44, 22});
        PlaceControl(form, "BUTTON", L"Command2", kUncheckAll, "全不选", {108, 18, 44, 22});
        recordButtons_[0] = PlaceControl(form, "BUTTON", L"Command4", kDelete, "删除", {170, 18, 41, 22});
        recordButtons_[1] = PlaceControl(form, "BUTTON", L"Command7", kAbandon, "放弃", {215, 18, 41, 22});
        recordButtons_[2] = PlaceControl(form, "BUTTON", L"Command6", kSetPending, "未更新", {262, 18, 47, 22});
        HWND fetchButton = PlaceControl(form, "BUTTON", L"Command8", kFetch, "检查更新", {331, 18, 69, 22});
        HWND applyButton = PlaceControl(form, "BUTTON", L"Command5", kApply, "更新公共库", {406, 18, 83, 22});
        framework::SetControlToolTip(fetchButton, L"联系服务器，立即获取更新记录");
        framework::SetControlToolTip(applyButton, L"对所有未更新状态记录（无论选择否）更新到公共库");
        list_ = PlaceControl(form, "LISTVIEW", L"ListView1", kList, "", {6, 53, 551, 292},
                             WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
        SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
        if (!framework::SetListColumns(list_, {{"命令", 83}, {"用户", 113}, {"日期", 130}, {"名称", 150}, {"状态", 76}}))
            throw std::runtime_error("the list's columns could not be made");
        text_ = PlaceControl(form, "TEXTBOX", L"Text1", kText, "", {6, 349, 551, 136},
                             WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
        enableRecordButtons(false);
    }

    // The list read again: pending records first, the help text, the captions.
    void fill() {
        rows_.clear();
        sortOrder_ = {};  // the rows come in the list's own order again
        filling_ = true;
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        for (SyncRow& row : ReadSyncList(host_.db)) {
            framework::AddListRow(list_, {row.command, row.user, row.date, row.name, row.stateText},
                                  static_cast<LPARAM>(row.lID));
            const long long lID = row.lID;
            rows_.emplace(lID, std::move(row));
        }
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
        filling_ = false;
        framework::SetControlText(text_, text::utf8ToWide(kSyncHelpText));
        enableRecordButtons(false);
        setCaptions();
    }

    void setCaptions() {
        const std::string caption = pendingCaption(host_.db);
        framework::SetControlText(frame3_, text::utf8ToWide(caption));
        if (host_.setSyncCaption) host_.setSyncCaption(caption);
    }

    // The rows in the order the list shows them now (a header click may have sorted it).
    std::vector<SyncRow> listedRows() const {
        std::vector<SyncRow> listed;
        const int count = framework::ListRowCount(list_);
        for (int i = 0; i < count; ++i) {
            const auto found = rows_.find(static_cast<long long>(framework::ListRowData(list_, i)));
            listed.push_back(found != rows_.end() ? found->second : SyncRow{});
        }
        return listed;
    }

    std::vector<bool> checks() const {
        std::vector<bool> marks;
        const int count = framework::ListRowCount(list_);
        for (int i = 0; i < count; ++i) marks.push_back(ListView_GetCheckState(list_, i) != FALSE);
        return marks;
    }

    void setChecks(const std::vector<bool>& marks) {
        filling_ = true;
        for (size_t i = 0; i < marks.size(); ++i) ListView_SetCheckState(list_, static_cast<int>(i), marks[i] ? TRUE : FALSE);
        filling_ = false;
        followChecks();
    }

    void followChecks() { enableRecordButtons(recordCommandsEnabled(checks())); }

    void enableRecordButtons(bool enable) {
        for (HWND button : recordButtons_) framework::EnableControl(button, enable);
    }

    void showDetail(int row) {
        const SyncDetail detail = DescribeRecord(host_.db, static_cast<long long>(framework::ListRowData(list_, row)));
        if (!detail.found) return;
        framework::SetControlText(text_, text::utf8ToWide(detail.text));
        if (!detail.link.empty() && host_.showLink) host_.showLink(detail.link);
    }

    // Each command that writes is an operation of the plug-in: a second click while the
    // first runs, or another window's command meanwhile, is refused.
    void recordCommand(HWND form, std::string_view what, RecordCommand command) {
        const auto operation = framework::BeginOperation(form, what);
        if (!operation) return;
        const RecordCommandResult result =
            RunRecordCommand(host_.db, prompter_, command, checkedRecords(listedRows(), checks()));
        if (result.wrote) fill();
    }

    void apply(HWND form) {
        const auto operation = framework::BeginOperation(form, "更新公共库");
        if (!operation || !UpdatePublicLibrary(host_.db, prompter_)) return;
        fill();
        if (host_.libraryChanged) host_.libraryChanged();
    }

    void fetch(HWND form) {
        const auto operation = framework::BeginOperation(form, "检查更新");
        if (!operation) return;
        ServerSession session = windowSession(host_.settings, prompter_, progress_, host_.openSetup);
        RunUpdateCheck(session, host_.db);
        fill();
    }

    SyncHost host_;
    framework::MessageBoxPrompter prompter_;
    tools::ProgressOver progress_;
    HWND list_ = nullptr;
    HWND text_ = nullptr;
    HWND frame3_ = nullptr;
    HWND recordButtons_[3] = {};
    std::unordered_map<long long, SyncRow> rows_;
    framework::ListSortOrder sortOrder_;
    bool filling_ = false;
};

}  // namespace

void openSyncWindow(HWND owner, const SyncHost& host) {
    if (framework::BringFormForward(g_sync)) return;
    framework::FormOptions options;
    options.name = kSyncWindowName;
    options.caption = text::utf8ToWide(kCaption);
    options.owner = owner;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.clientSize = true;
    options.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    options.font = kFont;
    g_sync = framework::CreateFittedForm(options, std::make_unique<SyncWindow>(host), "无法打开同步窗口：");
    if (g_sync) framework::ShowForm(g_sync);
}

HWND syncWindow() { return g_sync; }

}  // namespace orv::sync
