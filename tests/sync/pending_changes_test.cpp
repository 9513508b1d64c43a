// The replay of pending change records: order, the state each record ends in, one
// transaction.
#include "sync/pending_changes.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <gtest/gtest.h>

using namespace orv;
using library::kPublic;
namespace tables = library::tables;

namespace {

class StepsDb : public library::SqliteHostDb {
public:
    void transaction(int lib, library::TransactionStep step) override {
        steps.push_back(step == library::TransactionStep::Begin ? "begin" : "commit");
        SqliteHostDb::transaction(lib, step);
    }
    std::vector<std::string> steps;
};

}  // namespace

TEST(PendingChangesTest, AppliesOldestFirstAndMarksEachRecordOnItsOwn) {
    StepsDb db;
    std::string error;
    ASSERT_TRUE(db.openInMemory(kPublic, kPublic, error)) << error;
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
    for (const auto& r : records)
        ASSERT_GT(db.addItemUtf(kPublic, tables::UpdateList,
                                library::Assignments().add("uID", 4).addText("uName", "李四").add("sCommand", r.code)
                                    .addText("sName", "A").addText("sText", r.body).add("sExecute", r.state)
                                    .add("uDate", r.date).add("tID", 5).str()),
                  0);

    const sync::ReplayResult result = sync::ApplyPendingChanges(db);
    EXPECT_EQ(result.records, 4);
    EXPECT_EQ(result.applied, 2);
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
