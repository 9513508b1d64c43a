// The contents tree control: items read back as inserted (text, record, images, button),
// levels deleted with their records, the user's expanding, collapsing and clicking
// reported while the program's own changes stay quiet, and calls from a worker thread.
#include "helpwindow_controls/controls_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/screen_scale.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace orv::controls_test {
namespace {

using helpwindow::kNoItem;

constexpr ItemImages kCategory{0, 1, 1};
constexpr ItemImages kFile{2, 2, 2};
constexpr ItemImages kBin{3, 3, 3};
constexpr ItemImages kNewRoot{0, 0, 1};

int controlCount(HWND tree) { return static_cast<int>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)); }

TEST_F(TreeFixture, ItemsReadBackAsInsertedWithTheFourImagesAtTheScreensSize) {
    struct Case {
        std::string text;
        long long id;
        ItemImages images;
        bool button;
    };
    const Case cases[] = {
        {"关键字", 11, kCategory, true},
        {"[私用库]", 12, kNewRoot, true},
        {"[公用库回收站]", 13, kBin, true},
        {"Print", 14, kFile, false},
        {std::string(600, 'x'), 15, kFile, false},  // longer than a first read takes
    };
    std::vector<ItemId> items;
    for (const Case& c : cases) items.push_back(add(tree->root(), c.text, c.id, c.images, c.button));
    const ItemId member = add(items[0], "成员", 16, kFile, false);

    ASSERT_EQ(tree->children(tree->root()), items);
    for (size_t i = 0; i < items.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.text.substr(0, 20));
        EXPECT_EQ(tree->text(items[i]), c.text);
        ASSERT_NE(tree->record(items[i]), nullptr);
        EXPECT_EQ(tree->record(items[i])->id, c.id);
        EXPECT_EQ(tree->images(items[i]), c.images);
        EXPECT_EQ(tree->hasChildButton(items[i]), c.button);
        EXPECT_EQ(tree->parent(items[i]), tree->root());
        // What the control itself holds for a closed item.
        const ItemImages shown = controlImages(items[i]);
        EXPECT_EQ(shown.normal, c.images.normal);
        EXPECT_EQ(shown.selected, c.images.selected);
        if (tree->drawsExpandedImage()) {
            EXPECT_EQ(shown.expanded, c.images.expanded);
        }
    }
    EXPECT_EQ(tree->parent(member), items[0]);
    EXPECT_EQ(tree->parent(tree->root()), kNoItem);
    EXPECT_EQ(tree->record(tree->root()), nullptr);
    EXPECT_EQ(tree->insert(reinterpret_cast<ItemId>(&cases), "nowhere", nullptr, kFile, false), kNoItem)
        << "a parent the tree does not hold";

    const auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(tree->window(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    int width = 0, height = 0;
    ImageList_GetIconSize(list, &width, &height);
    EXPECT_EQ(width, framework::ScreenScale().ScaleX(16));
}

TEST_F(TreeFixture, TheOpenImageShowsWhileAnItemIsOpen) {
    const ItemId category = add(tree->root(), "分类", 1, kNewRoot, true);
    add(category, "词条", 2, kFile, false);
    tree->setExpanded(category, true);
    ASSERT_TRUE(tree->isExpanded(category));
    ItemImages shown = controlImages(category);
    if (tree->drawsExpandedImage()) {
        EXPECT_EQ(shown.expanded, 1);
    } else {
        EXPECT_EQ(shown.normal, 1) << "switched by hand while open";
        EXPECT_EQ(shown.selected, 1);
    }
    tree->setExpanded(category, false);
    shown = controlImages(category);
    EXPECT_EQ(shown.normal, 0);
    EXPECT_EQ(shown.selected, 0);
    EXPECT_EQ(tree->images(category), kNewRoot) << "the images as set, whatever the control shows";
}

TEST_F(TreeFixture, DeletingALevelTakesItsRecordsAndKeepsTheButton) {
    const ItemId category = add(tree->root(), "分类", 1, kCategory, true);
    const ItemId other = add(tree->root(), "其他", 2, kCategory, true);
    std::vector<ItemId> level;
    for (int i = 0; i < 5; ++i) level.push_back(add(category, "e" + std::to_string(i), 100 + i, kFile, true));
    add(level[0], "member", 200, kFile, false);
    tree->setExpanded(category, true);
    ASSERT_EQ(tree->itemCount(), 8u);

    tree->deleteChildren(category);
    EXPECT_TRUE(tree->children(category).empty());
    EXPECT_TRUE(tree->hasChildButton(category));
    EXPECT_FALSE(tree->isExpanded(category));
    for (ItemId gone : level) EXPECT_EQ(tree->record(gone), nullptr);
    EXPECT_EQ(tree->itemCount(), 2u);
    EXPECT_EQ(controlCount(tree->window()), 2);

    tree->deleteItem(other);
    EXPECT_EQ(texts(tree->root()), std::vector<std::string>{"分类"});
    EXPECT_EQ(tree->itemCount(), 1u);
    tree->deleteChildren(tree->root());
    EXPECT_EQ(tree->itemCount(), 0u);
    EXPECT_EQ(controlCount(tree->window()), 0);
}

TEST_F(TreeFixture, TheUsersExpandingReachesTheCoreAndTheProgramsDoesNot) {
    const ItemId first = add(tree->root(), "一", 1, kCategory, true);
    const ItemId second = add(tree->root(), "二", 2, kCategory, true);
    const ItemId third = add(tree->root(), "三", 3, kCategory, true);
    // The core's part: a level read afresh every time the item opens, dropped when it closes.
    whenExpanding = [&](ItemId item) {
        tree->deleteChildren(item);
        add(item, tree->text(item) + ".a", 10, kFile, false);
        add(item, tree->text(item) + ".b", 11, kFile, false);
    };
    whenCollapsed = [&](ItemId item) { tree->deleteChildren(item); };

    SendMessageW(tree->window(), TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(first));
    EXPECT_EQ(events, std::vector<std::string>{"expanding:一"}) << "TVM_EXPAND of an item never opened";
    EXPECT_EQ(texts(first), (std::vector<std::string>{"一.a", "一.b"}));
    EXPECT_TRUE(tree->isExpanded(first));

    events.clear();
    clickButton(first);
    EXPECT_EQ(events, std::vector<std::string>{"collapsed:一"});
    EXPECT_TRUE(texts(first).empty());
    clickButton(first);
    EXPECT_EQ(events, (std::vector<std::string>{"collapsed:一", "expanding:一"})) << "the same button again";
    EXPECT_EQ(texts(first).size(), 2u);

    events.clear();
    tree->select(second);
    pressKey(VK_RIGHT);
    EXPECT_EQ(events, std::vector<std::string>{"expanding:二"}) << "the right-arrow key";
    EXPECT_TRUE(tree->isExpanded(second));

    events.clear();
    add(third, "三.x", 30, kFile, false);
    tree->setExpanded(third, true);
    tree->setExpanded(third, false);
    tree->deleteChildren(third);
    tree->select(third);
    EXPECT_TRUE(events.empty()) << "the program's own changes: " << (events.empty() ? "" : events.front());
    EXPECT_EQ(tree->itemCount(), static_cast<size_t>(controlCount(tree->window())));
}

TEST_F(TreeFixture, ProgramSelectionIsQuietAndTheUsersClickIsTold) {
    const ItemId a = add(tree->root(), "甲", 1, kFile, false);
    const ItemId b = add(tree->root(), "乙", 2, kFile, false);
    tree->select(a);
    EXPECT_EQ(tree->selection(), std::vector<ItemId>{a});
    EXPECT_TRUE(events.empty());

    click(b);
    std::sort(events.begin(), events.end());  // the two come in either order
    EXPECT_EQ(events, (std::vector<std::string>{"click:乙", "selected:乙"}));
    EXPECT_EQ(tree->selection(), std::vector<ItemId>{b});

    events.clear();
    rightClick(a);
    EXPECT_EQ(events, std::vector<std::string>{"rclick:甲"});
    POINT expected{};
    const RECT r = textRect(a);
    expected = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree->window(), &expected);
    EXPECT_EQ(lastRightClick.x, expected.x);
    EXPECT_EQ(lastRightClick.y, expected.y);

    tree->select(kNoItem);
    EXPECT_TRUE(tree->selection().empty());
}

