// The contents core over the real tree control: the user opens a category and an entry
// with members by their buttons, picks an entry and sees its page, and closes the
// category again. Leaves a picture of the tree in ORV_JOURNEY_DIR.
#include "helpwindow_controls/controls_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/window_capture.h"
#include "helpwindow/contents.h"
#include "helpwindow/helpwindow_fixture.h"
#include "library/schema.h"

namespace orv::controls_test {
namespace {

using helpwindow::Contents;
using library::kPrivate;
using library::kPublic;

class ContentsOverTree : public TreeFixture {
protected:
    void SetUp() override {
        TreeFixture::SetUp();
        if (HasFatalFailure()) return;
        contents = std::make_unique<Contents>(
            helpwindow::ContentsSources{db, *tree, view, settings, [] { return 1700000000LL; }, prompter});
        whenExpanding = [this](ItemId item) { contents->OnExpanding(item); };
        whenCollapsed = [this](ItemId item) { contents->OnCollapsed(item); };
        whenSelected = [this](ItemId item) { contents->OnSelected(item); };
    }
    ItemId childNamed(ItemId parent, const std::string& name) const {
        for (ItemId child : tree->children(parent))
            if (tree->text(child) == name) return child;
        ADD_FAILURE() << "no item " << name;
        return helpwindow::kNoItem;
    }

    test::WatchedHostDb db;
    test::LibraryRows rows{db};
    library::Settings settings;
    helpwindow::MemoryView view;
    test::RecordingPrompter prompter;
    std::unique_ptr<Contents> contents;
};

TEST_F(ContentsOverTree, TheUserOpensACategoryAndAnEntryAndPicksAnEntry) {
    const long long keywords = rows.category(kPublic, 0, "关键字", 0, 1);
    rows.category(kPublic, 0, "函数", 0, 2);
    rows.entry(kPublic, keywords, "Dim");
    const long long type = rows.entry(kPublic, keywords, "Type", 5);
    rows.entry(kPublic, keywords, "Print");
    rows.member(kPublic, type, "x As Integer");
    rows.member(kPublic, type, "y As Integer");
    rows.category(kPrivate, 0, "我的笔记");

    contents->Reload();
    EXPECT_EQ(texts(tree->root()), (std::vector<std::string>{"关键字", "函数", "[私用库]"}));
    const ItemId category = childNamed(tree->root(), "关键字");
    EXPECT_TRUE(tree->hasChildButton(category));
    EXPECT_TRUE(tree->children(category).empty()) << "levels load when they open";

    clickButton(category);
    EXPECT_EQ(texts(category), (std::vector<std::string>{"Dim", "Print", "Type"}));
    EXPECT_TRUE(tree->isExpanded(category));
    EXPECT_EQ(tree->images(category).normal, helpwindow::kImageBookOpen);

    const ItemId typeItem = childNamed(category, "Type");
    EXPECT_TRUE(tree->hasChildButton(typeItem)) << "an entry of type 5 owns members";
    clickButton(typeItem);
    EXPECT_EQ(texts(typeItem), (std::vector<std::string>{"x As Integer", "y As Integer"}));

    const ItemId print = childNamed(category, "Print");
    click(print);
    const std::vector<library::TreeNode> pages = view.shownPages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].name, "Print");
    EXPECT_FALSE(pages[0].isCategory);

    // The private library opens under its root.
    const ItemId privateRoot = contents->privateRootNode();
    clickButton(privateRoot);
    EXPECT_EQ(texts(privateRoot), std::vector<std::string>{"我的笔记"});

    framework::WaitDispatching(100);
    std::string error;
    EXPECT_TRUE(framework::SaveWindowPng(form, forms_test::journeyPicture("contents-tree.png"), &error)) << error;

    clickButton(category);
    EXPECT_TRUE(tree->children(category).empty()) << "a closed level is let go";
    EXPECT_TRUE(tree->hasChildButton(category));
    EXPECT_EQ(tree->images(category).normal, helpwindow::kImageBook);
    EXPECT_EQ(tree->itemCount(), static_cast<size_t>(SendMessageW(tree->window(), TVM_GETCOUNT, 0, 0)));
    EXPECT_TRUE(prompter.said.empty());
}

}  // namespace
}  // namespace orv::controls_test
