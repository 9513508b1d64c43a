// The help window's form (Form1), shared by the files that make it up: help_window.cpp
// (creation, layout, tabs, closing), help_window_commands.cpp (the commands, the page
// message and the windows it opens) and the parts it owns (toolbar, popup menus, divider,
// page pane, daily check). Win32 only.
//
// The thread rule: this window's thread owns every window object, tree item, list line,
// record and page. Link resolutions, index lookups and the daily check run on workers
// that read the libraries and hand back plain values as tasks of this thread
// (framework/win32/ui_tasks.h); no worker holds a lock or waits for this thread, and none
// keeps a pointer into what this thread owns. Engine callbacks never run a nested loop:
// they post. Every command that writes holds the plug-in's operation gate from its start
// to its end; while one runs, no other starts and no window of ours closes.
#pragma once

#include "framework/win32/form.h"
#include "framework/win32/message_box_prompter.h"
#include "helpwindow/catalogue.h"
#include "helpwindow/contents.h"
#include "helpwindow/help_window_view.h"
#include "helpwindow/index_search.h"
#include "helpwindow/link_dispatch.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/win32/daily_check.h"
#include "helpwindow/win32/divider_control.h"
#include "helpwindow/win32/list_control.h"
#include "helpwindow/win32/page_message.h"
#include "helpwindow/win32/page_pane.h"
#include "helpwindow/win32/popup_menus.h"
#include "helpwindow/win32/toolbar.h"
#include "helpwindow/win32/tree_control.h"
#include "library/host_db.h"
#include "library/settings.h"
#include "library/settings_store.h"
#include "render/history.h"
#include "render/page_renderer.h"
#include "sync/server_protocol.h"
#include "tools/win32/progress_window.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orv::editors {
struct EditorHost;
}

namespace orv::helpwindow {

class HelpWindow : public framework::FormHandler, public HelpWindowView, public render::SearchState {
public:
    HelpWindow(library::HostDb& db, std::string ideFolder, int openMode);
    ~HelpWindow() override;

    const library::Settings& settings() const { return settings_; }

    // framework::FormHandler
    bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onCreated(HWND form, LPARAM) override;
    void onLayout(HWND, int width, int height) override { layOut(width, height); }
    void onCommand(HWND form, int id, int code, HWND control) override;
    LRESULT onNotify(HWND, NMHDR& header) override;
    int onCloseRequest(HWND form) override;
    void onDestroy(HWND form) override;

    // HelpWindowView: the core calls these on this thread.
    bool showPage(const library::TreeNode& record) override { return renderPage(record); }
    int currentTab() const override { return tab_; }
    void switchTab(int tab) override { applyTab(tab); }
    // ... and render::SearchState: pages opened while the search tab is active mark its word.
    std::string searchText() const override;
    bool searchTabActive() const override { return tab_ == kTabSearch; }
    void setSearchTextQuietly(std::string_view text) override;
    bool searchHasFocus() const override { return GetFocus() == text1_; }

private:
    // help_window.cpp: what the window is made of, and how it shows.
    void create(HWND form);
    WindowThread windowThread();
    void createTabStrip(HWND form);
    void createList(HWND form);
    void createTree(HWND form);
    HWND control(HWND form, const char* kind, const wchar_t* name, int id, const std::wstring& caption,
                 std::uint32_t style, const char* font);
    void layOut(int width, int height);
    void relayOut();
    void applyTab(int tab);
    void applyMenuStates();
    bool renderPage(const library::TreeNode& record);
    void updateHistoryButtons();
    static LRESULT CALLBACK text1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    // help_window_commands.cpp: what the user and the IDE ask of it.
    bool browsingCommand(int id);
    bool catalogueCommand(int id);
    bool windowCommand(int id);
    bool paneCommand(int id, int code);
    // Runs a command that writes as an operation of the plug-in (see the thread rule).
    void runOperation(std::string_view what, const std::function<void()>& body);
    void onPageMessage(WPARAM command, LPARAM argument);
    void openLink(const std::string& link);
    void onLinkClicked(const std::string& address);
    void showStartPage();
    void reloadTreeAndPage();
    void searchLinks();
    void moveSelection();
    void editSelected();
    void openSetup();
    void openSync();
    void showTreeMenu(POINT at);
    void showNewMenu();
    void showPageMenu();
    std::optional<library::TreeNode> firstSelected() const;
    editors::EditorHost editorHost();

    library::HostDb& db_;
    std::string ideFolder_;
    int openMode_;
    HWND form_ = nullptr;
    std::unique_ptr<library::SettingsStore> store_;  // null without an IDE folder
    library::Settings settings_;
    framework::MessageBoxPrompter prompter_;
    tools::ProgressOver progress_;
    Toolbar toolbar_;
    PopupMenus menus_;
    DividerControl divider_;
    HWND tabStrip_ = nullptr, text1_ = nullptr, list1_ = nullptr, command1_ = nullptr;
    int tab_ = kTabContents;
    bool quietText_ = false;
    render::NavigationHistory history_;
    PagePane page_;
    std::unique_ptr<render::PageRenderer> renderer_;
    std::unique_ptr<TreeControl> tree_;
    std::unique_ptr<ListControl> list_;
    std::unique_ptr<Contents> contents_;
    std::unique_ptr<LinkDispatcher> links_;
    std::unique_ptr<IndexAndSearch> panes_;
    std::unique_ptr<sync::ServerSession> session_;
    std::unique_ptr<Catalogue> catalogue_;
    std::unique_ptr<DailyCheck> daily_;
    Lifetime lifetime_;
};

}  // namespace orv::helpwindow
