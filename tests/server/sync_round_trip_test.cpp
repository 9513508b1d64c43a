// Two IDE folders keeping their public libraries in step through one sync server over
// loopback: one user's saves are submitted, carried out and recorded; the other user
// fetches them as pending records and replays them.
#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sync/pending_changes.h"
#include "sync/public_save.h"
#include "sync/server_protocol.h"
#include "library/plain_progress.h"
#include "running_server.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orv;
using library::kPublic;
namespace tables = library::tables;

namespace {

// Later than every date of the starting library, so that a fetch asks for all changes.
constexpr long long kServerNow = 1800000000;

// The library both users start from, as "Table|assignment list".
constexpr std::string_view kStartingRows[] = {
    "Directory|dID=1,DirName='语言参考',ParentDir=0,nType=10,uDate=1700000000,Sort=10",
    "Directory|dID=2,DirName='语句',ParentDir=1,nType=10,uDate=1700000000,Sort=10",
    "Directory|dID=3,DirName='[公用库回收站]',ParentDir=0,nType=2,uDate=1700000000,Sort=30000",
    "KeywordData|sID=1,KeyWord='Print',UKeyWord='PRINT',Syntax='Print [expr, ...]',nType=1,uDate=1700000000",
    "KeywordList|kID=1,dID=2,sID=1,DisplayKeyWord='Print',nType=1",
    "KeywordData|sID=2,KeyWord='Input',UKeyWord='INPUT',nType=1,uDate=1700000000",
    "KeywordList|kID=2,dID=2,sID=2,DisplayKeyWord='Input',nType=1",
};

class Prompts : public library::Prompter {
public:
    void message(std::string_view text, library::MessageKind) override { shown.emplace_back(text); }
    bool ask(std::string_view) override { return false; }
    std::vector<std::string> shown;
};

// One user's IDE folder: its public library and the settings naming its account.
class Ide {
public:
    Ide(const test::RunningServer& server, const std::string& account, const std::string& password) {
        std::filesystem::create_directories(dir.path() / "Settings");
        std::string error;
        if (!db.open(kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error))
            ADD_FAILURE() << error;
        for (std::string_view row : kStartingRows) {
            const size_t bar = row.find('|');
            if (db.addItemUtf(kPublic, row.substr(0, bar), row.substr(bar + 1)) < 1)
                ADD_FAILURE() << row << ": " << db.errMsg(kPublic);
        }
        settings.user = account;
        settings.password = sync::PasswordDigest(password);
        settings.server = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    }

    sync::ServerSession session() { return {settings, prompts, progress, sync::makeHttpClient()}; }

    // A public-library save through the one save path: submitted first, and only when it
    // is accepted carried out with the server's ids, date and user id, then recorded. The
    // target the record carries, -1 when refused.
    long long save(int code, long long target, const std::string& name, std::string body) {
        sync::ServerSession s = session();
        const sync::SaveResult saved = sync::PublicSave(s, db, {code, target, name, std::move(body)}, {});
        if (saved.step == sync::SaveStep::Refused) return -1;
        EXPECT_TRUE(saved.saved()) << name << ": " << sync::saveStepText(saved.step) << " " << saved.error;
        return saved.target;
    }

    std::string value(std::string_view table, std::string_view where, std::string_view field) {
        return db.findOnly(kPublic, table, where, field, "");
    }

    test::TempDir dir;
    library::SqliteHostDb db;
    library::Settings settings;
    Prompts prompts;
    library::PlainProgress progress;
};

library::ResultTable allRows(library::HostDb& db, std::string_view table, std::string_view order) {
    library::ResultTable rows;
    db.find(kPublic, table, "", rows, "*", order, 0);
    return rows;
}

}  // namespace

