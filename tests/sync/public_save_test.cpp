// The one public-save order against a loopback server: a refusal changes nothing, an
// acceptance carries the change out with the server's ids, date and author and records
// it once, free changes send nothing, and each failing step is told apart.
#include "sync/public_save.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "protocol_server.h"
#include "support/temp_dir.h"
#include "support/watched_host_db.h"
#include "library/plain_progress.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace orv;
using library::kPublic;
namespace tables = library::tables;
using Write = test::WatchedHostDb::Write;

namespace {

constexpr long long kLocalNow = 1234567890;

using RecordingPrompter = orv::test::RecordingPrompter;

// Category 5 holding entry 40 (texts 30), the bin 7: what the changes below act on.
void addStartingRows(library::HostDb& db) {
    for (const char* row : {"Directory|dID=5,DirName='语句',ParentDir=0,nType=10,Sort=1",
                            "Directory|dID=7,DirName='[公用库回收站]',ParentDir=0,nType=2,Sort=30000",
                            "KeywordData|sID=30,KeyWord='Print',UKeyWord='PRINT',nType=1",
                            "KeywordList|kID=40,dID=5,sID=30,DisplayKeyWord='Print',nType=1"}) {
        const std::string_view text(row);
        const size_t bar = text.find('|');
        ASSERT_GT(db.addItemUtf(kPublic, text.substr(0, bar), text.substr(bar + 1)), 0) << row;
    }
}

// Every row of the tables a save may touch, as text: "nothing changed" compares these.
std::string snapshot(library::HostDb& db) {
    std::string out;
    for (std::string_view table : {tables::Directory, tables::KeywordList, tables::KeywordData, tables::User,
                                   tables::UpdateList}) {
        library::ResultTable rows;
        db.find(kPublic, table, "", rows, "*", "", 0);
        out.append(table).append(":");
        for (const library::Row& r : rows.rows)
            for (const std::string& v : r) out.append(v).append("|");
        out.append("\n");
    }
    return out;
}

class PublicSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Apostrophes in account names are the protocol tests' concern.
        server.account = "Zhang";
        ASSERT_TRUE(server.start());
        settings.user = "Zhang";
        settings.password = sync::PasswordDigest("secret");
        settings.server = server.base();
        addStartingRows(db);
    }
    sync::SaveResult save(library::HostDb& on, const sync::PublicChange& change) {
        sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
        session.digit = [] { return 3; };
        return sync::PublicSave(session, on, change, [] { return kLocalNow; });
    }
    std::string value(library::HostDb& on, std::string_view table, const std::string& where, std::string_view field) {
        return on.findOnly(kPublic, table, where, field, "");
    }

    test::ProtocolServer server;
    test::WatchedHostDb db;
    library::Settings settings;
    RecordingPrompter prompter;
    library::PlainProgress progress;
};

const std::string kDeleteEntry40 = "原分类ID=(5)目标分类ID=(7)被删分类=()被删词条=(40)";

}  // namespace

TEST_F(PublicSaveTest, ARefusalLeavesEveryRowAsItWas) {
    const sync::PublicChange changes[] = {
        {library::kNewCategory, 0, "图形", "DirName='图形',ParentDir=0,nType=10,Sort=2"},
        {library::kCategoryChanged, 5, "语句", "DirName='语句 (新)'"},
        {library::kNewEntry, 0, "Line", "dID=5,DisplayKeyWord='Line',KeyWord='Line',UKeyWord='LINE',nType=1"},
        {library::kDeleted, 5, "Print", kDeleteEntry40, library::AddService::Utf16},
    };
    for (const char* reply : {"次数不足", "被锁用户"}) {
        server.fixedReply = reply;
        for (const sync::PublicChange& change : changes) {
            const std::string before = snapshot(db);
            const size_t sent = server.changes.size();
            prompter.shown.clear();
            const sync::SaveResult result = save(db, change);
            EXPECT_EQ(result.step, sync::SaveStep::Refused) << reply << " " << change.name;
            EXPECT_FALSE(result.submitted);
            EXPECT_EQ(server.changes.size(), sent + 1) << "the server is asked first";
            EXPECT_EQ(snapshot(db), before) << reply << " " << change.name;
            EXPECT_EQ(prompter.shown.size(), 1u) << reply;
        }
    }
}

