// The catalogue commands on in-memory libraries with the server out of the way (the
// private library, and the public one with free changes): refused nodes, the recycle
// bin, permanent removal, copy and paste, move, statistics, favorites, damaged trees,
// oversized selections and failing writes.
#include "helpwindow/catalogue_fixture.h"

#include "library/fragment.h"
#include "library/schema.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

using helpwindow::ItemId;
using helpwindow::kNoItem;
using library::kPrivate;
using library::kPublic;
using Write = WatchedHostDb::Write;
namespace tables = library::tables;

std::string r(int lib, long long id) { return "r" + std::to_string(lib) + std::to_string(id); }
std::string k(int lib, long long id) { return "k" + std::to_string(lib) + std::to_string(id); }
std::string n(long long id) { return std::to_string(id); }

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { root = rows.privateRoot(); }

    std::string value(int lib, std::string_view table, const std::string& where, std::string_view field) {
        return db.findOnly(lib, table, where, field, "");
    }
    long long count(int lib, std::string_view table, const std::string& where) { return db.count(lib, table, where); }
    // A recycle bin holding something, so that the tree shows it.
    long long binWith(int lib, const std::string& inside) {
        const long long bin = rows.category(lib, 0, lib == kPublic ? "[公用库回收站]" : "[私用库回收站]",
                                            library::kCategoryRecycleBin, library::kRecycleBinSort);
        rows.entry(lib, bin, inside);
        return bin;
    }

    WatchedHostDb db;
    library::Settings settings;
    LibraryRows rows{db};
    CatalogueRig rig{db, settings};
    long long root = 0;
};

TEST_F(CatalogueTest, ThePrivateRootAndRecycleBinsAreRefusedAndNothingChanges) {
    const long long a = rows.category(kPublic, 0, "A");
    rows.entry(kPublic, a, "Print");
    const long long bin = binWith(kPublic, "old");
    const struct {
        const char* command;
        std::string refused;
        std::string message;
    } cases[] = {
        {"delete", r(0, root), "【私有库】必须存在，不可以被删除。"},
        {"delete", r(0, bin), "【回收站】必须存在，不可以被删除。"},
        {"copy", r(0, root), "【私有库】不可以被复制。"},
        {"copy", r(0, bin), "【回收站】不可以被复制。"},
        {"move", r(0, root), "【私有库】不可以被移动。"},
        {"move", r(0, bin), "【回收站】不可以被移动。"},
    };
    settings.kill = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.refused);
        const std::string before = snapshot(db);
        rig.select({r(0, a)});
        rig.catalogue.CopySelection();
        ASSERT_EQ(rig.catalogue.copyList(), r(0, a));
        // The refused node is not the first: any of them stops the command.
        rig.select({r(0, a), c.refused});
        rig.prompter.said.clear();
        const std::string_view command = c.command;
        if (command == "delete") rig.catalogue.DeleteSelection();
        if (command == "copy") rig.catalogue.CopySelection();
        if (command == "move") rig.catalogue.MoveSelection(0);
        EXPECT_EQ(rig.prompter.said, std::vector<std::string>{c.message});
        EXPECT_EQ(snapshot(db), before);
        // Delete and copy both leave nothing copied; a move does not touch the copy list.
        EXPECT_EQ(rig.catalogue.copyList().empty(), command != "move");
    }
}

