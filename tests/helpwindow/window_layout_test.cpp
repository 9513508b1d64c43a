// The help window's layout, tab rules and command states, from the pure functions the
// window calls on every size change, tab switch and menu.
#include "helpwindow/index_search.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/window_layout.h"
#include "library/schema.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace orv::helpwindow {
namespace {

TEST(WindowLayout, DividerIsKeptBetween100AndWidthLess300) {
    struct Case { int dividing, width, expected; };
    const Case cases[] = {
        {50, 654, 100},    // a setting of 50 shows at 100
        {-20, 654, 100},
        {100, 654, 100},
        {205, 654, 205},   // the default setting
        {354, 654, 354},   // exactly width - 300
        {355, 654, 354},   // one past it is pulled back
        {2000, 654, 354},
        {50, 350, 50},     // too narrow for both limits: the browser keeps its 300
    };
    for (const Case& c : cases) {
        EXPECT_EQ(limitDividing(c.dividing, c.width), c.expected) << c.dividing << " at " << c.width;
        LayoutInput in;
        in.width = c.width;
        in.height = 480;
        in.toolbarHeight = 26;
        in.dividing = c.dividing;
        const WindowLayout l = layoutWindow(in);
        EXPECT_EQ(l.dividing, c.expected);
        EXPECT_EQ(l.divider.x, c.expected) << "the bar is drawn where the limited divider is";
        EXPECT_EQ(l.tabStrip.width, c.expected - 5);
    }
}

// A 640 x 480 client under a 26 high toolbar, divider 205, 17 wide scroll bar.
LayoutInput sample(int tab) {
    LayoutInput in;
    in.width = 640;
    in.height = 480;
    in.toolbarHeight = 26;
    in.dividing = 205;
    in.tab = tab;
    in.scrollBarWidth = 17;
    return in;
}

TEST(WindowLayout, FixedControlsAreTheSameOnEveryTab) {
    for (int tab : {kTabContents, kTabIndex, kTabSearch, kTabFavorites}) {
        const WindowLayout l = layoutWindow(sample(tab));
        EXPECT_EQ(l.tabStrip, (Rect{5, 26, 200, 27})) << tab;
        EXPECT_EQ(l.divider, (Rect{205, 26, 6, 454})) << tab;
        EXPECT_EQ(l.frame, (Rect{212, 26, 422, 449})) << tab;
        EXPECT_EQ(l.browser, (Rect{213, 27, 419, 447})) << tab;
    }
}

TEST(WindowLayout, PaneControlsPerTab) {
    struct Case {
        int tab;
        std::optional<Rect> tree, text1, command1, list1;
        int column;
    };
    const Case cases[] = {
        {kTabContents, Rect{5, 56, 200, 419}, std::nullopt, std::nullopt, std::nullopt, 180},
        {kTabIndex, std::nullopt, Rect{5, 56, 200, 20}, std::nullopt, Rect{5, 81, 200, 394}, 0},
        {kTabSearch, std::nullopt, Rect{5, 56, 155, 20}, Rect{165, 56, 40, 20}, Rect{5, 81, 200, 394}, 0},
        {kTabFavorites, std::nullopt, std::nullopt, std::nullopt, Rect{5, 56, 200, 419}, 0},
    };
    for (const Case& c : cases) {
        const WindowLayout l = layoutWindow(sample(c.tab));
        EXPECT_EQ(l.tree, c.tree) << c.tab;
        EXPECT_EQ(l.text1, c.text1) << c.tab;
        EXPECT_EQ(l.command1, c.command1) << c.tab;
        EXPECT_EQ(l.list1, c.list1) << c.tab;
        EXPECT_EQ(l.treeColumnWidth, c.column) << c.tab;
    }
}

TEST(WindowLayout, ThePulledBackDividerMovesTheBrowser) {
    LayoutInput in = sample(kTabSearch);
    in.dividing = 900;  // past 640 - 300
    WindowLayout l = layoutWindow(in);
    EXPECT_EQ(l.frame, (Rect{347, 26, 287, 449}));
    EXPECT_EQ(l.browser, (Rect{348, 27, 284, 447}));
    EXPECT_EQ(l.command1, (Rect{300, 56, 40, 20}));

    in.dividing = 50;
    l = layoutWindow(in);
    EXPECT_EQ(l.frame, (Rect{107, 26, 527, 449}));
    EXPECT_EQ(l.text1, (Rect{5, 56, 50, 20}));
    EXPECT_EQ(l.command1, (Rect{60, 56, 40, 20}));
}

TEST(WindowLayout, OnlyTheShownControlsAreLaidOut) {
    for (int tab : {0, 1, 2, 3, 7}) {  // 7: no such tab, laid out as the contents tab
        const WindowLayout l = layoutWindow(sample(tab));
        const TabPanes& p = tabPanes(tab);
        EXPECT_EQ(l.tree.has_value(), p.tree) << tab;
        EXPECT_EQ(l.text1.has_value(), p.text1) << tab;
        EXPECT_EQ(l.command1.has_value(), p.command1) << tab;
        EXPECT_EQ(l.list1.has_value(), p.list1) << tab;
    }
}

TEST(WindowLayout, SizesNeverGoNegative) {
    LayoutInput in = sample(kTabIndex);
    in.height = 40;  // a client shorter than the toolbar and the tab strip
    const WindowLayout l = layoutWindow(in);
    EXPECT_EQ(l.list1->height, 0);
    EXPECT_EQ(l.browser.height, 7);
    in.height = 20;
    EXPECT_EQ(layoutWindow(in).divider.height, 0);
}

TEST(TabSwitch, ShownControlsAndFocus) {
    struct Case { int tab; bool tree, text1, command1, list1; int focus; bool fillsAtOnce; };
    const Case cases[] = {
        {kTabContents, true, false, false, false, kTreeList1, false},
        {kTabIndex, false, true, false, true, kText1, false},
        {kTabSearch, false, true, true, true, kText1, false},
        {kTabFavorites, false, false, false, true, kList1, true},
    };
    for (const Case& c : cases) {
        const TabPanes& p = tabPanes(c.tab);
        EXPECT_EQ(p.tree, c.tree) << c.tab;
        EXPECT_EQ(p.text1, c.text1) << c.tab;
        EXPECT_EQ(p.command1, c.command1) << c.tab;
        EXPECT_EQ(p.list1, c.list1) << c.tab;
        EXPECT_EQ(p.focus, c.focus) << c.tab;
        EXPECT_EQ(tabFillsListAtOnce(c.tab), c.fillsAtOnce) << c.tab;
    }
}

TEST(TabSwitch, PlaceholderListIsClearedOnIndexAndSearch) {
    const std::string nothing(kNothingFound), noFavorites(kNoFavorites);
    struct Case { int tab; std::vector<std::string> lines; bool cleared; };
    const Case cases[] = {
        {kTabIndex, {noFavorites}, true},
        {kTabIndex, {nothing}, true},
        {kTabSearch, {noFavorites}, true},
        {kTabSearch, {nothing}, true},
        {kTabFavorites, {noFavorites}, false},  // favorites refills its list anyway
        {kTabContents, {nothing}, false},
        {kTabIndex, {nothing, "Print"}, false},  // a real result is kept
        {kTabSearch, {"Print"}, false},
        {kTabIndex, {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clearsListOnSwitch(c.tab, c.lines), c.cleared) << c.tab << " " << c.lines.size();
}

std::set<int> enabledIds(const MenuContext& c) {
    std::set<int> ids;
    for (const CommandState& s : menuStates(c))
        if (s.enabled) ids.insert(s.id);
    return ids;
}

MenuContext context(Selected selected, int type, bool insideBin, bool copied, int tab = kTabContents) {
    MenuContext c;
    c.selected = selected;
    c.type = type;
    c.insideBin = insideBin;
    c.copyListEmpty = !copied;
    c.tab = tab;
    return c;
}

constexpr int kRoot = library::kCategoryPrivateRoot, kBin = library::kCategoryRecycleBin;

TEST(MenuStates, PopupMenuForEachKindOfSelection) {
    // Toolbar buttons 107, 108, 109 and 111 are in every row: the contents tab is active.
    const std::set<int> always{127, 131, 134, 135, 136, 107, 108, 109, 111};
    const auto with = [&](std::set<int> more) {
        more.insert(always.begin(), always.end());
        return more;
    };
    struct Case { const char* what; MenuContext c; std::set<int> enabled; };
    const Case cases[] = {
        {"no selection", context(Selected::None, 0, false, false), always},
        {"no selection, something copied", context(Selected::None, 0, false, true), always},
        {"category, nothing copied", context(Selected::Category, 0, false, false),
         with({123, 126, 128, 129, 130, 132})},
        {"category, something copied", context(Selected::Category, 0, false, true),
         with({123, 124, 125, 126, 128, 129, 130, 132})},
        {"entry inside a bin", context(Selected::Entry, 3, true, true), with({123, 130, 132})},
        {"member inside a bin", context(Selected::Member, 20, true, true), with({123, 130, 132})},
        {"category inside a bin", context(Selected::Category, 0, true, true), with({123, 130, 132})},
        {"private root", context(Selected::Category, kRoot, false, true),
         with({124, 125, 126, 128, 129, 130})},
        {"the bin itself", context(Selected::Category, kBin, false, true),
         with({124, 125, 126, 128, 129, 130, 132})},
        {"entry of type 2 is no bin", context(Selected::Entry, 2, false, false),
         with({123, 126, 128, 129, 130, 132})},
        {"entry of type 11 is no root", context(Selected::Entry, 11, false, false),
         with({123, 126, 128, 129, 130, 132})},
    };
    for (const Case& c : cases) EXPECT_EQ(enabledIds(c.c), c.enabled) << c.what;
}

TEST(MenuStates, TreeButtonsFollowTheTabOnly) {
    for (int tab : {kTabContents, kTabIndex, kTabSearch, kTabFavorites}) {
        for (Selected s : {Selected::None, Selected::Entry}) {
            const MenuContext c = context(s, 0, false, true, tab);
            for (int id : {kCmdNewMenu, kCmdEdit, kCmdDelete, kCmdFavorite})
                EXPECT_EQ(commandEnabled(c, id), tab == kTabContents) << tab << " " << id;
            // The menu itself does not depend on the tab.
            EXPECT_EQ(commandEnabled(c, kMenuEdit), s != Selected::None) << tab;
        }
    }
}

TEST(MenuStates, EveryMenuItemHasOneStateAndNoOtherIdIsCovered) {
    const MenuContext c = context(Selected::Entry, 0, false, true);
    std::set<int> seen;
    for (const CommandState& s : menuStates(c)) EXPECT_TRUE(seen.insert(s.id).second) << s.id;
    for (const CommandItem& item : kPopupMenu1Items)
        EXPECT_EQ(seen.count(item.id), item.text.empty() ? 0u : 1u) << item.id;
    for (int id : {133, kCmdHome, kCmdSync, kMenuCopyText, kMenuViewSource})
        EXPECT_FALSE(commandEnabled(c, id)) << id;
}

TEST(MenuStates, SelectedKindOfATreeRecord) {
    struct Case { bool category; int type; Selected expected; };
    const Case cases[] = {
        {true, 0, Selected::Category},
        {true, kRoot, Selected::Category},
        {true, kBin, Selected::Category},
        {false, library::kEntryDefinedType, Selected::Entry},
        {false, 19, Selected::Entry},
        {false, library::kEntryMember, Selected::Member},
        {false, library::kEntryEnumMember, Selected::Member},
    };
    for (const Case& c : cases) {
        library::TreeNode node;
        node.isCategory = c.category;
        node.type = c.type;
        EXPECT_EQ(selectedKindOf(node), c.expected) << c.category << " " << c.type;
    }
}

TEST(Commands, MenuTablesHoldTheirIdsInOrder) {
    int id = kMenuCopy;
    for (const CommandItem& item : kPopupMenu1Items) EXPECT_EQ(item.id, id++);
    EXPECT_EQ(id, kPopupMenu1);
    id = kCmdHome;
    for (const CommandItem& item : kToolbarButtons) EXPECT_EQ(item.id, id++);
    EXPECT_EQ(id, kToolBar1);
    for (const CommandItem& item : kPopupMenu1Items)
        EXPECT_EQ(inNewSubmenu(item.id), item.id >= 127 && item.id <= 129) << item.id;
    // The ASCII parentheses, not the full-width ones.
    EXPECT_EQ(kPopupMenu1Items[2].text, "\xE7\xB2\x98\xE8\xB4\xB4(\xE5\x85\xB1\xE4\xBA\xAB\xE6\x95\xB0\xE6\x8D\xAE)");
}

// Controls that are no command carry ids no command of the window has: whatever they
// send (the engine's notice clicked, the divider double-clicked) runs nothing.
TEST(MenuStates, ControlIdsAreNoCommandIds) {
    std::set<int> commands;
    for (const CommandItem& item : kToolbarButtons) commands.insert(item.id);
    for (const CommandItem& item : kPopupMenu1Items) commands.insert(item.id);
    for (const CommandItem& item : kPopupMenu2Items) commands.insert(item.id);
    for (int control : {kTabControl1, kToolBar1, kPicture1, kText1, kList1, kCommand1, kTreeList1, kShape1, kMiniblink1,
                        kEngineNotice})
        EXPECT_EQ(commands.count(control), 0u) << control;
}

}  // namespace
}  // namespace orv::helpwindow