TEST_F(TreeFixture, WorkerThreadCallsAreCarriedOutWhileTheWindowsThreadPumps) {
    const ItemId category = add(tree->root(), "分类", 1, kCategory, true);
    std::atomic<bool> done{false};
    std::vector<std::string> seen;
    ItemId refused = 1;
    bool sameThread = true;
    std::thread worker([&] {
        sameThread = GetWindowThreadProcessId(tree->window(), nullptr) == GetCurrentThreadId();
        for (int i = 0; i < 200; ++i) {
            auto record = std::make_unique<library::TreeNode>();
            record->id = i;
            tree->insert(category, "w" + std::to_string(i), std::move(record), kFile, false);
        }
        tree->setExpanded(category, true);
        const std::vector<ItemId> level = tree->children(category);
        for (ItemId item : {level.front(), level.back()}) seen.push_back(tree->text(item));
        tree->select(level[7]);
        refused = tree->insert(reinterpret_cast<ItemId>(&seen), "nowhere", nullptr, kFile, false);
        tree->deleteItem(level.back());
        done = true;
    });
    const bool finished = forms_test::dispatchUntil([&] { return done.load(); }, 10000);
    worker.join();
    ASSERT_TRUE(finished) << "the worker was left waiting";
    EXPECT_FALSE(sameThread);
    EXPECT_EQ(seen, (std::vector<std::string>{"w0", "w199"}));
    EXPECT_EQ(refused, kNoItem);
    EXPECT_EQ(tree->children(category).size(), 199u);
    EXPECT_EQ(tree->record(tree->selection().at(0))->id, 7);
    EXPECT_TRUE(tree->isExpanded(category));
    EXPECT_TRUE(events.empty()) << "the worker's changes are the program's own";
    EXPECT_EQ(controlCount(tree->window()), 200);
}

}  // namespace
}  // namespace orv::controls_test
