// The help window's popup menus. Win32 only.
#include "helpwindow/win32/popup_menus.h"

#include "framework/win32/images.h"
#include "helpwindow/win32/toolbar.h"
#include "text/win32/wide_text.h"

#include <algorithm>
#include <stdexcept>

namespace orv::helpwindow {

PopupMenus::~PopupMenus() {
    if (tree_) DestroyMenu(tree_);
    if (new_ && !newAttached_) DestroyMenu(new_);
    if (page_) DestroyMenu(page_);
    for (HBITMAP picture : pictures_) DeleteObject(picture);
}

void PopupMenus::create() {
    tree_ = CreatePopupMenu();
    new_ = CreatePopupMenu();
    page_ = CreatePopupMenu();
    if (!tree_ || !new_ || !page_) throw std::runtime_error("菜单未能建立。");
    for (const CommandItem& item : kPopupMenu1Items) {
        HMENU into = inNewSubmenu(item.id) ? new_ : tree_;
        if (item.text.empty()) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
        } else if (item.id == kMenuNew) {
            if (!AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(new_),
                             text::utf8ToWide(item.text).c_str()))
                throw std::runtime_error("菜单未能建立。");
            newAttached_ = true;
        } else {
            AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(item.id), text::utf8ToWide(item.text).c_str());
        }
    }
    for (const CommandItem& item : kPopupMenu2Items)
        AppendMenuW(page_, MF_STRING, static_cast<UINT_PTR>(item.id), text::utf8ToWide(item.text).c_str());
    for (const CommandItem& item : kPopupMenu1Items)
        if (!item.icon.empty()) setPicture(inNewSubmenu(item.id) ? new_ : tree_, item);
}

// A menu item's icon, as a bitmap kept until the menus go. An icon that cannot be read
// leaves the item with its text alone.
void PopupMenus::setPicture(HMENU menu, const CommandItem& item) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    HICON icon = framework::LoadImageIcon(item.icon, size);
    HBITMAP picture = icon ? framework::MenuBitmapFromIcon(icon, size) : nullptr;
    if (icon) DestroyIcon(icon);
    if (!picture) return;
    pictures_.push_back(picture);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = picture;
    if (item.id == kMenuNew) {
        if (const int place = newItemPlace(); place >= 0) SetMenuItemInfoW(tree_, static_cast<UINT>(place), TRUE, &info);
    } else {
        SetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
    }
}

// The "新建" submenu's item is found by its place in PopupMenu1: it has no command id.
int PopupMenus::newItemPlace() const {
    for (int i = 0; i < GetMenuItemCount(tree_); ++i)
        if (GetSubMenu(tree_, i) == new_) return i;
    return -1;
}

void PopupMenus::apply(const MenuContext& context, Toolbar& toolbar) {
    for (const CommandState& state : menuStates(context)) {
        const UINT shown = state.enabled ? MF_ENABLED : MF_GRAYED;
        if (state.id == kMenuNew) {
            if (const int place = newItemPlace(); place >= 0)
                EnableMenuItem(tree_, static_cast<UINT>(place), MF_BYPOSITION | shown);
            continue;
        }
        const UINT flags = MF_BYCOMMAND | shown;
        EnableMenuItem(tree_, static_cast<UINT>(state.id), flags);
        EnableMenuItem(new_, static_cast<UINT>(state.id), flags);
        if (std::find(kContentsOnlyButtons.begin(), kContentsOnlyButtons.end(), state.id) != kContentsOnlyButtons.end())
            toolbar.enable(state.id, state.enabled);
    }
}

void PopupMenus::showTreeMenu(HWND form, POINT at) const {
    TrackPopupMenu(tree_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form, nullptr);
}

void PopupMenus::showNewMenu(HWND form, const RECT& button) const {
    TrackPopupMenu(new_, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, form, nullptr);
}

void PopupMenus::showPageMenu(HWND form, POINT at) const {
    TrackPopupMenu(page_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form, nullptr);
}

}  // namespace orv::helpwindow
