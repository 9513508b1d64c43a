// The category editor's core and the category chooser: change lists, the refusals, the
// special rows, the local kind of a branch, and what the chooser offers and writes.
#include "editor_fixture.h"

#include "editors/category_chooser.h"
#include "editors/category_editor.h"
#include "library/schema.h"

#include <functional>

namespace orv::test {
namespace {

using editors::CategoryFields;
using editors::CategoryMode;
using editors::CategoryState;
using editors::SaveOutcome;
using library::kPrivate;
using library::kPublic;
using library::TreeNode;
namespace tables = library::tables;

std::string n(long long id) { return std::to_string(id); }

class CategoryEditor : public EditorTest {
protected:
    TreeNode category(int lib, long long dID, int type = library::kCategoryShownInIde) {
        return TreeNode{dID, "", 0, true, lib, type};
    }
    CategoryState load(CategoryMode mode, const TreeNode& node) {
        std::optional<CategoryState> s = editors::LoadCategory(db, mode, node);
        EXPECT_TRUE(s.has_value());
        return s ? *s : CategoryState{};
    }
    editors::CategorySave save(CategoryState& state, const std::function<void(CategoryFields&)>& edit) {
        CategoryFields fields = editors::FieldsOf(state);
        edit(fields);
        return editors::SaveCategory(sources, state, fields);
    }
};

TEST_F(CategoryEditor, TheChangeListAndTheRefusals) {
    const struct {
        const char* what;
        CategoryMode mode;
        TreeNode node;
        std::function<void(CategoryFields&)> edit;
        std::string list;
        std::string error;
    } cases[] = {
        {"untouched", CategoryMode::Change, category(kPublic, graphics), [](CategoryFields&) {}, "", ""},
        {"a new category always names its parent and kind", CategoryMode::NewChild, category(kPublic, graphics),
         [](CategoryFields& f) { f.name = "Sprites"; }, "ParentDir=" + n(graphics) + ",nType=10,Sort=10000,DirName='Sprites'", ""},
        {"a new top-level one of another kind", CategoryMode::NewTop, category(kPublic, graphics),
         [](CategoryFields& f) {
             f.name = "O'Brien";
             f.kind = library::kCategoryLeaf;
             f.sort = "5";
         },
         "ParentDir=0,nType=1,Sort=5,DirName='O''Brien'", ""},
        {"moved and described", CategoryMode::Change, category(kPublic, drawing),
         [&](CategoryFields& f) {
             f.parentText = "ID=" + n(statements) + "\\Statements\\";
             f.description = "<p>d</p>";
         },
         "ParentDir=" + n(statements) + ",Description='<p>d</p>'", ""},
        {"under its own child", CategoryMode::Change, category(kPublic, graphics),
         [&](CategoryFields& f) { f.parentText = "ID=" + n(drawing) + "\\Graphics\\Drawing\\"; }, "",
         "指定的父分类不可以是自己或自己的子分类"},
        {"under itself", CategoryMode::Change, category(kPublic, graphics),
         [&](CategoryFields& f) { f.parentText = "ID=" + n(graphics) + "\\Graphics\\"; }, "",
         "指定的父分类不可以是自己或自己的子分类"},
        {"under a category that is not there", CategoryMode::Change, category(kPublic, graphics),
         [](CategoryFields& f) { f.parentText = "ID=424242\\"; }, "", "指定的父分类不存在。"},
        {"into the recycle bin", CategoryMode::Change, category(kPublic, graphics),
         [&](CategoryFields& f) { f.parentText = "ID=" + n(bin) + "\\"; }, "", "指定的父分类不存在。"},
        {"no name", CategoryMode::NewTop, category(kPublic, 0), [](CategoryFields& f) { f.name = " "; }, "",
         "分类名称，必须要输入的。"},
        {"a sort that is no number", CategoryMode::Change, category(kPublic, graphics),
         [](CategoryFields& f) { f.sort = "x"; }, "", "排序号必须是整数。"},
        {"the bin keeps its parent and kind", CategoryMode::Change,
         category(kPublic, bin, library::kCategoryRecycleBin),
         [&](CategoryFields& f) {
             f.parentText = "ID=" + n(graphics) + "\\";
             f.kind = library::kCategoryHidden;
             f.name = "Bin";
         },
         "DirName='Bin'", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CategoryState state = load(c.mode, c.node);
        CategoryFields fields = editors::FieldsOf(state);
        c.edit(fields);
        const editors::CategoryChanges changes = editors::CollectCategoryChanges(db, state, fields);
        EXPECT_EQ(changes.list, c.list);
        EXPECT_EQ(changes.error, c.error);
    }
}

TEST_F(CategoryEditor, TheSpecialRowsAreRecordedButNeverSubmitted) {
    useServer("O'Neil");
    CategoryState binState = load(CategoryMode::Change, category(kPublic, bin, library::kCategoryRecycleBin));
    EXPECT_TRUE(binState.special);
    ASSERT_EQ(save(binState, [](CategoryFields& f) { f.description = "<p>deleted things</p>"; }).outcome,
              SaveOutcome::Saved);
    CategoryState rootState = load(CategoryMode::Change, category(kPublic, root, library::kCategoryPrivateRoot));
    EXPECT_TRUE(rootState.special);
    ASSERT_EQ(save(rootState, [](CategoryFields& f) { f.name = "[我的库]"; }).outcome, SaveOutcome::Saved);

    EXPECT_EQ(changesOnServer(), 0);
    EXPECT_EQ(count(kPublic, tables::UpdateList, "sCommand=1"), 2);
    EXPECT_EQ(value(kPublic, tables::Directory, "dID=" + n(root), "DirName"), "[我的库]");
    EXPECT_EQ(value(kPublic, tables::Directory, "dID=" + n(bin), "nType"), "2");

    // An ordinary public category goes to the server first.
    CategoryState graphicsState = load(CategoryMode::Change, category(kPublic, graphics));
    ASSERT_EQ(save(graphicsState, [](CategoryFields& f) { f.name = "Graphics 2D"; }).outcome, SaveOutcome::Saved);
    EXPECT_EQ(changesOnServer(), 1);
}

TEST_F(CategoryEditor, NewCategoriesLandInTheirLibraryWithTheirId) {
    useServer("O'Neil");
    CategoryState pub = load(CategoryMode::NewChild, category(kPublic, graphics));
    const editors::CategorySave saved = save(pub, [](CategoryFields& f) { f.name = "Sprites"; });
    ASSERT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_GT(saved.dID, 5000) << "the server's id";
    EXPECT_EQ(value(kPublic, tables::Directory, "dID=" + n(saved.dID), "ParentDir"), n(graphics));
    EXPECT_EQ(value(kPublic, tables::UpdateList, "tID=" + n(saved.dID), "sCommand"), "0");

    CategoryState underRoot = load(CategoryMode::NewChild, category(kPublic, root, library::kCategoryPrivateRoot));
    EXPECT_EQ(underRoot.lib, kPrivate);
    const editors::CategorySave mineToo = save(underRoot, [](CategoryFields& f) { f.name = "Notes"; });
    ASSERT_EQ(mineToo.outcome, SaveOutcome::Saved);
    EXPECT_EQ(value(kPrivate, tables::Directory, "dID=" + n(mineToo.dID), "DirName"), "Notes");
    EXPECT_EQ(count(kPublic, tables::UpdateList, ""), 1) << "private categories are not recorded";
    EXPECT_EQ(changesOnServer(), 1);
}

TEST_F(CategoryEditor, SyncingKindsReachesTheWholeBranchEvenWithNothingElseChanged) {
    useServer("O'Neil");
    const long long deeper = LibraryRows(db).category(kPublic, drawing, "Deeper");
    CategoryState state = load(CategoryMode::Change, category(kPublic, graphics));
    const editors::CategorySave saved = save(state, [](CategoryFields& f) {
        f.kind = library::kCategoryShownInIde;
        f.syncKinds = true;
    });
    EXPECT_EQ(saved.outcome, SaveOutcome::Saved);
    for (long long d : {graphics, drawing, deeper}) EXPECT_EQ(value(kPublic, tables::Directory, "dID=" + n(d), "nType"), "10");
    EXPECT_EQ(value(kPublic, tables::Directory, "dID=" + n(statements), "nType"), "10");
    EXPECT_EQ(count(kPublic, tables::UpdateList, ""), 0) << "local only";
    EXPECT_EQ(changesOnServer(), 0);
}

TEST_F(CategoryEditor, TheChooserOffersTheTreeWithoutBinsAndPrivateRoot) {
    const std::vector<editors::ChooserNode> tree = editors::ChooserTree(db, kPublic);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].name, "Statements");
    EXPECT_EQ(tree[1].name, "Graphics");
    ASSERT_EQ(tree[1].children.size(), 1u);
    EXPECT_EQ(tree[1].children[0].dID, drawing);
    EXPECT_TRUE(editors::ChooserTree(db, kPrivate).size() == 1);
    EXPECT_EQ(editors::chooserTopText(kPublic), "...[公库首目录]...");
    EXPECT_EQ(editors::chooserCaption(kPrivate), "选择私库分类");

    // A name with quotes and backslashes stays text inside the script.
    db.updateUtf(kPublic, tables::Directory, "dID=" + n(drawing), "DirName='a\"b\\c'");
    EXPECT_EQ(editors::slotScript(db, kPublic, 3, drawing),
              "$(\"#DirID3\").val(\"ID=" + n(drawing) + ":Graphics\\\\a\\\"b\\\\c\\\\\");");
    EXPECT_EQ(editors::slotScript(db, kPublic, 2, 0), "$(\"#DirID2\").val(\"ID=0:\");");

    // A category that is its own parent (a damaged tree) is never reached from the top.
    const long long loop = LibraryRows(db).category(kPrivate, 0, "Loop");
    db.updateUtf(kPrivate, tables::Directory, "dID=" + n(loop), "ParentDir=" + n(loop));
    EXPECT_EQ(editors::ChooserTree(db, kPrivate).size(), 1u);
    library::SqliteHostDb empty;
    std::string error;
    ASSERT_TRUE(empty.openInMemory(kPublic, kPublic, error)) << error;
    EXPECT_TRUE(editors::ChooserTree(empty, kPublic).empty());
}

}  // namespace
}  // namespace orv::test
