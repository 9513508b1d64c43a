// The contents tree: what each level shows, the private root, recycle bins, members,
// the located node, images and buttons, and what expanding, collapsing and selecting do.
#include "helpwindow/helpwindow_fixture.h"

#include "library/fragment.h"
#include "library/schema.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

using helpwindow::ItemId;
using helpwindow::ItemImages;
using helpwindow::kNoItem;
using helpwindow::LocateTarget;
using helpwindow::kImageBook;
using helpwindow::kImageBookOpen;
using namespace library;

class ContentsTest : public HelpWindowFixture {
protected:
    // The items of a level that carry a record (entries, members, categories).
    std::vector<ItemId> withRecords(ItemId parent) const {
        std::vector<ItemId> out;
        for (ItemId child : tree.children(parent))
            if (tree.record(child)) out.push_back(child);
        return out;
    }
    // Fills category `dID` with `n` entries named e0001, e0002, ... in one transaction.
    void fill(int lib, long long dID, int n, int type = 0) {
        db.transaction(lib, TransactionStep::Begin);
        for (int i = 1; i <= n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "e%04d", i);
            rows.entry(lib, dID, name, type, 0);
        }
        db.transaction(lib, TransactionStep::Commit);
    }
    long long countRows(int lib, std::string_view table, const std::string& where) {
        return db.count(lib, table, where);
    }
};