TEST(CatalogueDelete, TheFirstDeleteMakesTheBinAndTheKillSettingDecidesTheQuestion) {
    const struct {
        const char* name;
        int lib;
        int kill;
        bool answer;
        bool asked;
        bool moved;
    } cases[] = {
        {"private, no question", kPrivate, 0, false, false, true},
        {"private, asked, yes", kPrivate, 1, true, true, true},
        {"private, asked, no", kPrivate, 1, false, true, false},
        {"public with free changes, no question", kPublic, 0, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WatchedHostDb db;
        library::Settings settings;
        settings.kill = c.kill;
        settings.update = 1;
        LibraryRows rows(db);
        const long long root = rows.privateRoot();
        const long long cat = rows.category(c.lib, 0, "Statements");
        const long long print = rows.entry(c.lib, cat, "Print");
        rows.entry(c.lib, cat, "Input");
        CatalogueRig rig(db, settings);
        rig.prompter.answer = c.answer;
        const std::string before = snapshot(db);
        rig.select({k(c.lib, print)});
        rig.catalogue.DeleteSelection();

        const std::string question =
            "即将删除：Print\r\n一共：1 条记录\r\n删除是直接将它移动到回收站。\r\n你真的要这么做吗？";
        EXPECT_EQ(rig.prompter.said, c.asked ? std::vector<std::string>{question} : std::vector<std::string>{});
        if (!c.moved) {
            EXPECT_EQ(snapshot(db), before);
            EXPECT_NE(rig.shown(k(c.lib, print)), kNoItem);
            continue;
        }
        const std::string binName = c.lib == kPublic ? "[公用库回收站]" : "[私用库回收站]";
        const long long bin = library::toInt(db.findOnly(c.lib, tables::Directory, "nType=2", "dID", ""));
        ASSERT_GT(bin, 0);
        EXPECT_EQ(db.count(c.lib, tables::Directory,
                           "dID=" + n(bin) + " And DirName='" + binName +
                               "' And ParentDir=0 And Sort=30000 And uID=0 And uDate=" + n(CatalogueRig::kNow)),
                  1);
        EXPECT_EQ(db.findOnly(c.lib, tables::KeywordList, "kID=" + n(print), "dID", ""), n(bin));
        // The tree: the entry gone, its category selected, the bin shown where its library's top level is.
        EXPECT_EQ(rig.shown(k(c.lib, print)), kNoItem);
        const ItemId category = rig.shown(r(c.lib, cat));
        EXPECT_EQ(rig.tree.selection(), std::vector<ItemId>{category});
        const ItemId binNode = rig.contents.recycleBinNode(c.lib);
        ASSERT_NE(binNode, kNoItem);
        EXPECT_EQ(rig.tree.parent(binNode), c.lib == kPublic ? rig.tree.root() : rig.shown(r(0, root)));
        EXPECT_EQ(rig.tree.text(binNode), binName);
        EXPECT_EQ(rig.tree.images(binNode), (helpwindow::ItemImages{3, 3, 3}));
        EXPECT_TRUE(rig.tree.hasChildButton(binNode));
        // Only a public change is recorded.
        const std::string body =
            "原分类ID=(" + n(cat) + ")目标分类ID=(" + n(bin) + ")被删分类=()被删词条=(" + n(print) + ")";
        const std::string record =
            "sCommand=4 And tID=" + n(cat) + " And sName='Print' And sExecute=2 And sText='" + body + "'";
        EXPECT_EQ(db.count(kPublic, tables::UpdateList, ""), c.lib == kPublic ? 1 : 0);
        EXPECT_EQ(db.count(kPublic, tables::UpdateList, record), c.lib == kPublic ? 1 : 0);
    }
}

TEST(CatalogueDelete, WithBinsHiddenTheMoveStillHappensAndNoBinNodeAppears) {
    WatchedHostDb db;
    library::Settings settings;
    settings.kill = 0;
    settings.recycle = 0;
    LibraryRows rows(db);
    rows.privateRoot();
    const long long cat = rows.category(kPrivate, 0, "Statements");
    const long long print = rows.entry(kPrivate, cat, "Print");
    CatalogueRig rig(db, settings);
    rig.select({k(kPrivate, print)});
    rig.catalogue.DeleteSelection();
    EXPECT_NE(db.findOnly(kPrivate, tables::KeywordList, "kID=" + n(print), "dID", ""), n(cat));
    EXPECT_EQ(rig.contents.recycleBinNode(kPrivate), kNoItem);
    EXPECT_TRUE(rig.prompter.said.empty());
}

TEST(CatalogueDelete, RemovalForGoodTakesSubtreesMembersAndOrphanedTextsButKeepsSharedOnes) {
    for (int lib : {kPrivate, kPublic}) {
        SCOPED_TRACE(lib);
        WatchedHostDb db;
        library::Settings settings;
        settings.kill = 0;  // the removal asks whatever this says
        LibraryRows rows(db);
        rows.privateRoot();
        const long long bin = rows.category(lib, 0, "bin", library::kCategoryRecycleBin, library::kRecycleBinSort);
        const long long outside = rows.category(lib, 0, "Outside");
        // X's dID is also the kID of an entry elsewhere, whose member row has dID 700 too.
        const long long x = 700;
        ASSERT_GT(db.addItemUtf(lib, tables::Directory, "dID=700,DirName='X',ParentDir=" + n(bin)), 0);
        ASSERT_GT(db.addItemUtf(lib, tables::KeywordData, "sID=900,KeyWord='Owner',nType=5"), 0);
        ASSERT_GT(db.addItemUtf(lib, tables::KeywordList, "kID=700,dID=" + n(outside) + ",sID=900,nType=5"), 0);
        ASSERT_GT(db.addItemUtf(lib, tables::KeywordData, "sID=901,KeyWord='stranger',nType=20"), 0);
        ASSERT_GT(db.addItemUtf(lib, tables::KeywordList, "kID=901,dID=700,sID=901,nType=20"), 0);
        const long long y = rows.category(lib, x, "Y");
        const long long type = rows.entry(lib, y, "TypeA", library::kEntryDefinedType);
        const long long field = rows.member(lib, type, "field");
        const long long shared = rows.entry(lib, x, "Shared");
        rows.placeAgain(lib, shared, outside);
        const long long loose = rows.entry(lib, bin, "Loose");
        const long long looseElsewhere = rows.placeAgain(lib, loose, outside);
        const auto textsOf = [&](long long kID) {
            return library::toInt(db.findOnly(lib, tables::KeywordList, "kID=" + n(kID), "sID", ""));
        };
        const long long typeTexts = textsOf(type), fieldTexts = textsOf(field);
        const long long sharedTexts = textsOf(shared), looseTexts = textsOf(loose);

        CatalogueRig rig(db, settings);
        rig.prompter.answer = true;
        rig.select({r(lib, x), k(lib, loose)});
        rig.catalogue.DeleteSelection();

        EXPECT_EQ(rig.prompter.said,
                  std::vector<std::string>{"即将删除：X\r\n一共：2 条记录\r\n这里是回收站，删除操作将会永久删除而无法找回。"
                                           "\r\n你真的要这么做吗？"});
        ASSERT_FALSE(rig.progress.texts.empty());
        EXPECT_EQ(rig.progress.texts.front(), "真实删除记录中...");
        EXPECT_EQ(rig.progress.closed, 1);
        for (long long gone : {x, y})
            EXPECT_EQ(db.count(lib, tables::Directory, "dID=" + n(gone)), 0) << gone;
        for (long long gone : {type, field, shared, loose})
            EXPECT_EQ(db.count(lib, tables::KeywordList, "kID=" + n(gone)), 0) << gone;
        for (long long gone : {typeTexts, fieldTexts})
            EXPECT_EQ(db.count(lib, tables::KeywordData, "sID=" + n(gone)), 0) << gone;
        // Texts another row still shows stay, and so does everything outside the bin.
        for (long long kept : {sharedTexts, looseTexts, 900LL, 901LL})
            EXPECT_EQ(db.count(lib, tables::KeywordData, "sID=" + n(kept)), 1) << kept;
        EXPECT_EQ(db.count(lib, tables::KeywordList, "kID=901 And dID=700"), 1);
        EXPECT_EQ(db.count(lib, tables::KeywordList, "kID=700"), 1);
        EXPECT_EQ(db.count(lib, tables::KeywordList, "kID=" + n(looseElsewhere)), 1);
        EXPECT_EQ(db.count(lib, tables::KeywordList, "dID=" + n(outside)), 3);
        // The bin holds nothing now: its node goes, its row stays.
        EXPECT_EQ(rig.shown(r(lib, bin)), kNoItem);
        EXPECT_EQ(db.count(lib, tables::Directory, "dID=" + n(bin)), 1);
        EXPECT_EQ(db.count(kPublic, tables::UpdateList, ""), 0) << "a removal is not a recorded change";
    }
}

TEST_F(CatalogueTest, StopEndsTheRemovalAfterTheCurrentNodeAndTheTextsStillGo) {
    const long long bin = rows.category(kPrivate, 0, "bin", library::kCategoryRecycleBin, library::kRecycleBinSort);
    const long long first = rows.entry(kPrivate, bin, "First");
    const long long second = rows.entry(kPrivate, bin, "Second");
    const long long firstTexts = library::toInt(value(kPrivate, tables::KeywordList, "kID=" + n(first), "sID"));
    rig.prompter.answer = true;
    rig.progress.stopAfterSteps = 1;
    rig.select({k(kPrivate, first), k(kPrivate, second)});
    rig.catalogue.DeleteSelection();
    EXPECT_EQ(count(kPrivate, tables::KeywordList, "kID=" + n(first)), 0);
    EXPECT_EQ(count(kPrivate, tables::KeywordData, "sID=" + n(firstTexts)), 0);
    EXPECT_EQ(count(kPrivate, tables::KeywordList, "kID=" + n(second)), 1);
    EXPECT_NE(rig.shown(k(kPrivate, second)), kNoItem);
    EXPECT_NE(rig.shown(r(kPrivate, bin)), kNoItem);
}

TEST_F(CatalogueTest, AFailingWriteInARemovalIsToldAndEndsIt) {
    const long long bin = rows.category(kPrivate, 0, "bin", library::kCategoryRecycleBin, library::kRecycleBinSort);
    const long long x = rows.category(kPrivate, bin, "X");
    const long long inX = rows.entry(kPrivate, x, "InX");
    const long long loose = rows.entry(kPrivate, bin, "Loose");
    rig.prompter.answer = true;
    rig.select({r(kPrivate, x), k(kPrivate, loose)});
    // X's subtree goes with the first delete, its entries with the second.
    db.failWrite(Write::Delete, 2);
    rig.catalogue.DeleteSelection();
    ASSERT_EQ(rig.prompter.said.size(), 2u);
    EXPECT_EQ(rig.prompter.said[1].rfind("写数据库失败！\r\n错误信息：\r\n", 0), 0u) << rig.prompter.said[1];
    for (long long kept : {inX, loose}) EXPECT_EQ(count(kPrivate, tables::KeywordList, "kID=" + n(kept)), 1);
    EXPECT_EQ(count(kPrivate, tables::Directory, "dID=" + n(x)), 1);
    EXPECT_EQ(count(kPrivate, tables::KeywordData, ""), 2) << "texts still in use stay";
    // Nothing is counted as removed: both nodes stay, and the bin with them.
    EXPECT_NE(rig.shown(r(kPrivate, x)), kNoItem);
    EXPECT_NE(rig.shown(k(kPrivate, loose)), kNoItem);
    EXPECT_EQ(rig.progress.closed, 1);
}

TEST(CatalogueDelete, AFailedRecordOfAPublicMoveIsToldAndTheNodeStaysInTheTree) {
    WatchedHostDb db;
    library::Settings settings;
    settings.kill = 0;
    settings.update = 1;
    LibraryRows rows(db);
    rows.privateRoot();
    rows.category(kPublic, 0, "[公用库回收站]", library::kCategoryRecycleBin, library::kRecycleBinSort);
    const long long cat = rows.category(kPublic, 0, "Statements");
    const long long print = rows.entry(kPublic, cat, "Print");
    CatalogueRig rig(db, settings);
    rig.select({k(kPublic, print)});
    db.failWrite(Write::Add, 1);
    rig.catalogue.DeleteSelection();
    ASSERT_EQ(rig.prompter.said.size(), 1u);
    EXPECT_EQ(rig.prompter.said[0].rfind("写数据库失败！", 0), 0u);
    EXPECT_EQ(db.count(kPublic, tables::UpdateList, ""), 0);
    EXPECT_NE(rig.shown(k(kPublic, print)), kNoItem);
}

TEST_F(CatalogueTest, ASelectionAcrossBothLibrariesIsNotMovedAndOneOfMoreThan1000NodesIsRefused) {
    settings.kill = 0;
    const long long pub = rows.entry(kPublic, rows.category(kPublic, 0, "P"), "Print");
    const long long pri = rows.entry(kPrivate, rows.category(kPrivate, 0, "Q"), "Input");
    const std::string before = snapshot(db);
    rig.select({k(kPublic, pub), k(kPrivate, pri)});
    rig.catalogue.DeleteSelection();
    rig.catalogue.MoveSelection(0);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>(2, "选择的节点分属公用库和私用库，请分开操作。"));
    EXPECT_EQ(snapshot(db), before);

    // A selection is only ever as large as the tree hands over; this one is made by hand.
    rig.contents.Reload();
    std::vector<ItemId> many;
    for (int i = 0; i < 1001; ++i) {
        library::TreeNode node;
        node.id = pub;
        node.name = "Print";
        node.lib = kPublic;
        many.push_back(rig.tree.insert(rig.tree.root(), "Print", std::make_unique<library::TreeNode>(node), {}, false));
    }
    rig.tree.selectMany(many);
    for (auto command : {&helpwindow::Catalogue::DeleteSelection, &helpwindow::Catalogue::CopySelection,
                         &helpwindow::Catalogue::CountSelection}) {
        rig.prompter.said.clear();
        (rig.catalogue.*command)();
        EXPECT_EQ(rig.prompter.said,
                  std::vector<std::string>{"一次最多只能处理1000个节点，现在选择了1001个，请分批操作。"});
    }
    EXPECT_TRUE(rig.catalogue.copyList().empty());
    EXPECT_EQ(snapshot(db), before);
}

