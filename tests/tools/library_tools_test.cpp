// Backups of the library files and statements run directly on a table.
#include "cli/commands.h"
#include "extractor_fixture.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"
#include "tools/backup.h"
#include "tools/direct_sql.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orv;
using orv::test::TempDir;

namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

class LibraryTools : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        std::filesystem::create_directories(dir.path() / "Settings");
        std::filesystem::create_directories(dir.path() / "Private");
        ASSERT_TRUE(db.open(library::kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error))
            << error;
        ASSERT_TRUE(db.open(library::kPrivate, dir.file("Private/PriHelp.db"), library::OpenMode::CreateMissing, error))
            << error;
    }
    std::string ide() const { return dir.path().string() + "/"; }
    TempDir dir;
    library::SqliteHostDb db;
};

}  // namespace

TEST_F(LibraryTools, BackupCopiesBothFilesWithTheStamp) {
    EXPECT_EQ(tools::backupStamp(at(2024, 3, 5, 14, 7, 9)), "2024年03月05日14时07分09秒");
    db.addItemUtf(library::kPrivate, library::tables::Directory, "DirName='x'");
    for (int twice = 0; twice < 2; ++twice) {  // within the same second the copies are replaced
        const tools::BackupResult r = tools::BackupLibraries(db, ide(), at(2024, 3, 5, 14, 7, 9));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.message.rfind("完成备份！\r\n公库文件：-------------------------------\r\n从：", 0), 0u);
        EXPECT_NE(r.message.find("_PubHelp.db\r\n私库文件：-------------------------------\r\n从："), std::string::npos);
    }
    const auto copy = dir.path() / "Private" / "2024年03月05日14时07分09秒_PriHelp.db";
    EXPECT_EQ(test::readFile(copy), test::readFile(dir.path() / "Private" / "PriHelp.db"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Settings" / "2024年03月05日14时07分09秒_PubHelp.db"));
}

TEST_F(LibraryTools, AFailedCopyIsNotReportedAsABackup) {
    std::filesystem::create_directories(dir.path() / "Private" / "2024年03月05日14时07分09秒_PriHelp.db");  // in the way
    const tools::BackupResult r = tools::BackupLibraries(db, ide(), at(2024, 3, 5, 14, 7, 9));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.rfind("备份失败！", 0), 0u) << r.message;
    EXPECT_NE(r.message.find("_PriHelp.db"), std::string::npos);
}