TEST_F(PublicSaveTest, AnAcceptedChangeTakesTheServersIdsAndIsRecordedOnce) {
    server.submitPayload = "9,501,1700000000,777";
    const struct {
        sync::PublicChange change;
        long long target;       // what the record's tID must be
        std::string body;       // what the record's sText must be
        std::string where;      // a row the change must have made
        std::string table;
    } cases[] = {
        {{library::kNewCategory, 0, "图形, 2D", "DirName='图形',ParentDir=0,nType=10,Sort=2"}, 501,
         "DirName='图形',ParentDir=0,nType=10,Sort=2", "dID=501 And DirName='图形' And uID=9 And uDate=1700000000",
         "Directory"},
        {{library::kCategoryChanged, 5, "语句", "DirName='It''s'"}, 5, "DirName='It''s'",
         "dID=5 And DirName='It''s' And uDate=1700000000", "Directory"},
        {{library::kNewEntry, 0, "Line", "dID=5,DisplayKeyWord='Line',KeyWord='Line',UKeyWord='LINE',nType=1"}, 501,
         "dID=5,DisplayKeyWord='Line',KeyWord='Line',UKeyWord='LINE',nType=1,sID=777", "kID=501 And sID=777 And dID=5",
         "KeywordList"},
        {{library::kDeleted, 5, "Print", kDeleteEntry40, library::AddService::Utf16}, 5, kDeleteEntry40,
         "kID=40 And dID=7", "KeywordList"},
    };
    for (const auto& c : cases) {
        test::WatchedHostDb fresh;
        addStartingRows(fresh);
        const sync::SaveResult result = save(fresh, c.change);
        ASSERT_TRUE(result.saved()) << c.change.name << ": " << sync::saveStepText(result.step) << " " << result.error;
        EXPECT_TRUE(result.submitted);
        EXPECT_EQ(result.target, c.target) << c.change.name;
        EXPECT_EQ(result.date, 1700000000);
        EXPECT_EQ(result.userId, 9);
        EXPECT_EQ(fresh.count(kPublic, c.table, c.where), 1) << c.change.name;
        ASSERT_EQ(fresh.count(kPublic, tables::UpdateList, ""), 1) << c.change.name;
        const std::string record = "tID=" + std::to_string(c.target) + " And sCommand=" +
                                   std::to_string(c.change.code) + " And sExecute=2 And uDate=1700000000";
        EXPECT_EQ(fresh.count(kPublic, tables::UpdateList, record), 1) << c.change.name;
        EXPECT_EQ(value(fresh, tables::UpdateList, "", "sText"), c.body) << c.change.name;
        EXPECT_EQ(value(fresh, tables::UpdateList, "", "sName"), c.change.name);
        EXPECT_EQ(value(fresh, tables::UpdateList, "", "uName"), "Zhang");
        // The account is known by the server's id, once.
        EXPECT_EQ(fresh.count(kPublic, tables::User, ""), 1);
        EXPECT_EQ(value(fresh, tables::User, "uName='Zhang'", "uID"), "9");
        // The server got the change message of the record.
        ASSERT_FALSE(server.changes.empty());
        EXPECT_NE(server.changes.back().find("," + std::to_string(c.change.code) + "," +
                                             std::to_string(c.change.target) + ","),
                  std::string::npos)
            << server.changes.back();
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PublicSaveTest, FreeChangesSendNothingAndUseLocalIdsAndTheClock) {
    settings.update = 1;
    ASSERT_GT(db.addItemUtf(kPublic, tables::User, "uName='Zhang',uID=4"), 0);
    const sync::SaveResult result =
        save(db, {library::kNewCategory, 0, "图形", "DirName='图形',ParentDir=0,nType=10,Sort=2",
                  library::AddService::Utf8, 4});
    ASSERT_TRUE(result.saved()) << result.error;
    EXPECT_FALSE(result.submitted);
    EXPECT_EQ(server.requests(), 0);
    EXPECT_EQ(result.target, 8) << "the library's own next dID";
    EXPECT_EQ(value(db, tables::Directory, "dID=8", "uDate"), std::to_string(kLocalNow));
    EXPECT_EQ(value(db, tables::Directory, "dID=8", "uID"), "4");
    EXPECT_EQ(db.count(kPublic, tables::UpdateList, "tID=8 And sCommand=0 And uDate=" + std::to_string(kLocalNow)), 1);
    EXPECT_EQ(db.count(kPublic, tables::User, ""), 1) << "the local account's row was there already";
}

TEST_F(PublicSaveTest, EachFailingStepIsToldAndNothingAfterItHappens) {
    const struct {
        const char* name;
        int update;  // 1: free changes
        Write kind;
        int nth;
        sync::SaveStep step;
        long long userRows, renamed, records;
    } cases[] = {
        // Submitted: the account is added first (add 1), the record last (add 2).
        {"account not added", 0, Write::Add, 1, sync::SaveStep::NotRegistered, 0, 0, 0},
        {"change not carried out", 0, Write::Update, 1, sync::SaveStep::NotApplied, 1, 0, 0},
        {"record not written", 0, Write::Add, 2, sync::SaveStep::NotRecorded, 1, 1, 0},
        {"record not written, free changes", 1, Write::Add, 1, sync::SaveStep::NotRecorded, 0, 1, 0},
        {"commit failed", 0, Write::Commit, 1, sync::SaveStep::NotCommitted, 1, 1, 1},
    };
    for (const auto& c : cases) {
        test::WatchedHostDb fresh;
        addStartingRows(fresh);
        settings.update = c.update;
        fresh.failWrite(c.kind, c.nth);
        const sync::SaveResult result = save(fresh, {library::kCategoryChanged, 5, "语句", "DirName='语句 (新)'"});
        EXPECT_EQ(result.step, c.step) << c.name;
        EXPECT_FALSE(result.saved()) << c.name;
        EXPECT_EQ(fresh.count(kPublic, tables::User, ""), c.userRows) << c.name;
        EXPECT_EQ(fresh.count(kPublic, tables::Directory, "DirName='语句 (新)'"), c.renamed) << c.name;
        EXPECT_EQ(fresh.count(kPublic, tables::UpdateList, ""), c.records) << c.name;
    }
}

TEST_F(PublicSaveTest, AFailedStepCarriesTheHostsErrorText) {
    test::TempDir dir;
    const std::string file = dir.file("PubHelp.db");
    {
        library::SqliteHostDb create;
        std::string error;
        ASSERT_TRUE(create.open(kPublic, file, library::OpenMode::CreateMissing, error)) << error;
        addStartingRows(create);
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE UpdateList", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);

    library::SqliteHostDb lib;
    std::string error;
    ASSERT_TRUE(lib.open(kPublic, file, library::OpenMode::ExistingOnly, error)) << error;
    const sync::SaveResult result = save(lib, {library::kCategoryChanged, 5, "语句", "DirName='语句 (新)'"});
    EXPECT_EQ(result.step, sync::SaveStep::NotRecorded);
    EXPECT_NE(result.error.find("UpdateList"), std::string::npos) << result.error;
    // What was done stays done: there is no rollback.
    EXPECT_EQ(value(lib, tables::Directory, "dID=5", "DirName"), "语句 (新)");
}