// ---- copy and paste ----

TEST_F(CatalogueTest, PastingOntoAnEntryPutsTheCopyIntoItsCategory) {
    const long long c1 = rows.category(kPrivate, 0, "C1");
    const long long c2 = rows.category(kPrivate, 0, "C2");
    const long long source = rows.entry(kPrivate, c1, "It's");
    ASSERT_GT(db.updateUtf(kPrivate, tables::KeywordData, "KeyWord='It''s'",
                           "Syntax='a, ''b''',Explain='<b>x</b>',Platform=2,Attribute=3"),
              0);
    const long long onto = rows.entry(kPrivate, c2, "Beside");
    rig.select({k(kPrivate, source)});
    rig.catalogue.CopySelection();
    EXPECT_EQ(rig.catalogue.copyList(), k(kPrivate, source));
    rig.select({k(kPrivate, onto)});
    rig.catalogue.PasteCopied(false);

    EXPECT_TRUE(rig.prompter.said.empty());
    const std::string copy = value(kPrivate, tables::KeywordList, "dID=" + n(c2) + " And DisplayKeyWord='It''s'", "kID");
    ASSERT_FALSE(copy.empty());
    const std::string sID = value(kPrivate, tables::KeywordList, "kID=" + copy, "sID");
    EXPECT_NE(sID, value(kPrivate, tables::KeywordList, "kID=" + n(source), "sID")) << "a plain paste copies the texts";
    EXPECT_EQ(count(kPrivate, tables::KeywordData,
                    "sID=" + sID + " And KeyWord='It''s' And Syntax='a, ''b''' And Explain='<b>x</b>' And Platform=2 "
                                   "And Attribute=3 And uDate=" + n(CatalogueRig::kNow)),
              1);
    EXPECT_TRUE(rig.catalogue.copyList().empty());
    EXPECT_EQ(rig.progress.texts, (std::vector<std::string>{"粘贴中...", "统计需要复制的数量", "粘贴中..."}));
    EXPECT_EQ(rig.progress.opened, 1);
    EXPECT_EQ(rig.progress.closed, 1);
    // The target is shown afterwards, as following a link to it shows it.
    ASSERT_FALSE(rig.view.shownPages().empty());
    EXPECT_EQ(rig.view.shownPages().back().id, onto);
}

