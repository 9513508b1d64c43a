// orvhelp's edit-entry and edit-category over an IDE folder: the editors' own save with
// the form's fields given on the command line, what it prints, what it stores, and the
// exit status that says whether it happened.
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

// One command line, what it prints, and a count of rows that shows what it stored.
struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;  // the start of the error stream; "" for none at all
    int lib;
    std::string_view table;
    std::string where;
    long long rows;     // rows of `table` matching `where` afterwards
    long long records;  // change records the command added to the public library
};

class EditorCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Free changes: the public saves here do not reach a server.
        std::string error;
        ASSERT_TRUE(makeIdeFolder(dir, db, "[setup]\nupdate=1\n", error)) << error;
        LibraryRows rows(db);
        rows.privateRoot();
        statements = rows.category(kPublic, 0, "Statements");
        graphics = rows.category(kPublic, statements, "Graphics");
        sprites = rows.category(kPublic, graphics, "Sprites");
        print = rows.entry(kPublic, statements, "Print");
        printTexts = db.findOnly(kPublic, tables::KeywordList, "kID=" + n(print), "sID", "");
    }

    // Runs the cases in order, each on what the ones before it left.
    void check(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const long long before = records();
            std::vector<std::string> args = c.args;
            args.insert(args.begin(), {"--ide", dir.path().string()});
            const OrvhelpResult r = orvhelp(args);
            EXPECT_EQ(r.status, c.status) << r.err;
            EXPECT_EQ(r.out, c.out);
            if (c.err.empty()) EXPECT_EQ(r.err, "");
            else EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
            EXPECT_EQ(db.count(c.lib, c.table, c.where), c.rows) << c.where;
            EXPECT_EQ(records() - before, c.records);
        }
    }
    long long records() { return db.count(kPublic, tables::UpdateList, ""); }

    TempDir dir;
    library::SqliteHostDb db;
    long long statements = 0, graphics = 0, sprites = 0, print = 0;
    std::string printTexts;
};

TEST_F(EditorCommands, EditEntrySavesExactlyTheGivenFieldsAsTheEditorDoes) {
    const std::string explained = "sID=" + printTexts + " And Explain='<p>it''s new</p>'";
    check({
        {"an explanation changed", {"edit-entry", "k0" + n(print), "Explain=<p>it's new</p>"}, 0,
         "Explain='<p>it''s new</p>'\nkID\t" + n(print) + "\n", "", kPublic, tables::KeywordData, explained, 1, 1},
        {"nothing given", {"edit-entry", "k0" + n(print)}, 0, "", "", kPublic, tables::KeywordData, explained, 1, 0},
        {"a bare category number places it again", {"edit-entry", "k0" + n(print), "DirID3=" + n(sprites)}, 0,
         "dID3=0|" + n(sprites) + "\nkID\t" + n(print) + "\n", "", kPublic, tables::KeywordList,
         "sID=" + printTexts + " And dID=" + n(sprites), 1, 1},
        // The private library is never recorded: it keeps no change log.
        {"a new private entry at the private top level", {"edit-entry", "r10", "--new", "KeyWord=Mine"}, 0,
         "KeyWord='Mine',UKeyWord='MINE',DisplayKeyWord='Mine',Sort=10000,dID=0\nkID\t1\n", "", kPrivate,
         tables::KeywordList, "kID=1 And dID=0 And DisplayKeyWord='Mine'", 1, 0},
        {"a misspelt field", {"edit-entry", "k0" + n(print), "Explian=x"}, 2, "",
         "orvhelp: unknown field \"Explian\" (the fields: KeyWord, DisplayKeyWord, Platform1, Platform2, Attribute, "
         "type, ctid, DirID1, DirID2, DirID3, DirID4, DirID5, Description, Syntax, Member, Parameter, Explain, "
         "Examples, Source, Related, Include, Sort)\n",
         kPublic, tables::KeywordData, "Explain='x'", 0, 0},
        {"a duplicate name answered No", {"edit-entry", "--new", "r0" + n(graphics), "KeyWord=print"}, 1,
         "print\n词条名称已经存在，你一定要重复添加吗？\n",
         "orvhelp: the entry edit did not happen: the question was answered No (--yes answers Yes)\n", kPublic,
         tables::KeywordData, "UKeyWord='PRINT'", 1, 0},
        {"an entry that is not there", {"edit-entry", "k09999", "Explain=x"}, 1, "", "无法读取词条！\n", kPublic,
         tables::KeywordData, "Explain='x'", 0, 0},
    });
}

TEST_F(EditorCommands, EditCategorySavesThroughTheCategoryEditorAndRefusesWhatItRefuses) {
    const std::string statementsAtTop = "dID=" + n(statements) + " And ParentDir=0";
    check({
        {"a name with an apostrophe", {"edit-category", "r0" + n(graphics), "name=O'Brien"}, 0,
         "DirName='O''Brien'\ndID\t" + n(graphics) + "\n", "", kPublic, tables::Directory,
         "dID=" + n(graphics) + " And DirName='O''Brien'", 1, 1},
        {"a parent under its own child", {"edit-category", "r0" + n(statements), "parent=" + n(sprites)}, 1, "",
         "指定的父分类不可以是自己或自己的子分类\n", kPublic, tables::Directory, statementsAtTop, 1, 0},
        {"a kind the form does not offer", {"edit-category", "r0" + n(statements), "kind=5"}, 2, "",
         "orvhelp: kind must be one of 0, 10, 1", kPublic, tables::Directory, statementsAtTop + " And nType=0", 1,
         0},
        {"a new child", {"edit-category", "r0" + n(sprites), "--new", "name=Pixels"}, 0,
         "ParentDir=" + n(sprites) + ",nType=10,Sort=10000,DirName='Pixels'\ndID\t" + n(sprites + 1) + "\n", "", kPublic,
         tables::Directory, "ParentDir=" + n(sprites) + " And DirName='Pixels'", 1, 1},
        // The branch takes the kind locally: only the category's own change is recorded.
        {"a kind given down the branch", {"edit-category", "r0" + n(graphics), "kind=1", "--sync-kinds"}, 0,
         "nType=1\ndID\t" + n(graphics) + "\n", "", kPublic, tables::Directory,
         "nType=1 And dID in (" + n(graphics) + "," + n(sprites) + "," + n(sprites + 1) + ")", 3, 1},
    });
}

}  // namespace
}  // namespace orv::test
