// The help window's popup menus: PopupMenu1 on the contents tree with its "新建"
// submenu (also dropped down by the toolbar), and PopupMenu2 on the page; their
// pictures, and the states the core's rule gives their items. Win32 only.
#pragma once

#include "helpwindow/menu_states.h"

#include <windows.h>

#include <vector>

namespace orv::helpwindow {

class Toolbar;

class PopupMenus {
public:
    PopupMenus() = default;
    ~PopupMenus();
    PopupMenus(const PopupMenus&) = delete;
    PopupMenus& operator=(const PopupMenus&) = delete;

    // Throws with the step that failed.
    void create();

    // The items' states for `context`, on PopupMenu1 and on the toolbar buttons that act
    // on the tree.
    void apply(const MenuContext& context, Toolbar& toolbar);

    // Each runs the menu's own loop and hands the chosen command to `form` as WM_COMMAND.
    // Never from inside an engine callback: the window posts itself there first.
    void showTreeMenu(HWND form, POINT at) const;
    void showNewMenu(HWND form, const RECT& button) const;
    void showPageMenu(HWND form, POINT at) const;

private:
    void setPicture(HMENU menu, const CommandItem& item);
    int newItemPlace() const;

    HMENU tree_ = nullptr, new_ = nullptr, page_ = nullptr;
    bool newAttached_ = false;  // the "新建" submenu goes with PopupMenu1 once it hangs there
    std::vector<HBITMAP> pictures_;
};

}  // namespace orv::helpwindow