TEST_F(CatalogueTest, ACategoryPastedIntoItsOwnSubtreeIsCopiedOnce) {
    for (bool intoItself : {false, true}) {
        SCOPED_TRACE(intoItself ? "onto A itself" : "onto its child B");
        WatchedHostDb fresh;
        LibraryRows freshRows(fresh);
        freshRows.privateRoot();
        const long long fa = freshRows.category(kPrivate, 0, "A");
        const long long fb = freshRows.category(kPrivate, fa, "B");
        freshRows.entry(kPrivate, fa, "inA");
        freshRows.entry(kPrivate, fb, "inB");
        CatalogueRig run(fresh, settings);
        run.select({r(kPrivate, fa)});
        run.catalogue.CopySelection();
        run.select({r(kPrivate, intoItself ? fa : fb)});
        run.catalogue.PasteCopied(false);
        EXPECT_TRUE(run.prompter.said.empty());
        EXPECT_EQ(fresh.count(kPrivate, tables::Directory, ""), 4);
        EXPECT_EQ(fresh.count(kPrivate, tables::KeywordList, ""), 4);
        const std::string copyOfA = fresh.findOnly(kPrivate, tables::Directory,
                                                   "DirName='A' And ParentDir=" + n(intoItself ? fa : fb), "dID", "");
        ASSERT_FALSE(copyOfA.empty());
        EXPECT_EQ(fresh.count(kPrivate, tables::Directory, "DirName='B' And ParentDir=" + copyOfA), 1);
        EXPECT_EQ(fresh.count(kPrivate, tables::KeywordList, "DisplayKeyWord='inA' And dID=" + copyOfA), 1);
    }
}

