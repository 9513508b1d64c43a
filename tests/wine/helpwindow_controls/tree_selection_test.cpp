// The tree's multi-selection as the user builds it: Ctrl+click adds and removes, Shift+click
// selects a range in the order shown, a plain click goes back to one item, and no more
// than the most a command takes is ever selected.
#include "helpwindow_controls/controls_fixture.h"

namespace orv::controls_test {
namespace {

using helpwindow::kMaxSelection;

class TreeSelection : public TreeFixture {
protected:
    // Top-level items "t0".."t(n-1)"; the item "t1" holds "t1.a" and "t1.b" and is open.
    void fill(int n) {
        for (int i = 0; i < n; ++i) top.push_back(add(tree->root(), "t" + std::to_string(i), i, {}, false));
        inner.push_back(add(top[1], "t1.a", 100, {}, false));
        inner.push_back(add(top[1], "t1.b", 101, {}, false));
        tree->setExpanded(top[1], true);
    }
    std::vector<std::string> selected() const { return textsOf(tree->selection()); }
    bool drawnSelected(ItemId item) const {
        return (SendMessageW(tree->window(), TVM_GETITEMSTATE, item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    }

    std::vector<ItemId> top;
    std::vector<ItemId> inner;
};

TEST_F(TreeSelection, CtrlClickAddsAndRemovesAndTheSelectionComesInTreeOrder) {
    fill(5);
    click(top[3]);
    events.clear();
    click(top[0], MK_CONTROL);
    click(inner[1], MK_CONTROL);
    EXPECT_EQ(selected(), (std::vector<std::string>{"t0", "t1.b", "t3"}));
    EXPECT_TRUE(drawnSelected(top[0]));
    EXPECT_TRUE(drawnSelected(inner[1]));

    click(top[0], MK_CONTROL);
    EXPECT_EQ(selected(), (std::vector<std::string>{"t1.b", "t3"})) << "a second Ctrl+click takes it out";
    EXPECT_FALSE(drawnSelected(top[0]));
    EXPECT_TRUE(events.empty()) << "the focused item, and its page, stay: " << (events.empty() ? "" : events[0]);

    click(top[4]);
    EXPECT_EQ(selected(), std::vector<std::string>{"t4"}) << "a plain click selects one again";
    EXPECT_FALSE(drawnSelected(inner[1]));
}

TEST_F(TreeSelection, ShiftClickSelectsFromTheAnchorInTheOrderShown) {
    fill(6);
    click(top[0]);
    click(top[2], MK_SHIFT);
    EXPECT_EQ(selected(), (std::vector<std::string>{"t0", "t1", "t1.a", "t1.b", "t2"}));

    // Upwards from a new anchor set by Ctrl+click; the earlier range is replaced.
    click(top[5], MK_CONTROL);
    click(inner[1], MK_SHIFT);
    EXPECT_EQ(selected(), (std::vector<std::string>{"t1.b", "t2", "t3", "t4", "t5"}));

    click(inner[0]);
    EXPECT_EQ(selected(), std::vector<std::string>{"t1.a"});
    tree->select(top[2]);
    EXPECT_EQ(selected(), std::vector<std::string>{"t2"}) << "the program's selection is a single one";
}

TEST_F(TreeSelection, NoMoreThanTheMostACommandTakesIsSelected) {
    const int n = static_cast<int>(kMaxSelection) + 50;
    SendMessageW(tree->window(), WM_SETREDRAW, FALSE, 0);
    fill(n);
    SendMessageW(tree->window(), WM_SETREDRAW, TRUE, 0);
    click(top[0]);
    click(top[n - 1], MK_SHIFT);
    std::vector<ItemId> chosen = tree->selection();
    ASSERT_EQ(chosen.size(), kMaxSelection);
    EXPECT_EQ(chosen.front(), top[0]) << "the range keeps its anchor";
    EXPECT_EQ(tree->text(chosen.back()), "t" + std::to_string(kMaxSelection - 3)) << "t1's two children count";

    click(top[n - 1], MK_CONTROL);
    EXPECT_EQ(tree->selection().size(), kMaxSelection) << "a Ctrl+click past the most adds nothing";
    click(top[0], MK_CONTROL);
    click(top[n - 1], MK_CONTROL);
    chosen = tree->selection();
    EXPECT_EQ(chosen.size(), kMaxSelection);
    EXPECT_EQ(chosen.back(), top[n - 1]) << "room again once one is taken out";

    // Items that go take their place in the selection with them.
    tree->deleteChildren(top[1]);
    EXPECT_EQ(tree->selection().size(), kMaxSelection - 2);
}

}  // namespace
}  // namespace orv::controls_test
