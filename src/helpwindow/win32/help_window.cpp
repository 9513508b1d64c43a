// The help window (Form1): its controls, layout, tabs, divider, toolbar and menus, and
// the wiring of the core (contents tree, link dispatch, pages) to them. Win32 only.
// Every message runs inside the form layer's guard.
#include "helpwindow/win32/help_window.h"

#include "editors/win32/editor_windows.h"
#include "setup/win32/setup_window.h"
#include "sync/win32/sync_window.h"
#include "framework/navigation_guard.h"
#include "framework/win32/browser_control.h"
#include "framework/win32/controls.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"
#include "framework/win32/images.h"
#include "framework/win32/message_box.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/page_guard.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/window_placement.h"
#include "helpwindow/catalogue.h"
#include "helpwindow/contents.h"
#include "helpwindow/index_search.h"
#include "helpwindow/link_dispatch.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/window_layout.h"
#include "helpwindow/workers.h"
#include "helpwindow/win32/list_control.h"
#include "helpwindow/win32/tree_control.h"
#include "helpwindow/win32/ui_thread_call.h"
#include "library/paths.h"
#include "library/settings.h"
#include "library/udate.h"
#include "render/history.h"
#include "render/page_renderer.h"
#include "sync/http_client.h"
#include "sync/server_protocol.h"
#include "sync/sync_list.h"
#include "sync/win32/window_session.h"
#include "tools/win32/progress_window.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

namespace orv::helpwindow {
namespace {

HWND g_window = nullptr;

constexpr int kEngineNoticeId = 125;
// The page message and its commands.
constexpr UINT kPageMessage = 0x501;
constexpr WPARAM kShowRecord = 0x501;
constexpr WPARAM kIndexWord = 0x502;
constexpr WPARAM kSearchText = 0x503;
constexpr WPARAM kFollowLink = 0x504;
constexpr const char* kMainFont = "Microsoft YaHei,9,0";
constexpr int kToolbarIcon = 16;

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

void fail(const std::string& what) { throw std::runtime_error(what); }

class HelpWindow : public framework::FormHandler, public HelpWindowView, public render::PageView {
public:
    HelpWindow(library::HostDb& db, std::string ideFolder, int openMode)
        : db_(db), ideFolder_(std::move(ideFolder)), openMode_(openMode) {
        if (!ideFolder_.empty()) {
            store_ = library::makeSettingsStore(library::ideFile(ideFolder_, library::kSettingsFile));
            settings_ = library::readSettings(*store_);
        }
    }

    const library::Settings& settings() const { return settings_; }

    bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case WM_CREATE:
            form_ = form;
            create(form);
            return false;
        case WM_GETMINMAXINFO: {
            const framework::DpiScale& scale = framework::ScreenScale();
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {scale.ScaleX(kMinWindowWidth), scale.ScaleY(kMinWindowHeight)};
            result = 0;
            return true;
        }
        default:
            break;
        }
        if (answerWindowThreadCall(message, lParam)) {
            result = 0;
            return true;
        }
        switch (message) {
        case kPageMessage:
            result = 0;
            onPageMessage(wParam, lParam);
            return true;
        case WM_CONTEXTMENU:
            if (tree_ && reinterpret_cast<HWND>(wParam) == tree_->window()) return true;  // the tree's own right click
            return false;
        default:
            return false;
        }
    }

    // The start-up step.
    void onCreated(HWND form, LPARAM) override {
        SetWindowTextW(form, wide(std::string(kCaption) + " " + kVersionText).c_str());
        if (contents_) contents_->Reload();
        if (openMode_ == 0 && tree_) SetFocus(tree_->window());
        setToolbarText(kCmdSync, sync::pendingCaption(db_));
        updateHistoryButtons();
        startDailyUpdateCheck();
    }

    void onLayout(HWND, int width, int height) override { layOut(width, height); }

