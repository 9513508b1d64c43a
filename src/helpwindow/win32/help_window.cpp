// The help window (Form1): the parts it is made of, their layout, the tabs, closing, and
// the one window of it that the IDE's button opens or brings forward. Win32 only; every
// message runs inside the form layer's guard. The thread rule is in help_window_form.h.
#include "helpwindow/win32/help_window.h"

#include "editors/win32/editor_windows.h"
#include "framework/win32/controls.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/operations.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/ui_tasks.h"
#include "framework/win32/window_placement.h"
#include "framework/win32/worker_thread.h"
#include "helpwindow/win32/help_window_form.h"
#include "helpwindow/window_layout.h"
#include "library/paths.h"
#include "library/udate.h"
#include "sync/sync_list.h"
#include "sync/win32/window_session.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

#include <stdexcept>

namespace orv::helpwindow {
namespace {

HWND g_window = nullptr;

constexpr const char* kMainFont = "Microsoft YaHei,9,0";

std::wstring wide(std::string_view utf8) { return text::utf8ToWide(utf8); }

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

HelpWindow::HelpWindow(library::HostDb& db, std::string ideFolder, int openMode)
    : db_(db), ideFolder_(std::move(ideFolder)), openMode_(openMode) {
    if (!ideFolder_.empty()) {
        store_ = library::makeSettingsStore(library::ideFile(ideFolder_, library::kSettingsFile));
        settings_ = library::readSettings(*store_);
    }
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::onMessage(HWND form, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
    case kPageMessage:
        result = 0;
        onPageMessage(wParam, lParam);
        return true;
    case WM_CONTEXTMENU:
        return tree_ && reinterpret_cast<HWND>(wParam) == tree_->window();  // the tree's own right click
    default:
        return false;
    }
}

// The start-up step.
void HelpWindow::onCreated(HWND form, LPARAM) {
    SetWindowTextW(form, wide(std::string(kCaption) + " " + kVersionText).c_str());
    if (contents_) contents_->Reload();
    if (openMode_ == 0 && tree_) SetFocus(tree_->window());
    toolbar_.setText(kCmdSync, sync::pendingCaption(db_));
    updateHistoryButtons();
    if (daily_) daily_->start();
}

// The core's jobs get threads that keep the module loaded; their results come back as
// tasks of this thread, and wait there while an operation runs: its command holds tree
// items across the waits in which the task would otherwise run.
WindowThread HelpWindow::windowThread() {
    return WindowThread{[](Task job) {
                            std::string error;
                            return framework::startWorkerThread(std::move(job), error);
                        },
                        [](Task task) {
                            return framework::PostUiTask([task = std::move(task)]() mutable {
                                framework::PluginOperations().whenIdle(std::move(task));
                            });
                        }};
}

void HelpWindow::create(HWND form) {
    prompter_ = framework::MessageBoxPrompter(form);
    progress_.setOwner(form);
    createTabStrip(form);
    toolbar_.create(form, kMainFont);
    divider_.create({form, store_.get(),
                     [this] {
                         relayOut();
                         settings_.dividing = divider_.dividing();
                     }},
                    settings_.dividing);
    text1_ = control(form, "TEXTBOX", L"Text1", kText1, L"", framework::kDefaultStyle, kMainFont);
    SetWindowSubclass(text1_, text1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    createList(form);
    command1_ = control(form, "BUTTON", L"Command1", kCommand1, wide(kCommand1Caption), framework::kDefaultStyle,
                        kMainFont);
    createTree(form);
    control(form, "FRAME", L"Shape1", kShape1, L"", framework::kDefaultStyle, "");
    page_.create({form, ideFolder_, [this](const std::string& address) { onLinkClicked(address); },
                  [this] { showPageMenu(); }});
    renderer_ = std::make_unique<render::PageRenderer>(render::PageSources{db_, ideFolder_, settings_.classified != 0},
                                                       history_, page_, *this);
    menus_.create();
    session_ = std::make_unique<sync::ServerSession>(
        sync::windowSession(settings_, prompter_, progress_, [this] { openSetup(); }));
    catalogue_ = std::make_unique<Catalogue>(CatalogueSources{*contents_, *links_, prompter_, progress_, *session_});
    if (store_)
        daily_ = std::make_unique<DailyCheck>(DailyCheck::Sources{
            db_, *store_, settings_, [this](const std::string& caption) { toolbar_.setText(kCmdSync, caption); }});
    applyTab(kTabContents);
}

HWND HelpWindow::control(HWND form, const char* kind, const wchar_t* name, int id, const std::wstring& caption,
                         std::uint32_t style, const char* font) {
    framework::ControlOptions options;
    options.kind = kind;
    options.name = name;
    options.id = id;
    options.caption = caption;
    options.style = style;
    options.font = font;
    std::string error;
    HWND made = framework::CreateControl(form, options, error);
    if (!made) throw std::runtime_error(error);
    return made;
}

void HelpWindow::createTabStrip(HWND form) {
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
            throw std::runtime_error("标签页未能建立。");
    }
}

void HelpWindow::createList(HWND form) {
    framework::ControlOptions options;
    options.kind = "LISTBOX";
    options.name = L"List1";
    options.id = kList1;
    options.font = kMainFont;
    std::string error;
    list_ = ListControl::Create(form, options, error);
    if (!list_) throw std::runtime_error(error);
    list1_ = list_->window();
}

void HelpWindow::createTree(HWND form) {
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
    events.heldStill = [] { return framework::PluginOperations().busy(); };
    std::string error;
    tree_ = TreeControl::Create(form, options, std::move(events), error);
    if (!tree_) throw std::runtime_error(error);
    contents_ =
        std::make_unique<Contents>(ContentsSources{db_, *tree_, *this, settings_, library::uDateNow, prompter_});
    links_ = std::make_unique<LinkDispatcher>(*contents_, windowThread());
    panes_ = std::make_unique<IndexAndSearch>(PaneSources{
        db_, *list_, *this, [this](std::string_view link) { openLink(std::string(link)); }, prompter_, windowThread()});
}

LRESULT HelpWindow::onNotify(HWND, NMHDR& header) {
    LRESULT result = 0;
    if (tree_ && tree_->handleNotify(header, result)) return result;
    if (header.idFrom == kTabControl1 && header.code == TCN_SELCHANGE) {
        applyTab(static_cast<int>(SendMessageW(tabStrip_, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    if (toolbar_.answerTooltip(header)) return 0;
    if (header.hwndFrom == toolbar_.window() && header.code == TBN_DROPDOWN) {
        showNewMenu();
        return TBDDRET_DEFAULT;
    }
    return 0;
}

// A window of ours still at work, or an operation running, has already kept the window
// (the form layer's rule). An open editor asks about its changes first; one that stays
// keeps the window.
int HelpWindow::onCloseRequest(HWND form) {
    if (!editors::closeEditors()) return 1;
    if (store_) {
        std::string error;
        if (!library::writePlacement(*store_, framework::CurrentPlacement(form), error))
            framework::MessageBoxPrompter(form).message("窗口位置未能保存：\r\n" + error, library::MessageKind::Error);
    }
    // The daily check's request is given up now: closing waits for no network.
    if (daily_) daily_->stop();
    return 0;
}

// Nothing here dispatches messages: whatever comes after this finds the window gone.
// The core's workers only read and post; waiting for them is a plain wait.
void HelpWindow::onDestroy(HWND form) {
    if (g_window == form) g_window = nullptr;
    daily_.reset();
    catalogue_.reset();
    session_.reset();
    panes_.reset();
    links_.reset();
    contents_.reset();
    tree_.reset();
    list_.reset();
}

std::string HelpWindow::searchText() const { return text::wideToUtf8(framework::GetControlText(text1_)); }

void HelpWindow::setSearchTextQuietly(std::string_view text) {
    quietText_ = true;
    framework::SetControlText(text1_, wide(text));
    quietText_ = false;
}

void HelpWindow::layOut(int width, int height) {
    const framework::DpiScale& scale = framework::ScreenScale();
    RECT bar{};
    GetWindowRect(toolbar_.window(), &bar);
    LayoutInput in;
    in.width = scale.UnscaleX(width);
    in.height = scale.UnscaleY(height);
    in.toolbarHeight = scale.UnscaleY(bar.bottom - bar.top);
    in.dividing = divider_.dividing();
    in.tab = tab_;
    in.scrollBarWidth = scale.UnscaleX(GetSystemMetrics(SM_CXVSCROLL));
    const WindowLayout layout = layoutWindow(in);
    divider_.setDividing(layout.dividing);
    const auto place = [&](HWND window, const Rect& r) {
        if (window)
            MoveWindow(window, scale.ScaleX(r.x), scale.ScaleY(r.y), scale.ScaleX(r.width), scale.ScaleY(r.height), TRUE);
    };
    SendMessageW(toolbar_.window(), TB_AUTOSIZE, 0, 0);
    place(tabStrip_, layout.tabStrip);
    place(divider_.window(), layout.divider);
    place(GetDlgItem(form_, kShape1), layout.frame);
    place(page_.window(), layout.browser);
    if (layout.tree && tree_) place(tree_->window(), *layout.tree);
    if (layout.text1) place(text1_, *layout.text1);
    if (layout.command1) place(command1_, *layout.command1);
    if (layout.list1) place(list1_, *layout.list1);
}

void HelpWindow::relayOut() {
    RECT client{};
    GetClientRect(form_, &client);
    layOut(client.right, client.bottom);
}

void HelpWindow::applyTab(int tab) {
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

// The core's rule for the selection, the copy list and the tab, on PopupMenu1 and on
// the toolbar buttons that act on the tree.
void HelpWindow::applyMenuStates() {
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
    menus_.apply(context, toolbar_);
}

bool HelpWindow::renderPage(const library::TreeNode& record) {
    const bool shown = renderer_ && renderer_->RenderPage(record);
    updateHistoryButtons();
    return shown;
}

void HelpWindow::updateHistoryButtons() {
    toolbar_.enable(kCmdBack, history_.canGoBack());
    toolbar_.enable(kCmdForward, history_.canGoForward());
}

// Enter in the search box: the index tab opens the chosen line, the search tab searches.
LRESULT CALLBACK HelpWindow::text1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
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