TEST(SyncRoundTripTest, AnotherUsersFetchAndReplayGivesTheSameLibrary) {
    test::RunningServer server;
    server.setNow(kServerNow);
    server.addAccount("O'Neil", "secret-a", 100);
    server.addAccount("李四", "secret-b", 100);
    Ide a(server, "O'Neil", "secret-a");
    Ide b(server, "李四", "secret-b");
    // The server numbers new rows above what the starting library holds.
    server.store().reserveIds(server::IdKind::Category, a.db.maxId(kPublic, tables::Directory, "dID", ""));
    server.store().reserveIds(server::IdKind::Entry, a.db.maxId(kPublic, tables::KeywordList, "kID", ""));
    server.store().reserveIds(server::IdKind::Data, a.db.maxId(kPublic, tables::KeywordData, "sID", ""));

    const long long category =
        a.save(library::kNewCategory, 0, "Graphics, 2D", "DirName='图形',ParentDir=1,nType=10,Sort=20");
    ASSERT_GT(category, 3);
    const long long entry = a.save(library::kNewEntry, 0, "Line",
                                   "dID=" + std::to_string(category) +
                                       ",DisplayKeyWord='Line',KeyWord='Line',UKeyWord='LINE',nType=1,"
                                       "Syntax='Line (x1, y1)-(x2, y2)',Description='It''s a line'");
    ASSERT_GT(entry, 2);
    ASSERT_EQ(a.save(library::kEntryChanged, entry, "Line",
                     "DisplayKeyWord='Line (Graphics)',Syntax='Line [target,] (x1, y1)-(x2, y2)',Sort=5"),
              entry);
    library::MoveDescription move{2, category, "", "2"};
    ASSERT_EQ(a.save(library::kMoved, category, "Input", library::moveDescriptionText(library::kMoved, move)),
              category);
    library::MoveDescription removal{1, 3, std::to_string(category), ""};
    ASSERT_EQ(a.save(library::kDeleted, 1, "图形", library::moveDescriptionText(library::kDeleted, removal)), 1);
    EXPECT_EQ(a.db.count(kPublic, tables::UpdateList, "sExecute=2"), 5);

    sync::ServerSession s = b.session();
    ASSERT_EQ(sync::CheckForUpdates(s, b.db).added, 5);
    EXPECT_EQ(b.db.count(kPublic, tables::UpdateList, "sExecute=0"), 5);
    EXPECT_EQ(b.value(tables::UpdateList, "sCommand=2", "uName"), "O'Neil");
    const sync::ReplayResult replay = sync::ApplyPendingChanges(b.db);
    EXPECT_EQ(replay.records, 5);
    EXPECT_EQ(replay.applied, 5);
    EXPECT_EQ(b.db.count(kPublic, tables::UpdateList, "sExecute=2"), 5);
    // What was fetched is the newest the library knows now: nothing comes twice.
    EXPECT_EQ(sync::CheckForUpdates(s, b.db).added, 0);

    // Each change reached B: the new category (then put in the bin), the changed entry in
    // it with the server's ids and date, the moved entry, the author.
    const std::string kID = "kID=" + std::to_string(entry);
    EXPECT_EQ(b.value(tables::Directory, "dID=" + std::to_string(category), "ParentDir"), "3");
    EXPECT_EQ(b.value(tables::KeywordList, kID, "DisplayKeyWord"), "Line (Graphics)");
    EXPECT_EQ(b.value(tables::KeywordList, kID, "Sort"), "5");
    const std::string sID = "sID=" + b.value(tables::KeywordList, kID, "sID");
    EXPECT_EQ(b.value(tables::KeywordData, sID, "Syntax"), "Line [target,] (x1, y1)-(x2, y2)");
    EXPECT_EQ(b.value(tables::KeywordData, sID, "Description"), "It's a line");
    EXPECT_GE(library::toInt(b.value(tables::KeywordData, sID, "uDate")), kServerNow);
    EXPECT_EQ(b.value(tables::KeywordList, "kID=2", "dID"), std::to_string(category));
    EXPECT_EQ(b.value(tables::User, "uName='O''Neil'", "uID"), a.value(tables::User, "", "uID"));

    const struct { std::string_view table, order; } compared[] = {
        {tables::Directory, "dID"}, {tables::KeywordList, "kID"}, {tables::KeywordData, "sID"},
        {tables::User, "uID"}};
    for (const auto& t : compared) {
        const library::ResultTable ra = allRows(a.db, t.table, t.order);
        const library::ResultTable rb = allRows(b.db, t.table, t.order);
        ASSERT_EQ(ra.columns, rb.columns) << t.table;
        ASSERT_EQ(ra.count(), rb.count()) << t.table;
        for (int row = 0; row < ra.count(); ++row)
            for (size_t c = 0; c < ra.columns.size(); ++c)
                EXPECT_EQ(ra.text(row, static_cast<int>(c)), rb.text(row, static_cast<int>(c)))
                    << t.table << " row " << row << " column " << ra.columns[c];
    }
    EXPECT_TRUE(a.prompts.shown.empty());
    EXPECT_TRUE(b.prompts.shown.empty());
}

// B submits first; A, who has not fetched since, submits later. A's own record is newer
// than B's, yet A's next fetch must still bring B's change, and neither user gets their
// own change back as a pending record.
TEST(SyncRoundTripTest, InterleavedSubmissionsReachBothUsers) {
    test::RunningServer server;
    server.addAccount("O'Neil", "secret-a", 100);
    server.addAccount("李四", "secret-b", 100);
    Ide a(server, "O'Neil", "secret-a");
    Ide b(server, "李四", "secret-b");

    server.setNow(kServerNow);
    ASSERT_EQ(b.save(library::kCategoryChanged, 2, "语句", "DirName='语句 (B)'"), 2);
    server.setNow(kServerNow + 10);
    ASSERT_EQ(a.save(library::kEntryChanged, 1, "Print", "Description='A was here'"), 1);

    for (Ide* ide : {&a, &b}) {
        sync::ServerSession s = ide->session();
        EXPECT_EQ(sync::CheckForUpdates(s, ide->db).added, 1);
        EXPECT_EQ(sync::ApplyPendingChanges(ide->db).applied, 1);
        EXPECT_EQ(sync::CheckForUpdates(s, ide->db).added, 0);
        EXPECT_EQ(ide->db.count(kPublic, tables::UpdateList, ""), 2);
    }
    for (Ide* ide : {&a, &b}) {
        EXPECT_EQ(ide->value(tables::Directory, "dID=2", "DirName"), "语句 (B)");
        EXPECT_EQ(ide->value(tables::KeywordData, "sID=1", "Description"), "A was here");
    }
    EXPECT_TRUE(a.prompts.shown.empty());
    EXPECT_TRUE(b.prompts.shown.empty());
}