    void onCommand(HWND form, int id, int code, HWND control) override {
        switch (id) {
        case kCmdHome:
            showStartPage();
            break;
        case kCmdBack:
            if (auto link = history_.back()) openLink(*link);
            updateHistoryButtons();
            break;
        case kCmdForward:
            if (auto link = history_.forward()) openLink(*link);
            updateHistoryButtons();
            break;
        case kCmdAbout:
        case kMenuAbout:
            framework::ShowMessageBox(form, kAboutText, MB_OK | MB_ICONEXCLAMATION);
            break;
        case kMenuCopyText:
            if (page_) page_->Copy();
            break;
        case kMenuSelectAll:
            if (page_) page_->SelectAll();
            break;
        case kMenuSearchLinks:
            searchLinks();
            break;
        case kMenuViewSource:
            viewSource(form);
            break;
        case kCmdDelete:
        case kMenuDelete:
            catalogue_->DeleteSelection();
            break;
        case kMenuCopy:
            catalogue_->CopySelection();
            break;
        case kMenuPaste:
            catalogue_->PasteCopied(false);
            break;
        case kMenuPasteShared:
            catalogue_->PasteCopied(true);
            break;
        case kMenuStatistics:
            catalogue_->CountSelection();
            break;
        case kCmdFavorite:
            catalogue_->ToggleFavorite();
            break;
        case kText1:
            if (code == EN_CHANGE && !quietText_ && tab_ == kTabIndex) panes_->StartIndexLookup();
            break;
        case kList1:
            if (code == LBN_SELCHANGE) panes_->OpenListItem();
            break;
        case kCommand1:
            if (code == BN_CLICKED) panes_->RunSearch();
            break;
        case kCmdEdit:
        case kMenuEdit:
            editSelected(form);
            break;
        case kMenuNewTopCategory:
            editors::openCategoryEditor(form, editorHost(), editors::CategoryMode::NewTop,
                                        firstSelected().value_or(library::TreeNode{}));
            break;
        case kMenuNewCategory:
            if (auto node = firstSelected()) editors::openCategoryEditor(form, editorHost(), editors::CategoryMode::NewChild, *node);
            break;
        case kMenuNewEntry:
            if (auto node = firstSelected()) editors::openEntryEditor(form, editorHost(), true, *node);
            break;
        case kMenuMove:
            moveSelection(form);
            break;
        case kCmdSync:
            sync::openSyncWindow(form, sync::SyncHost{db_, settings_, [this](const std::string& link) { openLink(link); },
                                                      [this] { reloadTreeAndPage(); },
                                                      [this](const std::string& caption) { setToolbarText(kCmdSync, caption); }});
            break;
        case kCmdSetup:
            openSetup();
            break;
        default:
            if (id >= kCmdNewMenu && id <= kMenuStatistics) notAvailableYet(form);
            break;
        }
    }

    LRESULT onNotify(HWND, NMHDR& header) override {
        LRESULT result = 0;
        if (tree_ && tree_->handleNotify(header, result)) return result;
        if (header.idFrom == kTabControl1 && header.code == TCN_SELCHANGE) {
            switchTab(static_cast<int>(SendMessageW(tabStrip_, TCM_GETCURSEL, 0, 0)));
            return 0;
        }
        if (header.hwndFrom == toolbar_ && header.code == TBN_DROPDOWN) {
            showNewMenu();
            return TBDDRET_DEFAULT;
        }
        return 0;
    }

    int onCloseRequest(HWND form) override {
        // A window of ours still at work (a request, an import, a question) keeps the
        // help window: its code runs on below the loop that waits, over windows that
        // would otherwise be gone. What it waits for comes to the front.
        if (HWND busy = framework::BusyOwnedWindow(form)) {
            SetForegroundWindow(GetLastActivePopup(busy));
            return 1;
        }
        // An open editor asks about its changes first; one that stays keeps the window.
        if (!editors::closeEditors()) return 1;
        if (store_) {
            std::string error;
            if (!library::writePlacement(*store_, framework::CurrentPlacement(form), error))
                framework::MessageBoxPrompter(form).message("窗口位置未能保存：\r\n" + error, library::MessageKind::Error);
        }
        return 0;
    }

    void onDestroy(HWND form) override {
        // Link workers reach the window through its messages: they finish first, with
        // the messages flowing.
        daily_.waitIdle(framework::PumpMessages);
        if (links_) links_->waitIdle(framework::PumpMessages);
        if (panes_) panes_->waitIdle(framework::PumpMessages);
        catalogue_.reset();
        session_.reset();
        panes_.reset();
        links_.reset();
        contents_.reset();
        tree_.reset();
        list_.reset();
        page_.reset();
        // The "新建" menu goes with PopupMenu1 once it hangs there.
        if (popupMenu1_) DestroyMenu(popupMenu1_);
        if (newMenu_ && !newMenuAttached_) DestroyMenu(newMenu_);
        if (popupMenu2_) DestroyMenu(popupMenu2_);
        for (HBITMAP picture : menuPictures_) DeleteObject(picture);
        if (toolbarImages_) ImageList_Destroy(toolbarImages_);
        if (g_window == form) g_window = nullptr;
    }

