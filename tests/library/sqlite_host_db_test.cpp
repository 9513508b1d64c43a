// The host database services over real SQLite files.
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace orv::library;
using orv::test::TempDir;

namespace {

class HostDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(db.open(kPublic, dir.file("PubHelp.db"), OpenMode::CreateMissing, error)) << error;
        ASSERT_TRUE(db.open(kPrivate, dir.file("PriHelp.db"), OpenMode::CreateMissing, error)) << error;
    }

    long long addEntry(int lib, long long dID, const std::string& keyword) {
        const long long sID = db.addItemUtf(lib, tables::KeywordData,
            Assignments().addText("KeyWord", keyword).addText("UKeyWord", keyword).addText("Explain", "<p>x</p>").str());
        return db.addItemUtf(lib, tables::KeywordList,
            Assignments().add("dID", dID).add("sID", sID).addText("DisplayKeyWord", keyword).add("nType", 1).str());
    }

    TempDir dir;
    SqliteHostDb db;
};

}  // namespace

TEST_F(HostDbTest, NewFilesHaveTheLibraryTablesInColumnOrder) {
    ResultTable t;
    db.find(kPublic, tables::UpdateList, "", t, "*", "", 0);
    ASSERT_EQ(t.columns.size(), kUpdateListColumns.size());
    for (size_t i = 0; i < t.columns.size(); ++i) EXPECT_EQ(t.columns[i], kUpdateListColumns[i].name);
    EXPECT_EQ(db.count(kPublic, tables::User, ""), 0);
    EXPECT_EQ(db.count(kPrivate, tables::Favorite, ""), 0);
    // Each library has only its own extra tables.
    EXPECT_EQ(db.find(kPrivate, tables::UpdateList, "", t, "*", "", 0), 0);
    EXPECT_NE(db.errMsg(kPrivate).find("no such table"), std::string::npos);
}

TEST_F(HostDbTest, JoinedStarReadGivesDataColumnsFromSix) {
    const long long kID = addEntry(kPublic, 3, "PRINT");
    Row row;
    ASSERT_TRUE(db.findOne(kPublic, tables::ListAndData,
                           joinConditions({tables::JoinCondition, "KeywordList.kID=" + std::to_string(kID)}),
                           row, "*", ""));
    ASSERT_EQ(row.size(), 23u);
    EXPECT_EQ(joined::kColumnCount, 23);
    EXPECT_EQ(joined::Explain, 10);
    EXPECT_EQ(cellText(row, joined::Explain), "<p>x</p>");
    EXPECT_EQ(cellText(row, joined::KeyWord), "PRINT");
    EXPECT_EQ(cellNumber(row, joined::kID), kID);
    EXPECT_EQ(cellNumber(row, joined::Platform), 0);  // default, read from text
}

TEST_F(HostDbTest, ApostrophesAreStoredAndFoundAgain) {
    addEntry(kPrivate, 1, "O'Brien's");
    EXPECT_EQ(db.findOnly(kPrivate, tables::KeywordData, "UKeyWord=" + quoteText("O'Brien's"), "KeyWord", ""),
              "O'Brien's");
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, "UKeyWord LIKE '" + doubleApostrophes("O'B") + "%'"), 1);
}

TEST_F(HostDbTest, RowLimitBelowTheCount) {
    for (int i = 0; i < 5; ++i) addEntry(kPublic, 7, "K" + std::to_string(i));
    ResultTable t;
    EXPECT_EQ(db.find(kPublic, tables::KeywordList, "dID=7", t, "kID,DisplayKeyWord", "Sort,DisplayKeyWord", 3), 3);
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.text(2, 1), "K2");
    EXPECT_EQ(db.count(kPublic, tables::KeywordList, "dID=7"), 5);
    EXPECT_EQ(db.find(kPublic, tables::KeywordList, "dID=7", t, "kID", "", 0), 5);
}

TEST_F(HostDbTest, BothAddFlavoursStoreTheSameText) {
    const std::string name = "澄岭 it's \xF0\x9F\x98\x80";
    const long long a = db.addItem(kPrivate, tables::Directory, Assignments().addText("DirName", name).str());
    const long long b = db.addItemUtf(kPrivate, tables::Directory, Assignments().addText("DirName", name).str());
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(a), "DirName", ""), name);
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(b), "DirName", ""), name);
    EXPECT_EQ(db.update(kPrivate, tables::Directory, "dID=" + std::to_string(a), "Sort=3"), 1);
    EXPECT_EQ(db.updateUtf(kPrivate, tables::Directory, "dID=" + std::to_string(b), "DirName='改'"), 1);
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(b), "DirName", ""), "改");
}

