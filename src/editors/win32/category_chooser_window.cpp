// The category chooser's window (Form选择目录): a library's categories under one top
// item that stands for the top level, shown modal over the window that asks. Win32
// only; every message runs inside the form layer's guard.
#include "editors/win32/editor_windows.h"

#include "editors/category_chooser.h"
#include "framework/win32/controls.h"
#include "framework/win32/form.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/operations.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

#include <memory>

namespace orv::editors {
namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 460;
constexpr const char* kFont = "Microsoft YaHei,9,0";
enum : int { kTreeList1 = 101, kOk = 102, kCancel = 103 };

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

class ChooserWindow : public framework::FormHandler {
public:
    ChooserWindow(library::HostDb& db, int lib, std::optional<long long>& chosen) : db_(db), lib_(lib), chosen_(chosen) {}

    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_CREATE) createControls(form);
        return false;
    }

    void onCreated(HWND form, LPARAM) override {
        SetWindowTextW(form, wide(chooserCaption(lib_)).c_str());
        const HTREEITEM top = insert(TVI_ROOT, chooserTopText(lib_), 0);
        for (const ChooserNode& node : ChooserTree(db_, lib_)) insertBranch(top, node);
        TreeView_Expand(tree_, top, TVE_EXPAND);
        TreeView_SelectItem(tree_, top);
        SetFocus(tree_);
    }

    void onCommand(HWND form, int id, int code, HWND) override {
        if (code != BN_CLICKED) return;
        if (id == kOk) choose(form);
        else if (id == kCancel) framework::PostCloseRequest(form);
    }

    LRESULT onNotify(HWND form, NMHDR& header) override {
        if (header.hwndFrom == tree_ && header.code == NM_DBLCLK) choose(form);
        return 0;
    }

private:
    void createControls(HWND form) {
        tree_ = framework::PlaceControl(
            form, "TREEVIEW", L"mCtrlTreeList1", kTreeList1, "", {10, 10, 300, 400},
            WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
        framework::PlaceControl(form, "BUTTON", L"Command1", kOk, "确定", {114, 420, 94, 30},
                                WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
        framework::PlaceControl(form, "BUTTON", L"Command2", kCancel, "取消", {216, 420, 94, 30});
    }

    HTREEITEM insert(HTREEITEM parent, const std::string& text, long long dID) {
        std::wstring caption = wide(text);
        TVINSERTSTRUCTW item{};
        item.hParent = parent;
        item.hInsertAfter = TVI_LAST;
        item.item.mask = TVIF_TEXT | TVIF_PARAM;
        item.item.pszText = caption.data();
        item.item.lParam = static_cast<LPARAM>(dID);
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }

    void insertBranch(HTREEITEM parent, const ChooserNode& node) {
        const HTREEITEM item = insert(parent, node.name, node.dID);
        for (const ChooserNode& child : node.children) insertBranch(item, child);
    }

    void choose(HWND form) {
        const HTREEITEM selected = TreeView_GetSelection(tree_);
        if (!selected) return;
        TVITEMW item{};
        item.mask = TVIF_PARAM;
        item.hItem = selected;
        if (!TreeView_GetItem(tree_, &item)) return;
        chosen_ = static_cast<long long>(item.lParam);
        framework::PostCloseRequest(form);
    }

    library::HostDb& db_;
    int lib_;
    std::optional<long long>& chosen_;
    HWND tree_ = nullptr;
};

}  // namespace

std::optional<long long> chooseCategory(HWND owner, library::HostDb& db, int lib) {
    // A modal window opened inside a running operation's waits would hold it until closed.
    if (framework::RefusedWhileBusy(owner)) return std::nullopt;
    std::optional<long long> chosen;
    framework::FormOptions options;
    options.name = L"Form选择目录";
    options.caption = wide(kChooserWindowCaption);
    options.owner = owner;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.clientSize = true;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    options.font = kFont;
    std::string error;
    HWND form = framework::CreateForm(options, std::make_unique<ChooserWindow>(db, lib, chosen), error);
    if (!form) {
        framework::MessageBoxPrompter(owner).message("无法打开分类选择窗口：" + error, library::MessageKind::Error);
        return std::nullopt;
    }
    framework::ShowModal(form);
    return chosen;
}

}  // namespace orv::editors