    // HelpWindowView: pages are built on this thread; a worker asks through the page
    // message and waits.
    bool showPage(const library::TreeNode& record) override {
        if (GetWindowThreadProcessId(form_, nullptr) != GetCurrentThreadId()) {
            return runOnWindowThread(form_, [&] { return renderPage(record); }, false);
        }
        return renderPage(record);
    }
    int currentTab() const override { return tab_; }
    void switchTab(int tab) override {
        runOnWindowThread(form_, [&] {
            applyTab(tab);
            return 0;
        });
    }
    std::string searchText() const override {
        return runOnWindowThread(form_, [&] { return text::wideToUtf8(framework::GetControlText(text1_)); },
                                 std::string());
    }
    void setSearchTextQuietly(std::string_view text) override {
        const std::wstring value = wide(text);
        runOnWindowThread(form_, [&] {
            quietText_ = true;
            framework::SetControlText(text1_, value);
            quietText_ = false;
            return 0;
        });
    }
    bool searchHasFocus() const override {
        return runOnWindowThread(form_, [&] { return GetFocus() == text1_; }, false);
    }

    // render::PageView
    void LoadHtml(const std::string& utf8) override {
        if (page_) page_->LoadHtml(utf8);
    }

private:
    static constexpr const char* kAboutText =
        "Orvinta 编程帮助文档 2.0.7\r\n\r\nFreeBASIC 关键字帮助系统，Orvinta IDE 插件。\r\n"
        "制作：OrvintaHelp 开发组\r\n网址：http://orvinta.net/";