TEST_F(ContentsTest, ALevelShowsAtMost500EntriesAndSaysHowManyItLeftOut) {
    struct Case {
        int entries;
        int shown;
        std::string last;  // the level's last line
    };
    const Case cases[] = {
        {3, 3, "e0003"},
        {500, 500, "e0500"},
        {501, 500, ".......下面还有1条被省略"},
        {1203, 500, ".......下面还有703条被省略"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        const long long cat = rows.category(kPublic, 0, "cat" + std::to_string(c.entries));
        fill(kPublic, cat, c.entries);
        contents.Reload();
        const ItemId item = contents.findChild(tree.root(), cat, true);
        contents.Expand(item);
        EXPECT_EQ(static_cast<int>(withRecords(item).size()), c.shown);
        EXPECT_EQ(texts(item).back(), c.last);
        const ItemId lastItem = tree.children(item).back();
        if (c.entries > c.shown) {
            EXPECT_EQ(tree.record(lastItem), nullptr);
            EXPECT_FALSE(tree.hasChildButton(lastItem));
            EXPECT_EQ(tree.images(lastItem), (ItemImages{2, 2, 2}));
        }
    }
}

TEST_F(ContentsTest, CategoriesComeFirstInSortThenNameOrderAndEntriesInSortThenNameOrder) {
    const long long top = rows.category(kPublic, 0, "top");
    rows.category(kPublic, top, "b", 0, 2);
    rows.category(kPublic, top, "a", 0, 2);
    rows.category(kPublic, top, "z", 0, 1);
    rows.entry(kPublic, top, "y", 0, 0);
    rows.entry(kPublic, top, "x", 0, 5);
    rows.entry(kPublic, top, "w", 0, 5);
    contents.Reload();
    const ItemId item = top ? contents.findChild(tree.root(), top, true) : kNoItem;
    contents.Expand(item);
    EXPECT_EQ(texts(item), (std::vector<std::string>{"z", "a", "b", "y", "w", "x"}));
}

TEST_F(ContentsTest, ThePrivateRootIsAddedOnceAndItsLevelIsThePrivateTopLevel) {
    rows.category(kPublic, 0, "public");
    const long long priv = rows.category(kPrivate, 0, "mine");
    const long long privEntry = rows.entry(kPrivate, 0, "loose");
    rows.entry(kPrivate, priv, "inside");

    db.adds.clear();
    contents.Reload();
    const std::string added = "Directory:DirName='[私用库]',ParentDir=0,Sort=20000,nType=11,uID=0,uDate=" +
                              std::to_string(kNow);
    ASSERT_EQ(db.adds, std::vector<std::string>{added});
    ItemId root = contents.privateRootNode();
    ASSERT_NE(root, kNoItem);
    EXPECT_EQ(texts(tree.root()), (std::vector<std::string>{"public", "[私用库]"}));
    EXPECT_EQ(tree.images(root), (ItemImages{0, 0, 1}));
    EXPECT_EQ(tree.record(root)->lib, kPrivate);
    EXPECT_EQ(tree.record(root)->type, kCategoryPrivateRoot);
    EXPECT_EQ(tree.record(root)->id, toInt(db.findOnly(kPublic, tables::Directory, "nType=11", "dID", "")));

    // The second load finds the row: no second add, and the images of a read row.
    contents.Reload();
    EXPECT_EQ(db.adds.size(), 1u);
    EXPECT_EQ(countRows(kPublic, tables::Directory, "nType=11"), 1);
    root = contents.privateRootNode();
    EXPECT_EQ(tree.images(root), (ItemImages{0, 1, 1}));

    contents.Expand(root);
    EXPECT_EQ(texts(root), (std::vector<std::string>{"mine", "loose"}));
    for (ItemId child : tree.children(root)) EXPECT_EQ(tree.record(child)->lib, kPrivate);
    EXPECT_EQ(contents.findChild(root, privEntry, false), tree.children(root).back());
    EXPECT_EQ(tree.images(root).normal, kImageBookOpen);
}

TEST_F(ContentsTest, APrivateRootThatCannotBeAddedIsReportedAndNotShown) {
    rows.category(kPublic, 0, "public");
    db.failWrite(WatchedHostDb::Write::Add, 1);
    contents.Reload();
    EXPECT_EQ(contents.privateRootNode(), kNoItem);
    EXPECT_EQ(texts(tree.root()), std::vector<std::string>{"public"});
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_EQ(prompter.said[0].rfind("写数据库失败！\r\n错误信息：\r\n", 0), 0u) << prompter.said[0];
}

// The row goes through the host's UTF-16 add service, as the window's own rows do.
TEST(ContentsRootAdd, ThePrivateRootGoesThroughTheUtf16AddService) {
    struct Adds : WatchedHostDb {
        int utf16 = 0, utf8 = 0;
        long long addItem(int l, std::string_view t, std::string_view a) override {
            ++utf16;
            return WatchedHostDb::addItem(l, t, a);
        }
        long long addItemUtf(int l, std::string_view t, std::string_view a) override {
            ++utf8;
            return WatchedHostDb::addItemUtf(l, t, a);
        }
    } db;
    Settings settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    RecordingPrompter prompter;
    helpwindow::Contents contents({db, tree, view, settings, [] { return 5LL; }, prompter});
    contents.Reload();
    EXPECT_EQ(db.utf16, 1);
    EXPECT_EQ(db.utf8, 0);
}

TEST_F(ContentsTest, ARecycleBinShowsOnlyWhenItHoldsSomethingAndTheSettingAllowsIt) {
    struct Case {
        const char* what;
        int recycle;
        int lib;
        bool category, entry;
        bool shown;
    };
    const Case cases[] = {
        {"empty public bin", 1, kPublic, false, false, false},
        {"public bin with an entry", 1, kPublic, false, true, true},
        {"public bin with a category", 1, kPublic, true, false, true},
        {"full public bin, bins hidden", 0, kPublic, true, true, false},
        {"empty private bin", 1, kPrivate, false, false, false},
        {"private bin with an entry", 1, kPrivate, false, true, true},
        {"full private bin, bins hidden", 0, kPrivate, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WatchedHostDb fresh;
        LibraryRows add(fresh);
        Settings s;
        s.recycle = c.recycle;
        helpwindow::MemoryTree t;
        helpwindow::Contents tree2({fresh, t, view, s, [] { return kNow; }, prompter});
        const std::string binName(c.lib == kPublic ? kPublicBinName : kPrivateBinName);
        const long long bin = add.category(c.lib, 0, binName, kCategoryRecycleBin, kRecycleBinSort);
        add.category(c.lib, 0, "ordinary");
        if (c.category) add.category(c.lib, bin, "deleted");
        if (c.entry) add.entry(c.lib, bin, "gone");
        tree2.Reload();
        if (c.lib == kPrivate) tree2.Expand(tree2.privateRootNode());
        const ItemId node = tree2.recycleBinNode(c.lib);
        EXPECT_EQ(node != kNoItem, c.shown);
        if (node != kNoItem) {
            EXPECT_EQ(t.text(node), binName);
            EXPECT_EQ(t.images(node), (ItemImages{3, 3, 3}));
            EXPECT_TRUE(t.hasChildButton(node));
        }
    }
}

TEST_F(ContentsTest, AnEmptyBinAppearsAtTheNextLoadAfterSomethingIsPutInIt) {
    const long long bin = rows.category(kPublic, 0, std::string(kPublicBinName), kCategoryRecycleBin, kRecycleBinSort);
    const long long cat = rows.category(kPublic, 0, "cat");
    const long long entry = rows.entry(kPublic, cat, "moved");
    contents.Reload();
    EXPECT_EQ(contents.recycleBinNode(kPublic), kNoItem);
    ASSERT_EQ(db.update(kPublic, tables::KeywordList, "kID=" + std::to_string(entry), "dID=" + std::to_string(bin)), 1);
    EXPECT_EQ(contents.recycleBinNode(kPublic), kNoItem);  // not before the level loads again
    contents.Reload();
    const ItemId node = contents.recycleBinNode(kPublic);
    ASSERT_NE(node, kNoItem);
    EXPECT_EQ(texts(tree.root()).back(), std::string(kPublicBinName));
}

TEST_F(ContentsTest, ABinListsRowsOfEveryTypeWhereACategoryListsNoMemberRows) {
    const long long bin = rows.category(kPublic, 0, std::string(kPublicBinName), kCategoryRecycleBin, kRecycleBinSort);
    const long long cat = rows.category(kPublic, 0, "cat");
    const long long deletedCat = rows.category(kPublic, bin, "deleted category");
    for (int type : {0, 5, 11, 20, 21}) {
        rows.entry(kPublic, bin, "in bin " + std::to_string(type), type);
        // A member row whose owner's kID happens to equal the category's dID.
        rows.entry(kPublic, cat, "in cat " + std::to_string(type), type);
    }
    contents.Reload();
    const ItemId binNode = contents.recycleBinNode(kPublic);
    contents.Expand(binNode);
    EXPECT_EQ(texts(binNode), (std::vector<std::string>{"deleted category", "in bin 0", "in bin 11", "in bin 20",
                                                       "in bin 21", "in bin 5"}));
    EXPECT_EQ(tree.record(contents.findChild(binNode, deletedCat, true))->type, 0);
    const ItemId catNode = contents.findChild(tree.root(), cat, true);
    contents.Expand(catNode);
    EXPECT_EQ(texts(catNode), (std::vector<std::string>{"in cat 0", "in cat 11", "in cat 5"}));
    EXPECT_FALSE(contents.insideRecycleBin(binNode));
    EXPECT_TRUE(contents.insideRecycleBin(tree.children(binNode).front()));
    EXPECT_FALSE(contents.insideRecycleBin(tree.children(catNode).front()));
}

TEST_F(ContentsTest, MembersOfAnEntryAndOfAnotherPlacementOfItsTexts) {
    const long long a = rows.category(kPublic, 0, "a");
    const long long b = rows.category(kPublic, 0, "b");
    const long long owner = rows.entry(kPublic, a, "RECT", kEntryDefinedType);
    rows.member(kPublic, owner, "right");
    rows.member(kPublic, owner, "left");
    const long long placed = rows.placeAgain(kPublic, owner, b);
    const long long lonely = rows.entry(kPublic, b, "EMPTY", kEntryEnum);

    contents.Reload();
    const ItemId aNode = contents.findChild(tree.root(), a, true);
    contents.Expand(aNode);
    const ItemId ownerNode = contents.findChild(aNode, owner, false);
    EXPECT_TRUE(tree.hasChildButton(ownerNode));
    contents.Expand(ownerNode);
    EXPECT_EQ(texts(ownerNode), (std::vector<std::string>{"left", "right"}));

    const ItemId bNode = contents.findChild(tree.root(), b, true);
    contents.Expand(bNode);
    const ItemId placedNode = contents.findChild(bNode, placed, false);
    contents.Expand(placedNode);
    EXPECT_EQ(texts(placedNode), (std::vector<std::string>{"left", "right"}));
    for (ItemId m : tree.children(placedNode)) {
        EXPECT_EQ(tree.record(m)->parentId, owner);  // the members' own entry
        EXPECT_FALSE(tree.hasChildButton(m));
        EXPECT_EQ(tree.images(m), (ItemImages{2, 2, 2}));
    }

    const ItemId lonelyNode = contents.findChild(bNode, lonely, false);
    contents.Expand(lonelyNode);
    EXPECT_TRUE(tree.children(lonelyNode).empty());
}

TEST_F(ContentsTest, TheLocatedNodeJoinsItsLevelBeyondTheLimit) {
    const long long cat = rows.category(kPublic, 0, "cat");
    fill(kPublic, cat, 600);
    const long long far = rows.entry(kPublic, cat, "zzz", 0, 99);
    const long long owner = rows.entry(kPublic, cat, "OWNER", kEntryDefinedType, -1);
    db.transaction(kPublic, TransactionStep::Begin);
    for (int i = 0; i < 520; ++i) rows.member(kPublic, owner, "m" + std::to_string(1000 + i));
    db.transaction(kPublic, TransactionStep::Commit);
    const long long farMember = rows.member(kPublic, owner, "zz member");

    struct Case {
        const char* what;
        LocateTarget target;
        bool inCategory, inMembers;
    };
    const Case cases[] = {
        {"nothing located", {}, false, false},
        {"the far entry", {far, cat, kPublic, false}, true, false},
        {"the far entry of another library", {far, cat, kPrivate, false}, false, false},
        {"the far entry under another parent", {far, cat + 1, kPublic, false}, false, false},
        {"the far member", {farMember, 0, kPublic, true}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        contents.Reload();
        contents.setLocateTarget(c.target);
        const ItemId catNode = contents.findChild(tree.root(), cat, true);
        contents.Expand(catNode);
        const ItemId ownerNode = contents.findChild(catNode, owner, false);
        ASSERT_NE(ownerNode, kNoItem);
        contents.Expand(ownerNode);
        contents.clearLocateTarget();

        const ItemId farNode = contents.findChild(catNode, far, false);
        EXPECT_EQ(farNode != kNoItem, c.inCategory);
        // Shown items count: 500 entries, the located one, then the rest is "more".
        EXPECT_EQ(texts(catNode).back(),
                  c.inCategory ? ".......下面还有101条被省略" : ".......下面还有102条被省略");
        if (c.inCategory) {
            EXPECT_EQ(tree.children(catNode)[500], farNode);
        }

        EXPECT_EQ(contents.findChild(ownerNode, farMember, false) != kNoItem, c.inMembers);
        EXPECT_EQ(texts(ownerNode).back(),
                  c.inMembers ? ".......下面还有20条被省略" : ".......下面还有21条被省略");
    }
}

TEST_F(ContentsTest, ImagesAndChildButtonsByKindOfNode) {
    struct Case {
        bool category;
        int type;
        ItemImages images;
        bool button;
    };
    const Case cases[] = {
        {true, kCategoryHidden, {0, 1, 1}, true},     {true, kCategoryShownInIde, {0, 1, 1}, true},
        {true, kCategoryLeaf, {2, 2, 2}, false},      {true, kCategoryRecycleBin, {3, 3, 3}, true},
        {true, kCategoryPrivateRoot, {0, 1, 1}, true}, {false, kEntryOther, {2, 2, 2}, false},
        {false, kEntryFunction, {2, 2, 2}, false},    {false, kEntryDefinedType, {2, 2, 2}, true},
        {false, kEntryEnum, {2, 2, 2}, true},         {false, kEntryUnion, {2, 2, 2}, true},
        {false, kEntryAlias, {2, 2, 2}, false},       {false, kEntryMember, {2, 2, 2}, false},
        {false, kEntryEnumMember, {2, 2, 2}, false},
    };
    // The same rows loaded by the tree carry the same images and buttons: categories and
    // entries in one level, member rows in their entry's level.
    const long long holder = rows.category(kPublic, 0, "holder");
    const long long owner = rows.entry(kPublic, holder, "owner", kEntryDefinedType);
    for (const Case& c : cases) {
        if (c.type == kCategoryPrivateRoot || c.type == kCategoryRecycleBin) continue;
        if (c.category) rows.category(kPublic, holder, "c" + std::to_string(c.type), c.type);
        else rows.entry(kPublic, c.type >= kFirstMemberType ? owner : holder, "e" + std::to_string(c.type), c.type);
    }
    const long long bin = rows.category(kPublic, holder, "bin", kCategoryRecycleBin);
    rows.entry(kPublic, bin, "x");
    contents.Reload();
    const ItemId holderNode = contents.findChild(tree.root(), holder, true);
    contents.Expand(holderNode);
    const ItemId ownerNode = contents.findChild(holderNode, owner, false);
    contents.Expand(ownerNode);
    std::vector<ItemId> loaded = tree.children(holderNode);
    for (ItemId m : tree.children(ownerNode)) loaded.push_back(m);
    size_t checked = 0;
    for (const Case& c : cases) {
        TreeNode node;
        node.isCategory = c.category;
        node.type = c.type;
        SCOPED_TRACE(std::string(c.category ? "category " : "entry ") + std::to_string(c.type));
        EXPECT_EQ(helpwindow::imagesOf(node), c.images);
        EXPECT_EQ(helpwindow::hasChildren(node), c.button);
        for (ItemId item : loaded) {
            const TreeNode* r = tree.record(item);
            if (r->isCategory != c.category || r->type != c.type) continue;
            EXPECT_EQ(tree.images(item), c.images);
            EXPECT_EQ(tree.hasChildButton(item), c.button);
            ++checked;
        }
    }
    // Every loaded item was one of the cases (the private root is checked with its level).
    EXPECT_EQ(checked, loaded.size());
    EXPECT_EQ(loaded.size(), 13u);
}

TEST_F(ContentsTest, CollapsingFreesALevelAndTheNextExpansionReadsItAfresh) {
    const long long cat = rows.category(kPublic, 0, "cat");
    const long long sub = rows.category(kPublic, cat, "sub");
    rows.entry(kPublic, cat, "first");
    contents.Reload();
    const ItemId catNode = contents.findChild(tree.root(), cat, true);
    EXPECT_EQ(tree.images(catNode), (ItemImages{0, 1, 1}));
    contents.Expand(catNode);
    EXPECT_TRUE(tree.isExpanded(catNode));
    EXPECT_EQ(tree.images(catNode).normal, kImageBookOpen);
    contents.Expand(contents.findChild(catNode, sub, true));

    contents.Collapse(catNode);
    EXPECT_TRUE(tree.children(catNode).empty());
    EXPECT_TRUE(tree.hasChildButton(catNode));
    EXPECT_FALSE(tree.isExpanded(catNode));
    EXPECT_EQ(tree.images(catNode), (ItemImages{0, 1, 1}));

    rows.entry(kPublic, cat, "second");
    contents.Expand(catNode);
    EXPECT_EQ(texts(catNode), (std::vector<std::string>{"sub", "first", "second"}));
    // Opening an open node again reads it again rather than doubling it.
    contents.OnExpanding(catNode);
    EXPECT_EQ(texts(catNode), (std::vector<std::string>{"sub", "first", "second"}));
}

TEST_F(ContentsTest, AReloadDropsEveryLevelAndShowsTheLibrariesAsTheyAreNow) {
    const long long cat = rows.category(kPublic, 0, "cat");
    rows.entry(kPublic, cat, "e");
    contents.Reload();
    const ItemId catNode = contents.findChild(tree.root(), cat, true);
    contents.Expand(catNode);
    tree.select(tree.children(catNode).front());
    rows.category(kPublic, 0, "new");
    contents.Reload();
    EXPECT_EQ(texts(tree.root()), (std::vector<std::string>{"cat", "new", "[私用库]"}));
    EXPECT_TRUE(tree.selection().empty());
    for (ItemId item : tree.children(tree.root())) EXPECT_TRUE(tree.children(item).empty());
}

TEST_F(ContentsTest, SelectingShowsThePageUnlessTheCoreSelectsQuietly) {
    const long long cat = rows.category(kPublic, 0, "cat");
    const long long entry = rows.entry(kPublic, cat, "e");
    contents.Reload();
    const ItemId catNode = contents.findChild(tree.root(), cat, true);
    contents.Expand(catNode);
    const ItemId entryNode = contents.findChild(catNode, entry, false);

    tree.select(entryNode);
    contents.OnSelected(entryNode);
    ASSERT_EQ(view.shownPages().size(), 1u);
    EXPECT_EQ(view.shownPages()[0].id, entry);
    EXPECT_FALSE(view.shownPages()[0].isCategory);

    contents.SelectQuietly(catNode);
    EXPECT_EQ(view.shownPages().size(), 1u);
    EXPECT_EQ(tree.selection(), std::vector<ItemId>{catNode});
    // The suppression lasts for that one selection only.
    contents.OnSelected(catNode);
    EXPECT_EQ(view.shownPages().size(), 2u);

    // A line without a record shows nothing.
    fill(kPublic, cat, 501);
    contents.Collapse(catNode);
    contents.Expand(catNode);
    contents.OnSelected(tree.children(catNode).back());
    EXPECT_EQ(view.shownPages().size(), 2u);
}

TEST_F(ContentsTest, ASelectedCategoryShowsTheOpenBookOnlyWhileItHasChildItems) {
    const long long cat = rows.category(kPublic, 0, "cat");
    rows.entry(kPublic, cat, "e");
    const long long leaf = rows.category(kPublic, 0, "leaf", kCategoryLeaf);
    const long long bin = rows.category(kPublic, 0, "bin", kCategoryRecycleBin);
    rows.entry(kPublic, bin, "gone");
    contents.Reload();
    const ItemId catNode = contents.findChild(tree.root(), cat, true);

    contents.SelectQuietly(catNode);
    EXPECT_EQ(tree.images(catNode).normal, kImageBook);
    contents.Expand(catNode);
    contents.SelectQuietly(catNode);
    EXPECT_EQ(tree.images(catNode).normal, kImageBookOpen);
    tree.deleteChildren(catNode);  // the control dropped them
    contents.SelectQuietly(catNode);
    EXPECT_EQ(tree.images(catNode).normal, kImageBook);

    for (long long fixed : {leaf, bin}) {
        const ItemId node = contents.findChild(tree.root(), fixed, true);
        const ItemImages before = tree.images(node);
        contents.Expand(node);
        contents.SelectQuietly(node);
        EXPECT_EQ(tree.images(node), before);
    }
}

}  // namespace
}  // namespace orv::test
