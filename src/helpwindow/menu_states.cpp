// Which of the tree's commands are enabled for the selection and the tab.
#include "helpwindow/menu_states.h"

#include "library/schema.h"

#include <cstddef>

namespace orv::helpwindow {

namespace {

bool isPrivateRoot(const MenuContext& c) {
    return c.selected == Selected::Category && c.type == library::kCategoryPrivateRoot;
}
bool isRecycleBin(const MenuContext& c) {
    return c.selected == Selected::Category && c.type == library::kCategoryRecycleBin;
}

bool menuItemEnabled(const MenuContext& c, int id) {
    const bool any = c.selected != Selected::None;
    switch (id) {
    case kMenuCopy:
        // The private root and the bins are refused by the copy itself; do not offer it.
        return any && !isPrivateRoot(c) && !isRecycleBin(c);
    case kMenuPaste:
    case kMenuPasteShared:
        return any && !c.copyListEmpty && !c.insideBin;
    case kMenuNew:
    case kMenuNewCategory:
    case kMenuNewEntry:
        return any && !c.insideBin;
    case kMenuEdit:
        return any;
    case kMenuDelete:
        return any && !isPrivateRoot(c);
    case kMenuNewTopCategory:
    case kMenuMove:
    case kMenuSearchLinks:
    case kMenuStatistics:
    case kMenuAbout:
        return true;
    default:
        return false;
    }
}

}  // namespace

Selected selectedKindOf(const library::TreeNode& node) {
    if (node.isCategory) return Selected::Category;
    return node.type >= library::kFirstMemberType ? Selected::Member : Selected::Entry;
}

std::array<CommandState, kMenuStateCount> menuStates(const MenuContext& context) {
    std::array<CommandState, kMenuStateCount> states{};
    std::size_t n = 0;
    for (const CommandItem& item : kPopupMenu1Items) {
        if (item.text.empty()) continue;  // the separator
        states[n++] = {item.id, menuItemEnabled(context, item.id)};
    }
    for (int id : kContentsOnlyButtons) states[n++] = {id, context.tab == kTabContents};
    return states;
}

bool commandEnabled(const MenuContext& context, int id) {
    for (const CommandState& s : menuStates(context))
        if (s.id == id) return s.enabled;
    return false;
}

}  // namespace orv::helpwindow
