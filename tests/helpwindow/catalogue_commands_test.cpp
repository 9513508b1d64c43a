// orvhelp's delete, paste, move, count and favorite over an IDE folder: every message on
// its own line, questions answered No unless --yes, and the exit status that says what
// happened.
#include "helpwindow/helpwindow_fixture.h"

#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/orvhelp_runner.h"
#include "support/temp_dir.h"

#include "support/ide_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orv::test {
namespace {

using library::kPrivate;
using library::kPublic;
namespace tables = library::tables;

std::string n(long long id) { return std::to_string(id); }

class CatalogueCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Free changes: these commands do not reach a server.
        std::string error;
        ASSERT_TRUE(makeIdeFolder(dir, db, "[setup]\nkill=1\nupdate=1\n", error)) << error;
        LibraryRows rows(db);
        rows.privateRoot();
        source = rows.category(kPublic, 0, "Statements");
        target = rows.category(kPublic, 0, "Graphics");
        print = rows.entry(kPublic, source, "Print");
        input = rows.entry(kPublic, source, "Input");
        mine = rows.category(kPrivate, 0, "Mine");
        helper = rows.entry(kPrivate, mine, "Helper");
    }
    OrvhelpResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ide", dir.path().string()});
        return orvhelp(args);
    }
    std::string value(int lib, std::string_view table, const std::string& where, std::string_view field) {
        return db.findOnly(lib, table, where, field, "");
    }

    TempDir dir;
    library::SqliteHostDb db;
    long long source = 0, target = 0, print = 0, input = 0, mine = 0, helper = 0;
};

TEST_F(CatalogueCommands, DeleteAsksAndOnlyYesMovesIntoTheBin) {
    // Entries list by name: Input is the first selected.
    const std::string question = "即将删除：Input\n一共：2 条记录\n删除是直接将它移动到回收站。\n你真的要这么做吗？\n";
    OrvhelpResult r = run({"delete", "k0" + n(print), "k0" + n(input)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, question);
    EXPECT_NE(r.err.find("the question was answered No (--yes answers Yes)"), std::string::npos) << r.err;
    EXPECT_EQ(value(kPublic, tables::KeywordList, "kID=" + n(print), "dID"), n(source));

    r = run({"delete", "k0" + n(print), "--yes", "k0" + n(input)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, question);
    const std::string bin = value(kPublic, tables::Directory, "nType=2", "dID");
    ASSERT_FALSE(bin.empty());
    EXPECT_EQ(db.count(kPublic, tables::KeywordList, "dID=" + bin), 2);
    EXPECT_EQ(db.count(kPublic, tables::UpdateList, "sCommand=4 And tID=" + n(source)), 1);
}

TEST_F(CatalogueCommands, CountPrintsItsMessageLineByLineAndNothingForEntriesOnly) {
    OrvhelpResult r = run({"count", "r0" + n(source)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "统计选择项目包含分类和词条数量！\n分类数量：1\n词条数量：2\n总计数量：3\n"
                     "注：自动排除[回收站]和[私用库]分类\n");
    r = run({"count", "k0" + n(print), "k1" + n(helper)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(CatalogueCommands, PasteAndMoveChangeTheLibrariesAndSayWhatIsRefused) {
    OrvhelpResult r = run({"paste", "r0" + n(target), "k0" + n(print), "--shared"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string printTexts = value(kPublic, tables::KeywordList, "kID=" + n(print), "sID");
    EXPECT_EQ(db.count(kPublic, tables::KeywordList, "dID=" + n(target) + " And sID=" + printTexts), 1);

    // A private entry pasted beside a public one: its texts are copied.
    r = run({"paste", "k0" + n(print), "k1" + n(helper)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(db.count(kPublic, tables::KeywordList, "dID=" + n(source) + " And DisplayKeyWord='Helper'"), 1);

    r = run({"move", "r10", "k1" + n(helper)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "kID=" + n(helper), "dID"), "0");

    r = run({"move", "r0" + n(source), "r0" + n(source)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("指定的父分类不可以是自己或自己的子分类\n", 0), 0u) << r.err;

    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } refused[] = {
        {{"move", "k0" + n(print), "k0" + n(input)}, 2, "TARGET must be a category link"},
        {{"move", "r1" + n(mine), "k0" + n(input)}, 2, "is not a category of the library of"},
        {{"paste", "r0" + n(target)}, 2, "usage: orvhelp paste"},
        {{"delete", "x12"}, 2, "is not a tree node"},
        {{"delete", "k09999"}, 1, "the node k09999 is not in the contents tree"},
        {{"count", "r01", "--ide"}, 2, ""},
    };
    const std::string before = value(kPublic, tables::KeywordList, "kID=" + n(input), "dID");
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(value(kPublic, tables::KeywordList, "kID=" + n(input), "dID"), before);
    EXPECT_EQ(orvhelp({"count", "r01"}).status, 2) << "no --ide";
}

TEST_F(CatalogueCommands, FavoriteTogglesAsTheToolbarButtonDoes) {
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        long long rows;
    } steps[] = {
        {{"favorite", "r0" + n(source)}, 1, "", "只能收藏词条，不能收藏分类。\n", 0},
        {{"favorite", "k1" + n(helper)}, 0, "添加收藏成功！\n", "", 1},
        {{"favorite", "k1" + n(helper)}, 1, "本词条已经收藏，是否要取消收藏？\n", "", 1},
        {{"favorite", "k1" + n(helper), "--yes"}, 0, "本词条已经收藏，是否要取消收藏？\n", "", 0},
    };
    for (const auto& s : steps) {
        const OrvhelpResult r = run(s.args);
        EXPECT_EQ(r.status, s.status) << r.err;
        EXPECT_EQ(r.out, s.out);
        EXPECT_EQ(r.err.rfind(s.err, 0), 0u) << r.err;
        EXPECT_EQ(db.count(kPrivate, tables::Favorite, "kID=" + n(helper) + " And PriPub=1"), s.rows);
    }
}

}  // namespace
}  // namespace orv::test