TEST_F(LibraryTools, BackupCopiesWhileBothLibrariesAreHeld) {
    db.addItemUtf(library::kPublic, library::tables::Directory, "DirName='x'");
    const std::string stamp = "2024年03月05日14时07分09秒";
    const auto pubCopy = dir.path() / "Settings" / (stamp + "_PubHelp.db");
    const auto priCopy = dir.path() / "Private" / (stamp + "_PriHelp.db");
    struct Step {
        int lib;
        library::TransactionStep step;
        bool copied;  // both copies were on disk at that moment
        bool operator==(const Step& o) const { return lib == o.lib && step == o.step && copied == o.copied; }
    };
    constexpr auto Begin = library::TransactionStep::Begin;
    constexpr auto Commit = library::TransactionStep::Commit;
    const struct {
        int failingBegin, failingCommit;
        std::vector<Step> steps;
        std::string says;
        bool copies;  // left on disk
    } cases[] = {
        // A library that cannot be held is not copied; the other one is let go.
        {library::kPrivate, -1, {{0, Begin, false}, {1, Begin, false}, {0, Commit, false}},
         "备份失败！\r\n私库无法锁定：", false},
        {library::kPublic, -1, {{0, Begin, false}}, "备份失败！\r\n公库无法锁定：", false},
        // Copies made while held are whole, but a library not let go is still a failure.
        {-1, library::kPublic, {{0, Begin, false}, {1, Begin, false}, {1, Commit, true}, {0, Commit, true}},
         "备份失败！\r\n公库无法解锁：", true},
        {-1, -1, {{0, Begin, false}, {1, Begin, false}, {1, Commit, true}, {0, Commit, true}}, "完成备份！", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        std::filesystem::remove(pubCopy);
        std::filesystem::remove(priCopy);
        tools::test::FailingStepsDb host(dir.file("Settings/PubHelp.db"), dir.file("Private/PriHelp.db"));
        host.failingBegin = c.failingBegin;
        host.failingCommit = c.failingCommit;
        std::vector<Step> steps;
        host.onTransaction = [&](int lib, library::TransactionStep step) {
            steps.push_back({lib, step, std::filesystem::exists(pubCopy) && std::filesystem::exists(priCopy)});
        };
        const tools::BackupResult r = tools::BackupLibraries(host, ide(), at(2024, 3, 5, 14, 7, 9));
        EXPECT_EQ(r.ok, c.failingBegin < 0 && c.failingCommit < 0);
        EXPECT_EQ(r.message.rfind(c.says, 0), 0u) << r.message;
        EXPECT_TRUE(steps == c.steps);
        EXPECT_EQ(std::filesystem::exists(pubCopy), c.copies);
        EXPECT_EQ(std::filesystem::exists(priCopy), c.copies);
    }
    EXPECT_EQ(test::readFile(pubCopy), test::readFile(dir.path() / "Settings" / "PubHelp.db"));
}

TEST_F(LibraryTools, DirectStatements) {
    db.transaction(library::kPrivate, library::TransactionStep::Begin);
    for (int i = 0; i < 1000; ++i) db.addItemUtf(library::kPrivate, "KeywordList", "dID=7,DisplayKeyWord='e" + std::to_string(i) + "'");
    db.transaction(library::kPrivate, library::TransactionStep::Commit);

    tools::SqlResult r = tools::RunDirectSql(db, 1, "KeywordList", tools::SqlOperation::Query, "dID=7", "kID DESC");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.rows.count(), 300);
    EXPECT_EQ(r.rows.columns.size(), library::kKeywordListColumns.size());
    EXPECT_EQ(r.rows.text(0, 3), "e999");
    EXPECT_EQ(r.caption, "查询结果（最多显示300行）当前共1000行");

    r = tools::RunDirectSql(db, 1, "KeywordList", tools::SqlOperation::Query, "dID=8", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "执行SQL代码失败！\r\n错误信息：\r\n");  // nothing matched: no error text

    r = tools::RunDirectSql(db, 1, "KeywordList", tools::SqlOperation::Update, "kID=10 or kID=11", "DisplayKeyWord='新名词'");
    EXPECT_EQ(r.message, "执行成功！\r\n影响到 2 行数据");
    r = tools::RunDirectSql(db, 1, "KeywordList", tools::SqlOperation::Update, "kID=10", "NoSuchColumn=1");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("NoSuchColumn"), std::string::npos) << r.message;
    r = tools::RunDirectSql(db, 1, "KeywordList", tools::SqlOperation::Delete, "kID>990", "ignored");
    EXPECT_EQ(r.message, "执行成功！\r\n影响到 10 行数据");
}

TEST_F(LibraryTools, OrvhelpSqlAndBackup) {
    db.addItemUtf(library::kPublic, "Directory", "DirName='语言参考',Sort=10");
    std::ostringstream out, err;
    EXPECT_EQ(cli::run({"sql", "0", "Directory", "query", "Sort=10", "--ide", ide()}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("当前共1行\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("| 语言参考 |"), std::string::npos) << out.str();
    EXPECT_EQ(cli::run({"sql", "0", "User", "query", "", "--ide", ide()}, out, err), 2);
    EXPECT_EQ(cli::run({"sql", "0", "Directory", "update", "dID=1", "--ide", ide()}, out, err), 2);
    EXPECT_EQ(cli::run({"sql", "0", "Directory", "query", "dID=99", "--ide", ide()}, out, err), 1);
    EXPECT_EQ(cli::run({"backup", "--ide", ide()}, out, err), 0) << err.str();
}
