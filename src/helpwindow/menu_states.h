// The help window's commands: the toolbar buttons and the two popup menus as data (ids,
// icons, texts), and which of them are enabled for the tree's selection and the tab.
#pragma once

#include "helpwindow/help_window_view.h"
#include "library/tree_node.h"

#include <array>
#include <string_view>

namespace orv::helpwindow {

// Toolbar buttons.
inline constexpr int kCmdHome = 103;
inline constexpr int kCmdBack = 104;
inline constexpr int kCmdForward = 105;
inline constexpr int kCmdNewMenu = 107;  // drops down the "新建" submenu
inline constexpr int kCmdEdit = 108;
inline constexpr int kCmdDelete = 109;
inline constexpr int kCmdFavorite = 111;
inline constexpr int kCmdSync = 112;
inline constexpr int kCmdSetup = 113;
inline constexpr int kCmdAbout = 114;
// PopupMenu1, the contents tree's menu (127 to 129 form the submenu of 126).
inline constexpr int kPopupMenu1 = 137;
inline constexpr int kMenuCopy = 123;
inline constexpr int kMenuPaste = 124;
inline constexpr int kMenuPasteShared = 125;
inline constexpr int kMenuNew = 126;
inline constexpr int kMenuNewTopCategory = 127;
inline constexpr int kMenuNewCategory = 128;
inline constexpr int kMenuNewEntry = 129;
inline constexpr int kMenuEdit = 130;
inline constexpr int kMenuMove = 131;
inline constexpr int kMenuDelete = 132;
inline constexpr int kMenuSearchLinks = 134;
inline constexpr int kMenuStatistics = 135;
inline constexpr int kMenuAbout = 136;
// PopupMenu2, the browser's menu.
inline constexpr int kPopupMenu2 = 142;
inline constexpr int kMenuCopyText = 139;
inline constexpr int kMenuSelectAll = 140;
inline constexpr int kMenuViewSource = 141;

// A toolbar button or menu item; id 0 with no text is a separator. `icon` is the
// resource name for the toolbar, "file|resource" for a menu item, empty when none.
struct CommandItem {
    int id;
    std::string_view icon;
    std::string_view text;  // also the toolbar button's tooltip
};

inline constexpr std::array<CommandItem, 12> kToolbarButtons{{
    {kCmdHome, "ICON_HOME", "主页"},
    {kCmdBack, "ICON_BACK", "返回"},
    {kCmdForward, "ICON_FORWD", "前进"},
    {106, "", ""},
    {kCmdNewMenu, "ICON_NEW", "新建"},
    {kCmdEdit, "ICON_EDIT", "编辑"},
    {kCmdDelete, "ICON_CLOSE", "删除"},
    {110, "", ""},
    {kCmdFavorite, "ICON_ADFAV", "收藏"},
    {kCmdSync, "ICON_STOP", "同步"},  // the window shows sync::syncButtonCaption instead
    {kCmdSetup, "ICON_CONFG", "设置"},
    {kCmdAbout, "ICON_ABOUT", "关于"},
}};

// In menu order; 127 to 129 belong to the submenu of 126.
inline constexpr std::array<CommandItem, 14> kPopupMenu1Items{{
    {kMenuCopy, "", "复制"},
    {kMenuPaste, "", "粘贴"},
    {kMenuPasteShared, "", "粘贴(共享数据)"},
    {kMenuNew, "new.ico|ICON_NEW", "新建"},
    {kMenuNewTopCategory, "", "新增首分类"},
    {kMenuNewCategory, "foldr.ico|ICON_FOLDR", "新增分类"},
    {kMenuNewEntry, "docs.ico|ICON_DOCS", "新增词条"},
    {kMenuEdit, "edit.ico|ICON_EDIT", "编辑"},
    {kMenuMove, "", "移动"},
    {kMenuDelete, "close.ico|ICON_CLOSE", "删除"},
    {133, "", ""},
    {kMenuSearchLinks, "", "搜索链接"},
    {kMenuStatistics, "", "统计"},
    {kMenuAbout, "about.ico|ICON_ABOUT", "关于"},
}};
constexpr bool inNewSubmenu(int id) { return id >= kMenuNewTopCategory && id <= kMenuNewEntry; }

inline constexpr std::array<CommandItem, 3> kPopupMenu2Items{{
    {kMenuCopyText, "", "复制"},
    {kMenuSelectAll, "", "全选"},
    {kMenuViewSource, "", "查看网页源码"},
}};

// What the tree's selection is. A "more" line carries no record and counts as none.
enum class Selected { None, Category, Entry, Member };

struct MenuContext {
    Selected selected = Selected::None;
    int type = 0;             // the selected node's nType
    bool insideBin = false;   // a recycle bin lies above the node (not the node itself)
    bool copyListEmpty = true;
    int tab = kTabContents;
};

// The kind of node a tree record stands for (members are the rows of types 20 and up).
Selected selectedKindOf(const library::TreeNode& node);

// The states of PopupMenu1's items and of the toolbar buttons that act on the tree
// (107, 108, 109, 111), set each time before the menu or the "新建" submenu opens and
// whenever the tab changes.
struct CommandState {
    int id;
    bool enabled;
};
// The buttons that act on the tree; they are enabled only while the contents tab is active.
inline constexpr std::array<int, 4> kContentsOnlyButtons{kCmdNewMenu, kCmdEdit, kCmdDelete, kCmdFavorite};
constexpr int menuStateCount() {
    int n = static_cast<int>(kContentsOnlyButtons.size());
    for (const CommandItem& item : kPopupMenu1Items)
        if (!item.text.empty()) ++n;
    return n;
}
inline constexpr int kMenuStateCount = menuStateCount();
std::array<CommandState, kMenuStateCount> menuStates(const MenuContext& context);

// The state of one of those ids; false for an id the rule does not cover.
bool commandEnabled(const MenuContext& context, int id);

}  // namespace orv::helpwindow