    void create(HWND form) {
        prompter_ = framework::MessageBoxPrompter(form);
        dividing_ = settings_.dividing;
        createTabStrip(form);
        createToolbar(form);
        divider_ = control(form, "LABEL", L"Picture1", kPicture1, L"", WS_VISIBLE | SS_NOTIFY);
        SetWindowSubclass(divider_, dividerProc, 1, reinterpret_cast<DWORD_PTR>(this));
        text1_ = control(form, "TEXTBOX", L"Text1", kText1, L"", framework::kDefaultStyle, kMainFont);
        SetWindowSubclass(text1_, text1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
        createList(form);
        command1_ = control(form, "BUTTON", L"Command1", kCommand1, wide(kCommand1Caption), framework::kDefaultStyle,
                            kMainFont);
        createTree(form);
        control(form, "FRAME", L"Shape1", kShape1, L"");
        createPageView(form);
        createMenus();
        progress_.setOwner(form);
        session_ = std::make_unique<sync::ServerSession>(
            sync::windowSession(settings_, prompter_, progress_, [this] { openSetup(); }));
        catalogue_ = std::make_unique<Catalogue>(CatalogueSources{*contents_, *links_, prompter_, progress_, *session_});
        applyTab(kTabContents);
    }

    void createList(HWND form) {
        framework::ControlOptions options;
        options.kind = "LISTBOX";
        options.name = L"List1";
        options.id = kList1;
        options.font = kMainFont;
        std::string error;
        list_ = ListControl::Create(form, options, error);
        if (!list_) fail(error);
        list1_ = list_->window();
    }

    HWND control(HWND form, const char* kind, const wchar_t* name, int id, const std::wstring& caption,
                 std::uint32_t style = framework::kDefaultStyle, const char* font = "") {
        framework::ControlOptions options;
        options.kind = kind;
        options.name = name;
        options.id = id;
        options.caption = caption;
        options.style = style;
        options.font = font;
        std::string error;
        HWND made = framework::CreateControl(form, options, error);
        if (!made) fail(error);
        return made;
    }

    void createTabStrip(HWND form) {
        tabStrip_ = control(form, "TAB", L"TabControl1", kTabControl1, L"",
                            WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | WS_TABSTOP | TCS_FIXEDWIDTH, kMainFont);
        const framework::DpiScale& scale = framework::ScreenScale();
        SendMessageW(tabStrip_, TCM_SETITEMSIZE, 0, MAKELPARAM(scale.ScaleX(40), scale.ScaleY(22)));
        SendMessageW(tabStrip_, TCM_SETPADDING, 0, MAKELPARAM(scale.ScaleX(4), scale.ScaleY(4)));
        for (int i = 0; i < static_cast<int>(kTabCaptions.size()); ++i) {
            std::wstring caption = wide(kTabCaptions[static_cast<std::size_t>(i)]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            if (SendMessageW(tabStrip_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item)) < 0)
                fail("标签页未能建立。");
        }
    }

    void createToolbar(HWND form) {
        toolbar_ = control(form, "TOOLBAR", L"ToolBar1", kToolBar1, L"",
                           WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                               TBSTYLE_LIST | CCS_TOP | CCS_NODIVIDER,
                           kMainFont);
        SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
        const int size = framework::ScreenScale().ScaleX(kToolbarIcon);
        toolbarImages_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 12, 4);
        if (!toolbarImages_) fail("工具栏图标未能建立。");
        SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
        for (const CommandItem& item : kToolbarButtons) {
            TBBUTTON button{};
            button.idCommand = item.id;
            if (item.text.empty()) {
                button.fsStyle = BTNS_SEP;
            } else {
                HICON icon = framework::LoadIconResource(item.icon, size);
                button.iBitmap = icon ? ImageList_AddIcon(toolbarImages_, icon) : I_IMAGENONE;
                if (icon) DestroyIcon(icon);
                button.fsState = TBSTATE_ENABLED;
                button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT |
                                 (item.id == kCmdNewMenu ? BTNS_WHOLEDROPDOWN : 0);
                toolbarTexts_.push_back(wide(item.text));
                button.iString = reinterpret_cast<INT_PTR>(toolbarTexts_.back().c_str());
            }
            if (!SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)))
                fail("工具栏按钮未能建立。");
        }
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    }

    // Once a day the records other users made come from the server, on a worker of its
    // own; the sync button's count follows through the window's thread.
    void startDailyUpdateCheck() {
        if (!store_ || !session_) return;
        const HWND form = form_;
        daily_.start([this, form] {
            // The worker's session waits without dispatching: this thread has no windows.
            sync::ServerSession quiet{settings_, prompter_, progress_, sync::makeHttpClient()};
            sync::DailyUpdateCheck(quiet, db_, *store_, [this, form](const std::string& caption) {
                runOnWindowThread(form, [&] {
                    setToolbarText(kCmdSync, caption);
                    return 0;
                });
            });
        });
    }

    void setToolbarText(int id, const std::string& text) {
        std::wstring value = wide(text);
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_TEXT;
        info.pszText = value.data();
        SendMessageW(toolbar_, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    }

    void createTree(HWND form) {
        framework::ControlOptions options;
        options.kind = "TREEVIEW";
        options.name = L"mCtrlTreeList1";
        options.id = kTreeList1;
        options.font = kMainFont;
        TreeEvents events;
        events.onExpanding = [this](ItemId item) { contents_->OnExpanding(item); };
        events.onCollapsed = [this](ItemId item) { contents_->OnCollapsed(item); };
        events.onSelected = [this](ItemId item) { contents_->OnSelected(item); };
        events.onRightClick = [this](ItemId, POINT at) { showTreeMenu(at); };
        std::string error;
        tree_ = TreeControl::Create(form, options, std::move(events), error);
        if (!tree_) fail(error);
        renderer_ = std::make_unique<render::PageRenderer>(render::PageSources{db_, ideFolder_, settings_.classified != 0},
                                                           history_, *this);
        contents_ = std::make_unique<Contents>(
            ContentsSources{db_, *tree_, *this, settings_, library::uDateNow, &prompter_});
        links_ = std::make_unique<LinkDispatcher>(*contents_);
        panes_ = std::make_unique<IndexAndSearch>(
            PaneSources{db_, *list_, *this, [this](std::string_view link) { openLink(std::string(link)); }, prompter_});
    }

    // The engine comes from the IDE folder. Without one the window still opens and says
    // why it shows no pages.
    void createPageView(HWND form) {
        const std::wstring folder = wide(ideFolder_);
        framework::SetEngineFolder(folder);
        page_ = std::make_unique<framework::BrowserControl>(form, kMiniblink1, L"Miniblink1", 0, 0, kDesignWidth,
                                                            kDesignHeight);
        if (!page_->HasView()) {
            control(form, "LABEL", L"LabelEngine", kEngineNoticeId, framework::EngineProblem());
            return;
        }
        framework::GuardPageView(*page_, folder, framework::OpenInSystemBrowser);
        page_->SetEvent("CREATEVIEW", [this](framework::BrowserEvent& e) -> std::intptr_t {
            onCreateView(e.text);
            return reinterpret_cast<std::intptr_t>(e.webView);
        });
        page_->SetEvent("CONTEXTMENUITEMCLICK", [this](framework::BrowserEvent&) -> std::intptr_t {
            showPageMenu();
            return 1;
        });
    }

    void createMenus() {
        popupMenu1_ = CreatePopupMenu();
        newMenu_ = CreatePopupMenu();
        popupMenu2_ = CreatePopupMenu();
        if (!popupMenu1_ || !newMenu_ || !popupMenu2_) fail("菜单未能建立。");
        for (const CommandItem& item : kPopupMenu1Items) {
            HMENU into = inNewSubmenu(item.id) ? newMenu_ : popupMenu1_;
            if (item.text.empty()) {
                AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            } else if (item.id == kMenuNew) {
                if (!AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(newMenu_), wide(item.text).c_str()))
                    fail("菜单未能建立。");
                newMenuAttached_ = true;
            } else {
                AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(item.id), wide(item.text).c_str());
            }
        }
        for (const CommandItem& item : kPopupMenu2Items)
            AppendMenuW(popupMenu2_, MF_STRING, static_cast<UINT_PTR>(item.id), wide(item.text).c_str());
        for (const CommandItem& item : kPopupMenu1Items)
            if (!item.icon.empty()) setMenuPicture(inNewSubmenu(item.id) ? newMenu_ : popupMenu1_, item);
    }

    // A menu item's icon, as a bitmap the window keeps until it goes. An icon that cannot
    // be read leaves the item with its text alone.
    void setMenuPicture(HMENU menu, const CommandItem& item) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        HICON icon = framework::LoadImageIcon(item.icon, size);
        HBITMAP picture = icon ? framework::MenuBitmapFromIcon(icon, size) : nullptr;
        if (icon) DestroyIcon(icon);
        if (!picture) return;
        menuPictures_.push_back(picture);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = picture;
        if (item.id == kMenuNew) {
            // The submenu's item is found by its place: it has no command id.
            for (int i = 0; i < GetMenuItemCount(menu); ++i)
                if (GetSubMenu(menu, i) == newMenu_) SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        } else {
            SetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
        }
    }

    // The core's rule for the selection, the copy list and the tab, on PopupMenu1 and
    // on the toolbar buttons that act on the tree.
    void applyMenuStates() {
        MenuContext context;
        context.tab = tab_;
        context.copyListEmpty = !catalogue_ || catalogue_->copyList().empty();
        const std::vector<ItemId> selected = tree_ ? tree_->selection() : std::vector<ItemId>{};
        if (!selected.empty()) {
            if (const library::TreeNode* node = tree_->record(selected.front())) {
                context.selected = selectedKindOf(*node);
                context.type = node->type;
                context.insideBin = contents_->insideRecycleBin(selected.front());
            }
        }
        for (const CommandState& state : menuStates(context)) {
            const UINT flags = MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED);
            EnableMenuItem(popupMenu1_, static_cast<UINT>(state.id), flags);
            EnableMenuItem(newMenu_, static_cast<UINT>(state.id), flags);
            if (std::find(kContentsOnlyButtons.begin(), kContentsOnlyButtons.end(), state.id) != kContentsOnlyButtons.end())
                SendMessageW(toolbar_, TB_ENABLEBUTTON, state.id, MAKELPARAM(state.enabled, 0));
        }
    }

    void showTreeMenu(POINT at) {
        applyMenuStates();
        TrackPopupMenu(popupMenu1_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form_, nullptr);
    }

    void showNewMenu() {
        applyMenuStates();
        RECT button{};
        SendMessageW(toolbar_, TB_GETRECT, kCmdNewMenu, reinterpret_cast<LPARAM>(&button));
        MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&button), 2);
        TrackPopupMenu(newMenu_, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, form_, nullptr);
    }

    void showPageMenu() {
        POINT at{};
        GetCursorPos(&at);
        TrackPopupMenu(popupMenu2_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form_, nullptr);
    }

    std::optional<library::TreeNode> firstSelected() const {
        if (!tree_) return std::nullopt;
        const std::vector<ItemId> selected = tree_->selection();
        const library::TreeNode* node = selected.empty() ? nullptr : tree_->record(selected.front());
        if (!node) return std::nullopt;
        return *node;
    }

    // The editors show what they saved through the link dispatcher: the page, then the
    // tree walked down to the row.
    editors::EditorHost editorHost() {
        return editors::EditorHost{db_, ideFolder_, settings_,
                                   [this](int lib, long long id, render::TargetKind kind) {
                                       if (!links_) return;
                                       links_->waitIdle(framework::PumpMessages);
                                       links_->ShowTarget(lib, id, kind);
                                   },
                                   [this] { openSetup(); }};
    }

    void editSelected(HWND form) {
        const std::optional<library::TreeNode> node = firstSelected();
        if (!node) return;
        if (node->isCategory) editors::openCategoryEditor(form, editorHost(), editors::CategoryMode::Change, *node);
        else editors::openEntryEditor(form, editorHost(), false, *node);
    }

    // The chooser offers the categories of the first selected node's library.
    void moveSelection(HWND form) {
        const std::optional<library::TreeNode> node = firstSelected();
        if (!node) return;
        const int lib = node->isCategory && node->type == library::kCategoryPrivateRoot ? library::kPrivate : node->lib;
        const std::optional<long long> target = editors::chooseCategory(form, db_, lib);
        if (target) catalogue_->MoveSelection(*target);
    }

    void notAvailableYet(HWND form) {
        framework::ShowMessageBox(form, "这个命令还不能使用：它的窗口尚未完成。", MB_OK | MB_ICONINFORMATION);
    }

    void layOut(int width, int height) {
        const framework::DpiScale& scale = framework::ScreenScale();
        RECT bar{};
        GetWindowRect(toolbar_, &bar);
        LayoutInput in;
        in.width = scale.UnscaleX(width);
        in.height = scale.UnscaleY(height);
        in.toolbarHeight = scale.UnscaleY(bar.bottom - bar.top);
        in.dividing = dividing_;
        in.tab = tab_;
        in.scrollBarWidth = scale.UnscaleX(GetSystemMetrics(SM_CXVSCROLL));
        const WindowLayout layout = layoutWindow(in);
        dividing_ = layout.dividing;
        const auto place = [&](HWND window, const Rect& r) {
            if (window)
                MoveWindow(window, scale.ScaleX(r.x), scale.ScaleY(r.y), scale.ScaleX(r.width), scale.ScaleY(r.height),
                           TRUE);
        };
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        place(tabStrip_, layout.tabStrip);
        place(divider_, layout.divider);
        place(GetDlgItem(form_, kShape1), layout.frame);
        if (page_ && page_->HasView()) place(page_->ViewWindow(), layout.browser);
        place(GetDlgItem(form_, kEngineNoticeId), layout.browser);
        if (layout.tree && tree_) place(tree_->window(), *layout.tree);
        if (layout.text1) place(text1_, *layout.text1);
        if (layout.command1) place(command1_, *layout.command1);
        if (layout.list1) place(list1_, *layout.list1);
    }

    void relayOut() {
        RECT client{};
        GetClientRect(form_, &client);
        layOut(client.right, client.bottom);
    }

    void applyTab(int tab) {
        tab_ = tab;
        SendMessageW(tabStrip_, TCM_SETCURSEL, tab, 0);
        const TabPanes& panes = tabPanes(tab);
        if (tree_) ShowWindow(tree_->window(), panes.tree ? SW_SHOW : SW_HIDE);
        ShowWindow(text1_, panes.text1 ? SW_SHOW : SW_HIDE);
        ShowWindow(command1_, panes.command1 ? SW_SHOW : SW_HIDE);
        ShowWindow(list1_, panes.list1 ? SW_SHOW : SW_HIDE);
        applyMenuStates();
        if (list_) {
            std::vector<std::string> lines;
            for (int i = 0; i < list_->count(); ++i) lines.push_back(list_->text(i));
            if (clearsListOnSwitch(tab, lines)) list_->clear();
            if (tabFillsListAtOnce(tab) && panes_) panes_->RunSearch();
        }
        relayOut();
        HWND focus = GetDlgItem(form_, panes.focus);
        if (focus && IsWindowVisible(form_)) SetFocus(focus);
    }

    bool renderPage(const library::TreeNode& record) {
        const bool shown = renderer_ && renderer_->RenderPage(record);
        updateHistoryButtons();
        return shown;
    }

    void updateHistoryButtons() {
        SendMessageW(toolbar_, TB_ENABLEBUTTON, kCmdBack, MAKELPARAM(history_.canGoBack(), 0));
        SendMessageW(toolbar_, TB_ENABLEBUTTON, kCmdForward, MAKELPARAM(history_.canGoForward(), 0));
    }

    void openLink(const std::string& link) {
        if (links_) links_->OpenLink(link);
    }

    // A click on a link of the page: outside addresses go to the system's browser, ours
    // to the link dispatcher by the text after the last "/".
    void onCreateView(const std::wstring& address) {
        const std::string url = text::wideToUtf8(address);
        if (framework::IsOutsideAddress(url)) {
            framework::OpenInSystemBrowser(address);
            return;
        }
        const std::size_t slash = url.rfind('/');
        if (slash == std::string::npos) return;
        openLink(url.substr(slash + 1));
    }

    void onPageMessage(WPARAM command, LPARAM argument) {
        if (!argument) return;
        switch (command) {
        case kShowRecord:
            renderPage(*reinterpret_cast<const library::TreeNode*>(argument));
            break;
        case kFollowLink:
            openLink(reinterpret_cast<const char*>(argument));
            break;
        case kIndexWord:
            applyTab(kTabIndex);
            setSearchTextQuietly(reinterpret_cast<const char*>(argument));
            panes_->StartIndexLookup();
            break;
        case kSearchText:
            applyTab(kTabSearch);
            setSearchTextQuietly(text::wideToUtf8(reinterpret_cast<const wchar_t*>(argument)));
            panes_->RunSearch();
            break;
        default:
            break;
        }
    }

    // Button 103: the contents tab, the tree reloaded and closed, the first top-level node
    // selected quietly and its page shown.
    void showStartPage() {
        // A link still locating its target would go on walking the reloaded tree: it ends
        // first, with the window's messages flowing.
        if (links_) links_->waitIdle(framework::PumpMessages);
        applyTab(kTabContents);
        contents_->Reload();
        const std::vector<ItemId> top = tree_->children(tree_->root());
        if (top.empty()) return;
        contents_->SelectQuietly(top.front());
        if (const library::TreeNode* node = tree_->record(top.front())) {
            const library::TreeNode copy = *node;
            renderPage(copy);
        }
    }

    // Also after the server refused the account, so that the user can correct it. A
    // changed recycle-bin option shows in a reloaded tree and its first page.
    void openSetup() {
        setup::openSetupWindow(form_, setup::SetupHost{db_, settings_, store_.get(), [this] { showStartPage(); },
                                                       ideFolder_,
                                                       [this](long long rootId) {
                                                           if (!links_) return;
                                                           links_->waitIdle(framework::PumpMessages);
                                                           contents_->Reload();
                                                           links_->ShowTarget(library::kPrivate, rootId,
                                                                              render::TargetKind::Category);
                                                       },
                                                       [this] {
                                                           if (links_) links_->waitIdle(framework::PumpMessages);
                                                           contents_->Reload();
                                                       }});
    }

    // After the library changed under the window: the tree read again and the page shown
    // built again from the rows as they are now.
    void reloadTreeAndPage() {
        if (links_) links_->waitIdle(framework::PumpMessages);
        contents_->Reload();
        const std::string shown = history_.entry(history_.position());
        if (!shown.empty()) openLink(shown);
    }

    // "搜索链接": the search tab, looking for the text other pages link to the node with.
    void searchLinks() {
        const std::vector<ItemId> selected = tree_->selection();
        if (selected.empty()) return;
        const library::TreeNode* node = tree_->record(selected.front());
        if (!node) return;
        const std::string linkText = SearchLinkText(db_, *node);
        applyTab(kTabSearch);
        setSearchTextQuietly(linkText);
        panes_->RunSearch();
    }

    // "查看网页源码": the page as the engine has it, in HelpTemp.htm (UTF-8 with a byte-order
    // mark) beside the settings, opened in Notepad.
    void viewSource(HWND form) {
        if (!page_ || !page_->HasView()) return;
        const std::string path = library::ideFile(ideFolder_, "HelpTemp.htm");
        const std::wstring widePath = wide(path);
        const std::string source = "\xEF\xBB\xBF" + page_->Source();
        HANDLE out = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok = out != INVALID_HANDLE_VALUE &&
                        WriteFile(out, source.data(), static_cast<DWORD>(source.size()), &written, nullptr) &&
                        written == source.size();
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        if (!ok) {
            prompter_.message("网页源码未能写入 " + path + "。", library::MessageKind::Error);
            return;
        }
        ShellExecuteW(form, L"open", L"notepad.exe", (L"\"" + widePath + L"\"").c_str(), nullptr, SW_SHOWNORMAL);
    }

    // Enter in the search box: the index tab opens the chosen line, the search tab searches.
    static LRESULT CALLBACK text1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
        return framework::guarded(LRESULT{0}, framework::Silent{}, [&]() -> LRESULT {
            auto* w = reinterpret_cast<HelpWindow*>(self);
            if (message == WM_GETDLGCODE && wParam == VK_RETURN) return DLGC_WANTALLKEYS;
            if (message == WM_CHAR && wParam == VK_RETURN) return 0;  // no beep
            if (message == WM_KEYDOWN && wParam == VK_RETURN) {
                if (w->tab_ == kTabIndex) w->panes_->OpenListItem();
                else if (w->tab_ == kTabSearch) w->panes_->RunSearch();
                return 0;
            }
            return DefSubclassProc(window, message, wParam, lParam);
        });
    }

    // The divider: dragged with the mouse, its place kept in the setting "Dividing".
    static LRESULT CALLBACK dividerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
        return framework::guarded(LRESULT{0}, framework::Silent{}, [&] {
            return reinterpret_cast<HelpWindow*>(self)->onDivider(window, message, wParam, lParam);
        });
    }

    LRESULT onDivider(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const framework::DpiScale& scale = framework::ScreenScale();
        switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
            return TRUE;
        case WM_LBUTTONDOWN:
            SetCapture(window);
            dragging_ = true;
            setDividerColour(COLOR_WINDOWFRAME);
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_ && (wParam & MK_LBUTTON)) {
                POINT at{GET_X_LPARAM(lParam), 0};
                MapWindowPoints(window, form_, &at, 1);
                RECT client{};
                GetClientRect(form_, &client);
                dividing_ = limitDividing(scale.UnscaleX(at.x), scale.UnscaleX(client.right));
                RECT bar{};
                GetWindowRect(window, &bar);
                MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&bar), 2);
                MoveWindow(window, scale.ScaleX(dividing_), bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) {
                dragging_ = false;
                ReleaseCapture();
                relayOut();
                setDividerColour(COLOR_BTNFACE);
                settings_.dividing = dividing_;
                std::string error;
                if (store_ && !library::writeDividing(*store_, dividing_, error))
                    framework::MessageBoxPrompter(form_).message("分隔位置未能保存：\r\n" + error,
                                                                 library::MessageKind::Error);
            }
            return 0;
        default:
            return DefSubclassProc(window, message, wParam, lParam);
        }
    }

    void setDividerColour(int systemColour) {
        if (framework::ControlRecord* record = framework::FindRecord(divider_)) {
            record->backColour = (static_cast<std::uint32_t>(systemColour) << 24) | framework::kSystemColourMarker;
            InvalidateRect(divider_, nullptr, TRUE);
        }
    }

    library::HostDb& db_;
    std::string ideFolder_;
    int openMode_;
    HWND form_ = nullptr;
    std::unique_ptr<library::SettingsStore> store_;  // null without an IDE folder
    library::Settings settings_;
    framework::MessageBoxPrompter prompter_;
    HWND tabStrip_ = nullptr, toolbar_ = nullptr, divider_ = nullptr, text1_ = nullptr, list1_ = nullptr,
         command1_ = nullptr;
    HIMAGELIST toolbarImages_ = nullptr;
    std::vector<std::wstring> toolbarTexts_;
    HMENU popupMenu1_ = nullptr, newMenu_ = nullptr, popupMenu2_ = nullptr;
    std::vector<HBITMAP> menuPictures_;
    bool newMenuAttached_ = false;
    int tab_ = kTabContents;
    int dividing_ = 0;
    bool dragging_ = false;
    bool quietText_ = false;
    render::NavigationHistory history_;
    std::unique_ptr<render::PageRenderer> renderer_;
    std::unique_ptr<TreeControl> tree_;
    std::unique_ptr<Contents> contents_;
    std::unique_ptr<LinkDispatcher> links_;
    std::unique_ptr<ListControl> list_;
    std::unique_ptr<IndexAndSearch> panes_;
    tools::ProgressWindow progress_;
    std::unique_ptr<sync::ServerSession> session_;
    std::unique_ptr<Catalogue> catalogue_;
    std::unique_ptr<framework::BrowserControl> page_;
    Workers daily_;  // the daily update check
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

