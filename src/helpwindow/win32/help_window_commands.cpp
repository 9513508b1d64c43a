// What the help window is asked to do: its commands, routed to the family that owns each
// id (browsing, the catalogue, other windows, the panes); the page message; following
// links; and the windows it opens. Win32 only; the thread rule is in help_window_form.h.
#include "editors/win32/editor_windows.h"
#include "framework/navigation_guard.h"
#include "framework/win32/message_box.h"
#include "framework/win32/operations.h"
#include "framework/win32/page_guard.h"
#include "helpwindow/win32/help_window_form.h"
#include "helpwindow/window_layout.h"
#include "setup/win32/setup_window.h"
#include "sync/win32/sync_window.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

namespace orv::helpwindow {
namespace {

constexpr const char* kAboutText =
    "Orvinta 编程帮助文档 2.0.7\r\n\r\nFreeBASIC 关键字帮助系统，Orvinta IDE 插件。\r\n"
    "制作：OrvintaHelp 开发组\r\n网址：http://orvinta.net/";

}  // namespace

void HelpWindow::onCommand(HWND, int id, int code, HWND) {
    if (browsingCommand(id) || catalogueCommand(id) || windowCommand(id) || paneCommand(id, code)) return;
    // Every command id of the window is handled above; what is left is no command.
}

void HelpWindow::runOperation(std::string_view what, const std::function<void()>& body) {
    const auto operation = framework::BeginOperation(form_, what);
    if (!operation) return;
    body();
    applyMenuStates();
}

// Home, back, forward, the page's own menu, about.
bool HelpWindow::browsingCommand(int id) {
    switch (id) {
    case kCmdHome:
        showStartPage();
        return true;
    case kCmdBack:
        if (auto link = history_.back()) openLink(*link);
        updateHistoryButtons();
        return true;
    case kCmdForward:
        if (auto link = history_.forward()) openLink(*link);
        updateHistoryButtons();
        return true;
    case kCmdAbout:
    case kMenuAbout:
        framework::ShowMessageBox(form_, kAboutText, MB_OK | MB_ICONEXCLAMATION);
        return true;
    case kMenuCopyText:
        page_.copy();
        return true;
    case kMenuSelectAll:
        page_.selectAll();
        return true;
    case kMenuViewSource:
        page_.viewSource(prompter_);
        return true;
    case kMenuSearchLinks:
        searchLinks();
        return true;
    default:
        return false;
    }
}

// The contents tree's commands that write: each is an operation of the plug-in.
bool HelpWindow::catalogueCommand(int id) {
    switch (id) {
    case kCmdDelete:
    case kMenuDelete:
        runOperation("删除", [this] { catalogue_->DeleteSelection(); });
        return true;
    case kMenuCopy:
        catalogue_->CopySelection();
        applyMenuStates();
        return true;
    case kMenuPaste:
        runOperation("粘贴", [this] { catalogue_->PasteCopied(false); });
        return true;
    case kMenuPasteShared:
        runOperation("粘贴", [this] { catalogue_->PasteCopied(true); });
        return true;
    case kMenuStatistics:
        runOperation("统计", [this] { catalogue_->CountSelection(); });
        return true;
    case kCmdFavorite:
        runOperation("收藏", [this] { catalogue_->ToggleFavorite(); });
        return true;
    case kMenuMove:
        moveSelection();
        return true;
    default:
        return false;
    }
}

// The windows this one opens: the editors, the sync and setup windows. None opens while
// an operation runs: a window opened from inside its waits would keep it from ending
// until that window closed.
bool HelpWindow::windowCommand(int id) {
    switch (id) {
    case kCmdEdit:
    case kMenuEdit:
    case kMenuNewTopCategory:
    case kMenuNewCategory:
    case kMenuNewEntry:
    case kCmdSync:
    case kCmdSetup:
        if (framework::RefusedWhileBusy(form_)) return true;
        break;
    default:
        break;
    }
    switch (id) {
    case kCmdEdit:
    case kMenuEdit:
        editSelected();
        return true;
    case kMenuNewTopCategory:
        editors::openCategoryEditor(form_, editorHost(), editors::CategoryMode::NewTop,
                                    firstSelected().value_or(library::TreeNode{}));
        return true;
    case kMenuNewCategory:
        if (auto node = firstSelected()) editors::openCategoryEditor(form_, editorHost(), editors::CategoryMode::NewChild, *node);
        return true;
    case kMenuNewEntry:
        if (auto node = firstSelected()) editors::openEntryEditor(form_, editorHost(), true, *node);
        return true;
    case kCmdSync:
        openSync();
        return true;
    case kCmdSetup:
        openSetup();
        return true;
    case kCmdNewMenu:  // its arrow drops the menu down (TBN_DROPDOWN)
        return true;
    default:
        return false;
    }
}

// The index, search and favorites panes.
bool HelpWindow::paneCommand(int id, int code) {
    switch (id) {
    case kText1:
        if (code == EN_CHANGE && !quietText_ && tab_ == kTabIndex) panes_->StartIndexLookup();
        return true;
    case kList1:
        if (code == LBN_SELCHANGE) panes_->OpenListItem();
        return true;
    case kCommand1:
        if (code == BN_CLICKED) panes_->RunSearch();
        return true;
    default:
        return false;
    }
}

// The page message: what the IDE asks, read only from memory found readable.
void HelpWindow::onPageMessage(WPARAM command, LPARAM argument) {
    const PageRequest request = ReadPageMessage(command, argument);
    switch (request.command) {
    case kShowRecord:
        renderPage(request.record);
        break;
    case kFollowLink:
        openLink(request.text);
        break;
    case kIndexWord:
        applyTab(kTabIndex);
        setSearchTextQuietly(request.text);
        panes_->StartIndexLookup();
        break;
    case kSearchText:
        applyTab(kTabSearch);
        setSearchTextQuietly(request.text);
        panes_->RunSearch();
        break;
    default:
        break;
    }
}

void HelpWindow::openLink(const std::string& link) {
    if (links_) links_->OpenLink(link);
}

// A click on a link of the page: outside addresses go to the system's browser, ours to
// the link dispatcher by the text after the last "/". A task of this thread, after the
// engine's callback.
void HelpWindow::onLinkClicked(const std::string& address) {
    if (framework::IsOutsideAddress(address)) {
        framework::OpenInSystemBrowser(text::utf8ToWide(address));
        return;
    }
    const std::size_t slash = address.rfind('/');
    if (slash != std::string::npos) openLink(address.substr(slash + 1));
}

// Button 103: the contents tab, the tree reloaded and closed, the first top-level node
// selected quietly and its page shown. Links still being resolved are dropped.
void HelpWindow::showStartPage() {
    applyTab(kTabContents);
    const ItemId first = links_->ShowTarget(0, 0, TargetKind::Entry);
    if (const library::TreeNode* node = tree_->record(first)) renderPage(library::TreeNode(*node));
}

// After the library changed under the window: the tree read again and the page shown
// built again from the rows as they are now.
void HelpWindow::reloadTreeAndPage() {
    contents_->Reload();
    const std::string shown = history_.entry(history_.position());
    if (!shown.empty()) openLink(shown);
}

// "搜索链接": the search tab, looking for the text other pages link to the node with.
void HelpWindow::searchLinks() {
    const std::optional<library::TreeNode> node = firstSelected();
    if (!node) return;
    const std::string linkText = SearchLinkText(db_, *node);
    applyTab(kTabSearch);
    setSearchTextQuietly(linkText);
    panes_->RunSearch();
}

// The selection is taken, and refused where it cannot move, before the chooser opens;
// the move acts on what was taken, refused when the tree changed meanwhile (a link's
// result may reload it while the chooser is open).
void HelpWindow::moveSelection() {
    // Refused before the chooser opens, like every other refusal of 移动.
    if (framework::RefusedWhileBusy(form_)) return;
    std::optional<MoveSelectionTaken> taken = catalogue_->TakeMoveSelection();
    if (!taken) return;
    const std::optional<long long> target = editors::chooseCategory(form_, db_, taken->lib);
    if (!target) return;
    runOperation("移动", [&] { catalogue_->MoveTaken(*taken, *target); });
}

void HelpWindow::showTreeMenu(POINT at) {
    applyMenuStates();
    menus_.showTreeMenu(form_, at);
}

void HelpWindow::showNewMenu() {
    applyMenuStates();
    menus_.showNewMenu(form_, toolbar_.buttonRect(kCmdNewMenu));
}

// A task of this thread, after the engine's callback asked for it.
void HelpWindow::showPageMenu() {
    POINT at{};
    GetCursorPos(&at);
    menus_.showPageMenu(form_, at);
}

std::optional<library::TreeNode> HelpWindow::firstSelected() const {
    if (!tree_) return std::nullopt;
    const std::vector<ItemId> selected = tree_->selection();
    const library::TreeNode* node = selected.empty() ? nullptr : tree_->record(selected.front());
    if (!node) return std::nullopt;
    return *node;
}

// The editors show what they saved through the link dispatcher: the page, then the tree
// walked down to the row.
editors::EditorHost HelpWindow::editorHost() {
    return editors::EditorHost{db_, ideFolder_, settings_,
                               [this](int lib, long long id, render::TargetKind kind) {
                                   if (links_) links_->ShowTarget(lib, id, kind);
                               },
                               [this] { openSetup(); }};
}

void HelpWindow::editSelected() {
    const std::optional<library::TreeNode> node = firstSelected();
    if (!node) return;
    if (node->isCategory) editors::openCategoryEditor(form_, editorHost(), editors::CategoryMode::Change, *node);
    else editors::openEntryEditor(form_, editorHost(), false, *node);
}

// Also after the server refused the account, so that the user can correct it. A changed
// recycle-bin option shows in a reloaded tree and its first page.
void HelpWindow::openSetup() {
    setup::openSetupWindow(form_, setup::SetupHost{db_, settings_, store_.get(), [this] { showStartPage(); }, ideFolder_,
                                                   [this](long long rootId) {
                                                       contents_->Reload();
                                                       links_->ShowTarget(library::kPrivate, rootId,
                                                                          render::TargetKind::Category);
                                                   },
                                                   [this] { contents_->Reload(); }});
}

void HelpWindow::openSync() {
    sync::openSyncWindow(form_, sync::SyncHost{db_, settings_, [this](const std::string& link) { openLink(link); },
                                               [this] { reloadTreeAndPage(); },
                                               [this](const std::string& caption) {
                                                   toolbar_.setText(kCmdSync, caption);
                                               },
                                               [this] { openSetup(); }});
}

}  // namespace orv::helpwindow