TEST_F(HostDbTest, ExplicitIdsMaxIdAndDelete) {
    EXPECT_EQ(db.maxId(kPublic, tables::Directory, "dID", ""), 0);
    EXPECT_EQ(db.addItemUtf(kPublic, tables::Directory, "dID=500,DirName='a'"), 500);
    EXPECT_EQ(db.addItemUtf(kPublic, tables::Directory, "DirName='b'"), 501);
    EXPECT_EQ(db.maxId(kPublic, tables::Directory, "dID", ""), 501);
    EXPECT_EQ(db.deleteItem(kPublic, tables::Directory, "dID in (500,501)"), 2);
    EXPECT_EQ(db.findOnly(kPublic, tables::Directory, "dID=500", "DirName", ""), "");
}

TEST_F(HostDbTest, FailedRequestsReportTheLastError) {
    const struct { const char* list; const char* errorPart; } cases[] = {
        {"NoSuchColumn=1", "NoSuchColumn"},
        {"DirName='open", "unrecognized token"},
        {"DirName", "malformed assignment"},
        {"DirName=(SELECT 1);DROP TABLE Directory", "syntax error"},
    };
    for (const auto& c : cases) {
        EXPECT_LT(db.addItemUtf(kPublic, tables::Directory, c.list), 1) << c.list;
        EXPECT_NE(db.errMsg(kPublic).find(c.errorPart), std::string::npos) << db.errMsg(kPublic);
    }
    EXPECT_EQ(db.update(kPublic, tables::Directory, "dID=1", "NoSuchColumn=1"), -1);
    EXPECT_EQ(db.deleteItem(kPublic, "NoSuchTable", ""), -1);
    EXPECT_EQ(db.update(kPublic, tables::Directory, "dID=1", "Sort=1"), 0);  // nothing matched is no failure
    ResultTable t;
    EXPECT_EQ(db.find(kPublic, tables::Directory, "1=1; DELETE FROM KeywordList", t, "", "", 0), 0);
    EXPECT_NE(db.errMsg(kPublic).find("more than one statement"), std::string::npos);
    EXPECT_EQ(failedAddMessage(db, kPublic).rfind("写数据库失败！\r\n错误信息：\r\n", 0), 0u);
    EXPECT_EQ(db.count(kPublic, tables::Directory, ""), 0);
    EXPECT_EQ(db.count(5, tables::Directory, ""), 0);
    EXPECT_EQ(db.errMsg(5), "library 5 is not open");
}

TEST_F(HostDbTest, NestedTransactionsCommitOnce) {
    db.transaction(kPublic, TransactionStep::Begin);
    db.transaction(kPublic, TransactionStep::Begin);
    addEntry(kPublic, 1, "A");
    db.transaction(kPublic, TransactionStep::Commit);
    addEntry(kPublic, 1, "B");
    db.transaction(kPublic, TransactionStep::Commit);
    db.transaction(kPublic, TransactionStep::Commit);  // one too many: harmless
    SqliteHostDb other;
    std::string error;
    ASSERT_TRUE(other.open(kPublic, dir.file("PubHelp.db"), OpenMode::ExistingOnly, error)) << error;
    EXPECT_EQ(other.count(kPublic, tables::KeywordList, ""), 2);
    db.vacuum(kPublic);
    EXPECT_EQ(db.count(kPublic, tables::KeywordList, ""), 2);
}

TEST(HostDbOpen, BadFilesAreRefusedAndLeftUntouched) {
    TempDir dir;
    const std::string junk = "this is not a database, just some text\n" + std::string(600, 'x');
    orv::test::writeFile(dir.path() / "junk.db", junk);
    orv::test::writeFile(dir.path() / "empty.db", "");
    SqliteHostDb db;
    std::string error;
    for (OpenMode mode : {OpenMode::ExistingOnly, OpenMode::CreateMissing}) {
        EXPECT_FALSE(db.open(kPublic, dir.file("junk.db"), mode, error));
        EXPECT_NE(error.find("not a SQLite library file"), std::string::npos) << error;
        EXPECT_EQ(orv::test::readFile(dir.path() / "junk.db"), junk);
    }
    EXPECT_FALSE(db.open(kPublic, dir.file("missing.db"), OpenMode::ExistingOnly, error));
    EXPECT_NE(error.find("cannot open the library file"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing.db"));
    // An empty file is a valid, empty SQLite database but not a library.
    EXPECT_FALSE(db.open(kPublic, dir.file("empty.db"), OpenMode::ExistingOnly, error));
    EXPECT_NE(error.find("no table Directory"), std::string::npos) << error;
    EXPECT_FALSE(db.isOpen(kPublic));
}

TEST(HostDbOpen, InMemoryProjectLibrary) {
    SqliteHostDb db;
    std::string error;
    ASSERT_TRUE(db.openInMemory(kProject, kPrivate, error)) << error;
    EXPECT_GT(db.addItemUtf(kProject, tables::Directory, "DirName='project'"), 0);
    EXPECT_EQ(db.count(kProject, tables::Directory, ""), 1);
}