TEST_F(CatalogueTest, ASharedPasteWithinALibraryPlacesTheSameTextsAgainWithTheirMembers) {
    const long long c1 = rows.category(kPrivate, 0, "C1");
    const long long c2 = rows.category(kPrivate, 0, "C2");
    const long long type = rows.entry(kPrivate, c1, "Point", library::kEntryDefinedType);
    const long long field = rows.member(kPrivate, type, "x");
    const TableCounts before = countsOf(db, kPrivate);
    rig.select({k(kPrivate, type)});
    rig.catalogue.CopySelection();
    rig.select({r(kPrivate, c2)});
    rig.catalogue.PasteCopied(true);

    EXPECT_TRUE(rig.prompter.said.empty());
    const std::string typeTexts = value(kPrivate, tables::KeywordList, "kID=" + n(type), "sID");
    const std::string copy = value(kPrivate, tables::KeywordList, "dID=" + n(c2), "kID");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "kID=" + copy, "sID"), typeTexts);
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "dID=" + copy + " And nType=20", "sID"),
              value(kPrivate, tables::KeywordList, "kID=" + n(field), "sID"));
    EXPECT_EQ(countsOf(db, kPrivate).data, before.data) << "no texts are copied";
    EXPECT_EQ(countsOf(db, kPrivate).list, before.list + 2);
    // One text row behind both: a change of it shows in both places.
    ASSERT_GT(db.updateUtf(kPrivate, tables::KeywordData, "sID=" + typeTexts, "Description='moved on'"), 0);
    EXPECT_EQ(value(kPrivate, tables::ListAndData,
                    std::string(tables::JoinCondition) + " And KeywordList.kID=" + copy, "KeywordData.Description"),
              "moved on");
}