void openHelpWindow(library::HostDb& db, const std::string& ideFolder, int openMode) {
    if (HWND existing = helpWindowHandle()) {
        activate(existing);
        return;
    }
    framework::guarded(framework::TellUser{nullptr, kOpenFailed}, [&] {
        framework::FormOptions options;
        options.name = L"Form1";
        options.className = kWindowClass;
        options.caption = wide(kCaption);
        options.width = kDesignWidth;
        options.height = kDesignHeight;
        options.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        options.icon = "ICON_ADDBK";
        options.createdParameter = openMode;
        auto handler = std::make_unique<HelpWindow>(db, ideFolder, openMode);
        const library::WindowPlacement placement = handler->settings().placement;
        // Made topmost from the start: once the toolbar's tooltips (topmost windows the
        // form owns) exist, Wine orders the form below them instead of making it topmost.
        if (placement.topMost != 0) options.exStyle |= WS_EX_TOPMOST;
        std::string error;
        HWND hwnd = framework::CreateForm(options, std::move(handler), error);
        if (!hwnd) {
            framework::TellUser{nullptr, kOpenFailed}(error.c_str());
            return;
        }
        g_window = hwnd;
        framework::ApplyPlacement(hwnd, placement);
    });
}

}  // namespace orv::helpwindow
