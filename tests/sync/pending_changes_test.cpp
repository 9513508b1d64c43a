// The replay of pending change records: order, the state each record ends in, one
// transaction.
#include "sync/pending_changes.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include "support/watched_host_db.h"

#include <gtest/gtest.h>

using namespace orv;
using library::kPublic;
namespace tables = library::tables;

namespace {

using orv::test::WatchedHostDb;

void addRecord(library::HostDb& db, long long code, std::string_view body, int state, long long date) {
    ASSERT_GT(db.addItemUtf(kPublic, tables::UpdateList,
                            library::Assignments().add("uID", 4).addText("uName", "李四").add("sCommand", code)
                                .addText("sName", "A").addText("sText", body).add("sExecute", state)
                                .add("uDate", date).add("tID", 5).str()),
              0);
}

}  // namespace

TEST(PendingChangesTest, AppliesOldestFirstAndMarksEachRecordOnItsOwn) {
    WatchedHostDb db;
    ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, "dID=5,DirName='A'"), 0);
    const struct {
        long long code;
        const char* body;
        int state;  // as fetched
        long long date;
        int expected;  // state afterwards
    } records[] = {
        {1, "DirName='C'", library::kStatePending, 30, library::kStateApplied},  // newest: its name stays
        {1, "DirName='B'", library::kStatePending, 20, library::kStateApplied},
        {9, "DirName='X'", library::kStatePending, 25, library::kStateFailed},         // unknown code
        {1, "DirName=(SELECT 1)", library::kStatePending, 26, library::kStateFailed},  // not a value
        {1, "DirName='D'", library::kStateAbandoned, 40, library::kStateAbandoned},
        {1, "DirName='E'", library::kStateApplied, 50, library::kStateApplied},
    };
    for (const auto& r : records) addRecord(db, r.code, r.body, r.state, r.date);

    const sync::ReplayResult result = sync::ApplyPendingChanges(db);
    EXPECT_EQ(result.records, 4);
    EXPECT_EQ(result.applied, 2);
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(db.steps, (std::vector<std::string>{"begin", "commit"}));
    EXPECT_EQ(db.findOnly(kPublic, tables::Directory, "dID=5", "DirName", ""), "C");
    for (size_t i = 0; i < std::size(records); ++i)
        EXPECT_EQ(db.findOnly(kPublic, tables::UpdateList, "lID=" + std::to_string(i + 1), "sExecute", ""),
                  std::to_string(records[i].expected))
            << "record " << i + 1;

    // Nothing pending: nothing is begun.
    EXPECT_EQ(sync::ApplyPendingChanges(db).records, 0);
    EXPECT_EQ(db.steps.size(), 2u);
}

TEST(PendingChangesTest, AStateOrCommitThatCannotBeWrittenIsReported) {
    // The record's state is the run's second update (the change itself is the first);
    // the commit is the run's only one.
    for (const auto kind : {WatchedHostDb::Write::Update, WatchedHostDb::Write::Commit}) {
        WatchedHostDb db;
        ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, "dID=5,DirName='A'"), 0);
        addRecord(db, 1, "DirName='B'", library::kStatePending, 20);
        db.failWrite(kind, kind == WatchedHostDb::Write::Update ? 2 : 1);
        const sync::ReplayResult result = sync::ApplyPendingChanges(db);
        EXPECT_EQ(result.records, 1);
        EXPECT_FALSE(result.saved);
        EXPECT_EQ(result.applied, kind == WatchedHostDb::Write::Commit ? 0 : 1);
    }
}