TEST_F(CatalogueTest, ASharedPasteIntoTheOtherLibraryCopiesTheTextsAndRecordsANewEntry) {
    settings.update = 1;
    const long long source = rows.entry(kPrivate, rows.category(kPrivate, 0, "Mine"), "Helper");
    const long long dest = rows.category(kPublic, 0, "Theirs");
    const TableCounts before = countsOf(db, kPublic);
    rig.select({k(kPrivate, source)});
    rig.catalogue.CopySelection();
    rig.select({r(kPublic, dest)});
    rig.catalogue.PasteCopied(true);

    EXPECT_TRUE(rig.prompter.said.empty());
    EXPECT_EQ(countsOf(db, kPublic).data, before.data + 1);
    const std::string copy = value(kPublic, tables::KeywordList, "dID=" + n(dest), "kID");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(value(kPublic, tables::ListAndData,
                    std::string(tables::JoinCondition) + " And KeywordList.kID=" + copy, "KeywordData.KeyWord"),
              "Helper");
    ASSERT_EQ(db.count(kPublic, tables::UpdateList, ""), 1);
    EXPECT_EQ(db.count(kPublic, tables::UpdateList, "sCommand=2 And sName='Helper' And tID=" + copy), 1);
    EXPECT_EQ(value(kPublic, tables::UpdateList, "", "sText").rfind("dID=" + n(dest) + ",DisplayKeyWord='Helper',", 0),
              0u);
}

TEST_F(CatalogueTest, PastingIntoABinOrWhatIsGoneIsRefusedWithItsMessage) {
    const long long bin = rows.category(kPrivate, 0, "bin", library::kCategoryRecycleBin, library::kRecycleBinSort);
    const long long inBin = rows.category(kPrivate, bin, "InBin");
    const long long c = rows.category(kPrivate, 0, "C");
    const long long e = rows.entry(kPrivate, c, "E");
    const long long sub = rows.category(kPrivate, c, "Sub");

    rig.select({k(kPrivate, e)});
    rig.catalogue.CopySelection();
    rig.select({r(kPrivate, inBin)});
    rig.catalogue.PasteCopied(false);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"不可以粘贴在回收站里"});
    EXPECT_EQ(rig.catalogue.copyList(), k(kPrivate, e)) << "a refused paste keeps what was copied";

    const struct {
        std::string node;
        std::string table, where;
        std::string message;
    } gone[] = {
        {k(kPrivate, e), std::string(tables::KeywordList), "kID=" + n(e), "复制词条出错，私库的词条ID=" + n(e) + "没找到"},
        {r(kPrivate, sub), std::string(tables::Directory), "dID=" + n(sub), "复制分类出错，私库的分类ID=" + n(sub) + "没找到"},
    };
    for (const auto& g : gone) {
        rig.select({g.node});
        rig.catalogue.CopySelection();
        ASSERT_GE(db.deleteItem(kPrivate, g.table, g.where), 1);
        const TableCounts before = countsOf(db, kPrivate);
        rig.prompter.said.clear();
        rig.select({r(kPrivate, c)});
        rig.catalogue.PasteCopied(false);
        EXPECT_EQ(rig.prompter.said, std::vector<std::string>{g.message});
        EXPECT_EQ(countsOf(db, kPrivate), before);
    }
}

TEST_F(CatalogueTest, AFailingWriteEndsThePasteAndKeepsWhatWasWritten) {
    const long long a = rows.category(kPrivate, 0, "A");
    for (const char* name : {"one", "two", "three"}) rows.entry(kPrivate, a, name);
    const long long dest = rows.category(kPrivate, 0, "Dest");
    rig.select({r(kPrivate, a)});
    rig.catalogue.CopySelection();
    rig.select({r(kPrivate, dest)});
    // The category is add 1, the first entry's texts and row adds 2 and 3.
    db.failWrite(Write::Add, 4);
    rig.catalogue.PasteCopied(false);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"复制词条出错，写入私库的数据库失败"});
    const std::string copy = value(kPrivate, tables::Directory, "ParentDir=" + n(dest), "dID");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(count(kPrivate, tables::KeywordList, "dID=" + copy), 1);
    EXPECT_EQ(count(kPrivate, tables::KeywordData, ""), 4) << "three sources and one copy, no texts left behind";
    EXPECT_TRUE(rig.catalogue.copyList().empty());
    EXPECT_EQ(rig.progress.closed, 1);
}

// ---- move ----

TEST_F(CatalogueTest, AMoveIntoTheCategoryItselfOrBelowItIsRefused) {
    const long long a = rows.category(kPrivate, 0, "A");
    const long long b = rows.category(kPrivate, a, "B");
    const long long c = rows.category(kPrivate, b, "C");
    const long long other = rows.category(kPrivate, 0, "Other");
    const std::string before = snapshot(db);
    for (long long target : {a, b, c}) {
        rig.prompter.said.clear();
        rig.select({r(kPrivate, other), r(kPrivate, a)});
        rig.catalogue.MoveSelection(target);
        EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"指定的父分类不可以是自己或自己的子分类"}) << target;
        EXPECT_EQ(snapshot(db), before);
    }
    rig.prompter.said.clear();
    rig.select({r(kPrivate, a)});
    rig.catalogue.MoveSelection(std::nullopt);  // the chooser was cancelled
    rig.catalogue.MoveSelection(12345);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"目标分类不存在：私库的分类ID=12345"});
    EXPECT_EQ(snapshot(db), before);
}

// 移动 takes the selection before its chooser opens and refuses there what cannot move;
// what the chooser's loop lets happen meanwhile (the tree reloaded, another selection, a
// node moved or deleted elsewhere) changes nothing of what was taken, and a node that is
// no longer where it was taken from is refused rather than moved from somewhere else.
TEST_F(CatalogueTest, AMoveActsOnWhatWasTakenBeforeTheChooser) {
    const long long from = rows.category(kPrivate, 0, "From");
    const long long e = rows.entry(kPrivate, from, "E");
    const long long f = rows.entry(kPrivate, from, "F");
    const long long to = rows.category(kPrivate, 0, "To");

    rig.select({r(kPublic, root)});
    EXPECT_FALSE(rig.catalogue.TakeMoveSelection());
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"【私有库】不可以被移动。"});
    rig.prompter.said.clear();

    rig.select({k(kPrivate, e)});
    std::optional<helpwindow::MoveSelectionTaken> taken = rig.catalogue.TakeMoveSelection();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->lib, kPrivate);
    rig.select({r(kPublic, root)});  // a click elsewhere while the chooser is open
    rig.catalogue.MoveTaken(*taken, to);
    EXPECT_TRUE(rig.prompter.said.empty()) << rig.prompter.said.front();
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "kID=" + n(e), "dID"), n(to));
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "kID=" + n(f), "dID"), n(from));

    rig.select({k(kPrivate, f)});
    taken = rig.catalogue.TakeMoveSelection();
    ASSERT_TRUE(taken);
    ASSERT_EQ(db.update(kPrivate, tables::KeywordList, "kID=" + n(f), "dID=" + n(to)), 1);  // moved meanwhile
    const std::string before = snapshot(db);
    rig.catalogue.MoveTaken(*taken, from);
    EXPECT_EQ(rig.prompter.said,
              std::vector<std::string>{"选择的节点已经被改变或移走，没有移动。请重新选择后再移动。"});
    EXPECT_EQ(snapshot(db), before);
}

TEST(CatalogueMove, CategoriesAndEntriesMoveAndThePublicMoveIsRecorded) {
    for (int lib : {kPrivate, kPublic}) {
        SCOPED_TRACE(lib);
        WatchedHostDb db;
        library::Settings settings;
        settings.update = 1;
        LibraryRows rows(db);
        rows.privateRoot();
        const long long from = rows.category(lib, 0, "From");
        const long long sub = rows.category(lib, from, "Sub");
        const long long e = rows.entry(lib, from, "E");
        const long long to = rows.category(lib, 0, "To");
        CatalogueRig rig(db, settings);
        rig.select({r(lib, sub), k(lib, e)});
        rig.catalogue.MoveSelection(to);
        EXPECT_TRUE(rig.prompter.said.empty());
        EXPECT_EQ(db.findOnly(lib, tables::Directory, "dID=" + n(sub), "ParentDir", ""), n(to));
        EXPECT_EQ(db.findOnly(lib, tables::KeywordList, "kID=" + n(e), "dID", ""), n(to));
        // The tree and page show the target.
        ASSERT_EQ(rig.tree.selection().size(), 1u);
        EXPECT_EQ(rig.tree.record(rig.tree.selection()[0])->id, to);
        ASSERT_FALSE(rig.view.shownPages().empty());
        EXPECT_EQ(rig.view.shownPages().back().id, to);
        const std::string body = "原分类ID=(" + n(from) + ")目标分类ID=(" + n(to) + ")被移分类=(" + n(sub) +
                                 ")被移词条=(" + n(e) + ")";
        EXPECT_EQ(db.count(kPublic, tables::UpdateList, "sCommand=5 And sName='Sub' And tID=" + n(to) + " And sText='" +
                                                            body + "'"),
                  lib == kPublic ? 1 : 0);
    }
}

// ---- statistics ----

TEST_F(CatalogueTest, StatisticsCountEachCategoryAndEntryOnceAndSayNothingForEntriesOnly) {
    const long long c = rows.category(kPrivate, 0, "C");
    const long long d = rows.category(kPrivate, c, "D");
    const long long type = rows.entry(kPrivate, c, "Type", library::kEntryEnum);
    rows.member(kPrivate, type, "one", 21);
    rows.member(kPrivate, type, "two", 21);
    const long long plain = rows.entry(kPrivate, c, "Plain");
    rows.entry(kPrivate, d, "InD");
    const long long elsewhere = rows.entry(kPublic, rows.category(kPublic, 0, "P"), "Elsewhere");

    rig.select({r(kPrivate, c), r(kPrivate, d), k(kPrivate, type), k(kPublic, elsewhere), r(0, root)});
    rig.catalogue.CountSelection();
    // C and D once each; Type, Plain, InD and Type's two members, and Elsewhere.
    EXPECT_EQ(rig.prompter.said,
              std::vector<std::string>{"统计选择项目包含分类和词条数量！\r\n分类数量：2\r\n词条数量：6\r\n总计数量：8\r\n"
                                       "注：自动排除[回收站]和[私用库]分类"});
    EXPECT_EQ(rig.progress.texts.front(), "统计中...");

    rig.prompter.said.clear();
    rig.select({k(kPrivate, plain), k(kPublic, elsewhere), r(0, root)});
    rig.catalogue.CountSelection();
    EXPECT_TRUE(rig.prompter.said.empty());
    EXPECT_EQ(rig.progress.opened, rig.progress.closed);
}

// ---- favorites ----

TEST_F(CatalogueTest, TheFavoritesButtonAddsAsksAndRemovesEachLibrarysEntryOnItsOwn) {
    const long long pc = rows.category(kPublic, 0, "P");
    const long long qc = rows.category(kPrivate, 0, "Q");
    const long long pub = rows.entry(kPublic, pc, "It's public", library::kEntryFunction);
    const long long pri = rows.entry(kPrivate, qc, "Private");
    ASSERT_EQ(pub, pri) << "the same kID in both libraries";
    const std::string pubWhere = "kID=" + n(pub) + " And PriPub=0";
    const std::string priWhere = "kID=" + n(pri) + " And PriPub=1";
    const struct {
        std::string node;
        bool answer;
        std::vector<std::string> said;
        long long pubRows, priRows;
    } steps[] = {
        {r(kPublic, pc), false, {"只能收藏词条，不能收藏分类。"}, 0, 0},
        {k(kPublic, pub), false, {"添加收藏成功！"}, 1, 0},
        {k(kPrivate, pri), false, {"添加收藏成功！"}, 1, 1},
        {k(kPublic, pub), false, {"本词条已经收藏，是否要取消收藏？"}, 1, 1},
        {k(kPublic, pub), true, {"本词条已经收藏，是否要取消收藏？"}, 0, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.node);
        rig.prompter.said.clear();
        rig.prompter.answer = s.answer;
        rig.select({s.node});
        rig.catalogue.ToggleFavorite();
        EXPECT_EQ(rig.prompter.said, s.said);
        EXPECT_EQ(count(kPrivate, tables::Favorite, pubWhere), s.pubRows);
        EXPECT_EQ(count(kPrivate, tables::Favorite, priWhere), s.priRows);
    }
    EXPECT_EQ(count(kPrivate, tables::Favorite, priWhere + " And nType=0 And DisplayKeyWord='Private'"), 1);
    rig.select({k(kPublic, pub)});
    rig.catalogue.ToggleFavorite();
    EXPECT_EQ(count(kPrivate, tables::Favorite, pubWhere + " And nType=3 And DisplayKeyWord='It''s public'"), 1);
}

// ---- a damaged tree ----

TEST_F(CatalogueTest, ALoopInTheCategoryTreeEndsEveryWalkBelowIt) {
    // X and Y each other's parent: no walk from the top reaches them, so their nodes are
    // put into the tree by hand, as a stale tree would still show them.
    const long long x = rows.category(kPrivate, 0, "X");
    const long long y = rows.category(kPrivate, x, "Y");
    ASSERT_EQ(db.updateUtf(kPrivate, tables::Directory, "dID=" + n(x), "ParentDir=" + n(y)), 1);
    rows.entry(kPrivate, x, "inX");
    rows.entry(kPrivate, y, "inY");
    const long long dest = rows.category(kPrivate, 0, "Dest");
    rig.contents.Reload();
    library::TreeNode node;
    node.id = x;
    node.name = "X";
    node.parentId = y;
    node.isCategory = true;
    node.lib = kPrivate;
    const ItemId item = rig.tree.insert(rig.tree.root(), "X", std::make_unique<library::TreeNode>(node),
                                        helpwindow::imagesOf(node), true);

    rig.tree.select(item);
    rig.catalogue.CountSelection();
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"统计选择项目包含分类和词条数量！\r\n分类数量：2\r\n词条数量：2\r\n"
                                                          "总计数量：4\r\n注：自动排除[回收站]和[私用库]分类"});

    rig.prompter.said.clear();
    rig.catalogue.MoveSelection(y);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"指定的父分类不可以是自己或自己的子分类"});

    rig.prompter.said.clear();
    rig.tree.select(item);
    rig.catalogue.CopySelection();
    rig.select({r(kPrivate, dest)});
    rig.catalogue.PasteCopied(false);
    EXPECT_TRUE(rig.prompter.said.empty());
    const std::string copyOfX = value(kPrivate, tables::Directory, "ParentDir=" + n(dest), "dID");
    ASSERT_FALSE(copyOfX.empty());
    EXPECT_EQ(count(kPrivate, tables::Directory, "ParentDir=" + copyOfX), 1);
    EXPECT_EQ(count(kPrivate, tables::Directory, ""), 5) << "X and Y copied once each";
}

}  // namespace
}  // namespace orv::test
