// Carrying out recorded changes with ApplyChange, and writing change records.
#include "library/change_log.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include "support/watched_host_db.h"

#include <gtest/gtest.h>

using namespace orv::library;

namespace {

// Passes every call on to a real library and counts them, so a test can prove that a
// refused change never reached the host.
class CountingHostDb : public HostDb {
public:
    explicit CountingHostDb(HostDb& inner) : inner_(inner) {}
    int calls = 0;
    int find(int l, std::string_view t, std::string_view w, ResultTable& o, std::string_view f,
             std::string_view r, int n) override { ++calls; return inner_.find(l, t, w, o, f, r, n); }
    bool findOne(int l, std::string_view t, std::string_view w, Row& o, std::string_view f,
                 std::string_view r) override { ++calls; return inner_.findOne(l, t, w, o, f, r); }
    std::string findOnly(int l, std::string_view t, std::string_view w, std::string_view f,
                         std::string_view r) override { ++calls; return inner_.findOnly(l, t, w, f, r); }
    long long count(int l, std::string_view t, std::string_view w) override { ++calls; return inner_.count(l, t, w); }
    long long addItem(int l, std::string_view t, std::string_view a) override { ++calls; return inner_.addItem(l, t, a); }
    long long addItemUtf(int l, std::string_view t, std::string_view a) override { ++calls; return inner_.addItemUtf(l, t, a); }
    long long update(int l, std::string_view t, std::string_view w, std::string_view a) override {
        ++calls; return inner_.update(l, t, w, a);
    }
    long long updateUtf(int l, std::string_view t, std::string_view w, std::string_view a) override {
        ++calls; return inner_.updateUtf(l, t, w, a);
    }
    long long deleteItem(int l, std::string_view t, std::string_view w) override { ++calls; return inner_.deleteItem(l, t, w); }
    long long maxId(int l, std::string_view t, std::string_view f, std::string_view w) override {
        ++calls; return inner_.maxId(l, t, f, w);
    }
    bool transaction(int l, TransactionStep s) override { ++calls; return inner_.transaction(l, s); }
    void vacuum(int l) override { ++calls; inner_.vacuum(l); }
    std::string errMsg(int l) override { return inner_.errMsg(l); }

private:
    HostDb& inner_;
};

// A public library with categories 5 > 9, 10 and entries 40 (in 5) and 41 (in 9), whose
// texts are rows 400 and 401.
void fillLibrary(HostDb& db) {
    for (const char* row : {"dID=5,DirName='A',ParentDir=0", "dID=9,DirName='B',ParentDir=5",
                            "dID=10,DirName='C',ParentDir=5"})
        ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, row), 0);
    ASSERT_GT(db.addItemUtf(kPublic, tables::KeywordData, "sID=400,KeyWord='Print',nType=1"), 0);
    ASSERT_GT(db.addItemUtf(kPublic, tables::KeywordData, "sID=401,KeyWord='Input',nType=1"), 0);
    ASSERT_GT(db.addItemUtf(kPublic, tables::KeywordList, "kID=40,dID=5,sID=400,DisplayKeyWord='Print',nType=1"), 0);
    ASSERT_GT(db.addItemUtf(kPublic, tables::KeywordList, "kID=41,dID=9,sID=401,DisplayKeyWord='Input',nType=1"), 0);
}

// Every row of a table, one "a|b|c" line each, ordered by the first field.
std::string rows(HostDb& db, std::string_view table, std::string_view fields = "*", std::string_view where = "") {
    ResultTable t;
    db.find(kPublic, table, where, t, fields, fields == "*" ? "" : fields.substr(0, fields.find(',')), 0);
    std::string out;
    for (const Row& r : t.rows) {
        for (size_t i = 0; i < r.size(); ++i) out += (i ? "|" : "") + r[i];
        out += '\n';
    }
    return out;
}

std::string everything(HostDb& db) {
    std::string all;
    for (std::string_view t : libraryTables(kPublic)) all += std::string(t) + ":\n" + rows(db, t);
    return all;
}

class ChangeLog : public ::testing::Test {
protected:
    void SetUp() override { fillLibrary(db); }

    std::string rows(std::string_view table, std::string_view fields = "*", std::string_view where = "") {
        return ::rows(db, table, fields, where);
    }
    std::string everything() { return ::everything(db); }
    long long apply(long long code, long long& target, std::string_view body, long long uID = 0,
                    std::string_view uName = "") {
        return ApplyChange(db, kPublic, code, target, body, uID, uName, 1700000000);
    }

    orv::test::WatchedHostDb db;
};

}  // namespace

TEST(SplitAssignmentsTest, ItemsGoToTheirTables) {
    const struct { const char* in; const char* list; const char* data; const char* placements; } cases[] = {
        {"", "", "", ""},
        {"KeyWord='a',dID=5,nType=3,Sort=2", "dID=5,nType=3,Sort=2", "KeyWord='a',nType=3", ""},
        {"Syntax='Print a, b',DisplayKeyWord='x,y'", "DisplayKeyWord='x,y'", "Syntax='Print a, b'", ""},
        {"sID=7,kID=3,dID2=0|6,dID5=12|0", "sID=7,kID=3", "sID=7", "dID2=0|6,dID5=12|0"},
        {" Explain='it''s' , junk,,dID=1,", "dID=1", "Explain='it''s'", ""},
        {"dID22=1,sid=3", "", "dID22=1,sid=3", ""},
    };
    for (const auto& c : cases) {
        const SplitParts p = SplitAssignments(c.in);
        EXPECT_EQ(p.list, c.list) << c.in;
        EXPECT_EQ(p.data, c.data) << c.in;
        EXPECT_EQ(p.placements, c.placements) << c.in;
    }
}

TEST(ChangeLogTexts, CommandsAndStatesAsListsShowThem) {
    EXPECT_EQ(commandText(0), "新增分类");
    EXPECT_EQ(commandText(5), "移动位置");
    EXPECT_EQ(commandText(6), "未知");
    EXPECT_EQ(commandText(-1), "未知");
    EXPECT_EQ(stateText(0), "🔄未更新");
    EXPECT_EQ(stateText(3), "❌失败");
    EXPECT_EQ(stateText(4), "🚫放弃");
    EXPECT_EQ(stateText(17), "🚫放弃");
}

TEST_F(ChangeLog, Categories) {
    long long target = 70;
    EXPECT_EQ(apply(kNewCategory, target, "DirName='Q, R',ParentDir=5,Sort=3"), 70);
    target = 0;
    const long long assigned = apply(kNewCategory, target, "DirName='S',ParentDir=0");
    EXPECT_GT(assigned, 70);
    EXPECT_EQ(target, 0);
    EXPECT_EQ(rows(tables::Directory, "dID,DirName,ParentDir,uDate", "dID>=70"),
              "70|Q, R|5|1700000000\n" + std::to_string(assigned) + "|S|0|1700000000\n");

    target = 9;
    EXPECT_EQ(apply(kCategoryChanged, target, "DirName='it''s'"), 1);
    EXPECT_EQ(rows(tables::Directory, "DirName", "dID=9"), "it's\n");
    const std::string before = everything();
    for (long long missing : {0LL, 99LL}) {
        target = missing;
        EXPECT_EQ(apply(kCategoryChanged, target, "DirName='x'", 3, "carol"), 0);
    }
    EXPECT_EQ(everything(), before);
}

TEST_F(ChangeLog, NewEntries) {
    long long target = 80;
    const char* body = "KeyWord='Locate',UKeyWord='LOCATE',Syntax='Locate row, col',nType=1,dID=5,"
                       "DisplayKeyWord='Locate',dID2=0|10";
    EXPECT_EQ(apply(kNewEntry, target, body), 80);
    EXPECT_EQ(target, 80);
    const std::string sID = rows(tables::KeywordData, "sID", "KeyWord='Locate'");
    ASSERT_FALSE(sID.empty());
    EXPECT_EQ(rows(tables::KeywordData, "Syntax,nType,uDate", "KeyWord='Locate'"), "Locate row, col|1|1700000000\n");
    // The main placement, then the further one in category 10 named like it.
    EXPECT_EQ(rows(tables::KeywordList, "dID,sID,DisplayKeyWord,nType", "kID>=80"),
              "5|" + sID.substr(0, sID.size() - 1) + "|Locate|1\n10|" + sID.substr(0, sID.size() - 1) + "|Locate|1\n");

    // The server's sID goes to both rows, and the list row is added with one sID only.
    target = 0;
    const long long kID = apply(kNewEntry, target, "KeyWord='Cls',sID=900,dID=9");
    EXPECT_GT(kID, 0);
    EXPECT_EQ(target, kID);
    EXPECT_EQ(rows(tables::KeywordList, "dID,sID", "kID=" + std::to_string(kID)), "9|900\n");
    EXPECT_EQ(rows(tables::KeywordData, "KeyWord", "sID=900"), "Cls\n");

    // "sID=" inside a text value is not an sID item: the new row still gets its texts.
    target = 0;
    const long long named = apply(kNewEntry, target, "KeyWord='odd',DisplayKeyWord='sID=1',dID=9");
    EXPECT_GT(named, 0);
    EXPECT_EQ(rows(tables::KeywordList, "sID", "kID=" + std::to_string(named)),
              rows(tables::KeywordData, "sID", "KeyWord='odd'"));
}

TEST_F(ChangeLog, NewEntryWhoseListFailsLeavesNoTexts) {
    long long target = 40;  // already taken: the list row cannot be added
    const std::string before = everything();
    EXPECT_EQ(apply(kNewEntry, target, "KeyWord='Dup',dID=5"), 0);
    EXPECT_EQ(target, 40);
    EXPECT_EQ(everything(), before);
}

TEST_F(ChangeLog, ChangedEntries) {
    long long target = 40;
    EXPECT_EQ(apply(kEntryChanged, target, "DisplayKeyWord='Print#',Explain='a, b',dID2=0|10"), 1);
    const std::string extra = db.findOnly(kPublic, tables::KeywordList, "sID=400 And dID=10", "kID", "");
    ASSERT_FALSE(extra.empty());
    EXPECT_EQ(rows(tables::KeywordList, "kID,dID,DisplayKeyWord", "sID=400"), "40|5|Print#\n" + extra + "|10|Print#\n");
    EXPECT_EQ(rows(tables::KeywordData, "Explain,uDate", "sID=400"), "a, b|1700000000\n");

    // Moving and removing further placements touches only rows of the same entry: 41 is
    // another entry's and stays where it is.
    EXPECT_EQ(apply(kEntryChanged, target, "Sort=1,dID3=" + extra + "|9,dID4=41|0,dID5=41|10"), 1);
    EXPECT_EQ(rows(tables::KeywordList, "kID,dID", "kID in (41," + extra + ")"), "41|9\n" + extra + "|9\n");
    EXPECT_EQ(apply(kEntryChanged, target, "dID2=" + extra + "|0"), 1);
    EXPECT_EQ(rows(tables::KeywordList, "kID", "sID=400"), "40\n");

    const std::string before = everything();
    for (long long missing : {0LL, 99LL}) {
        target = missing;
        EXPECT_EQ(apply(kEntryChanged, target, "DisplayKeyWord='x'", 3, "carol"), 0);
    }
    EXPECT_EQ(everything(), before);
}

TEST_F(ChangeLog, DeletesAndMoves) {
    long long target = 0;
    // Only entries still in the source category move; 41 sits in 9, not in 5.
    const std::string onlyEntries = moveDescriptionText(kMoved, {5, 10, "", "40,41"});
    EXPECT_EQ(onlyEntries, "原分类ID=(5)目标分类ID=(10)被移分类=()被移词条=(40,41)");
    EXPECT_EQ(apply(kMoved, target, onlyEntries), 1);
    EXPECT_EQ(rows(tables::KeywordList, "kID,dID"), "40|10\n41|9\n");
    EXPECT_EQ(rows(tables::Directory, "dID,ParentDir"), "5|0\n9|5\n10|5\n");

    const std::string toBin = moveDescriptionText(kDeleted, {5, 10, "9", ""});
    EXPECT_EQ(toBin, "原分类ID=(5)目标分类ID=(10)被删分类=(9)被删词条=()");
    EXPECT_EQ(apply(kDeleted, target, toBin), 1);
    EXPECT_EQ(rows(tables::Directory, "dID,ParentDir"), "5|0\n9|10\n10|5\n");

    const std::string before = everything();
    const std::string refused[] = {
        moveDescriptionText(kMoved, {10, 10, "9", "40"}),  // source = target
        moveDescriptionText(kMoved, {5, 77, "9", "40"}),   // no such target
        moveDescriptionText(kMoved, {0, 9, "5", ""}),      // a category under its own child
        moveDescriptionText(kMoved, {5, 9, "9", ""}),      // a category into itself
        moveDescriptionText(kMoved, {5, 10, "9", ""}),     // markers of the other code
    };
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(apply(i + 1 == std::size(refused) ? kDeleted : kMoved, target, refused[i]), 0) << refused[i];
    EXPECT_EQ(everything(), before);
    // To the top level is a move like any other.
    EXPECT_EQ(apply(kMoved, target, moveDescriptionText(kMoved, {10, 0, "9", ""})), 1);
    EXPECT_EQ(rows(tables::Directory, "ParentDir", "dID=9"), "0\n");
}

TEST_F(ChangeLog, AuthorsWithAServerIdAreRegisteredOnce) {
    long long target = 9;
    EXPECT_EQ(apply(kCategoryChanged, target, "Sort=1", 7, "O'Brien"), 1);
    EXPECT_EQ(apply(kCategoryChanged, target, "Sort=2", 7, "O'Brien"), 1);
    EXPECT_EQ(apply(kCategoryChanged, target, "Sort=3", 0, "nobody"), 1);
    EXPECT_EQ(apply(kCategoryChanged, target, "Sort=4", 8, ""), 1);
    EXPECT_EQ(rows(tables::User, "uName,uID"), "O'Brien|7\n");
    EXPECT_EQ(rows(tables::Directory, "uID,Sort", "dID=9"), "8|4\n");
}

TEST_F(ChangeLog, HostileBodiesNeverReachTheLibrary) {
    const struct { long long code; long long target; std::string body; } cases[] = {
        {kCategoryChanged, 9, "DirName=(SELECT group_concat(KeyWord) FROM KeywordData)"},
        {kCategoryChanged, 9, "DirName='x';DELETE FROM KeywordList"},
        {kCategoryChanged, 9, "DirName='x' WHERE 1=1;DELETE FROM KeywordList;--'"},
        {kNewCategory, 0, "DirName='x',Password='y'"},
        {kNewCategory, 0, "DirName='left open,ParentDir=0"},
        {kNewCategory, 0, ""},
        {kNewEntry, 0, "KeyWord='a',dID=5,Syntax=''||(SELECT 1)"},
        {kNewEntry, 0, "KeyWord='a',dID2='0|5'"},
        {kNewEntry, 0, "KeyWord='a',dID2=0|5 OR 1=1"},
        {kEntryChanged, 40, "Explain='x'),(1"},
        {kEntryChanged, 40, "KeywordList.dID=9"},
        {kMoved, 0, "原分类ID=(5)目标分类ID=(10)被移分类=(1) OR (1=1)被移词条=()"},
        {kMoved, 0, "原分类ID=(5)目标分类ID=(10)被移分类=()被移词条=(40) OR (1=1)"},
        {kMoved, 0, "原分类ID=(5 OR 1=1)目标分类ID=(10)被移分类=()被移词条=(40)"},
        {kDeleted, 0, "原分类ID=(5)目标分类ID=(10)被删分类=(9)被删词条=()trailing"},
        {kDeleted, 0, "目标分类ID=(10)被删分类=(9)被删词条=()"},
        {6, 0, "DirName='x'"},
        {-1, 0, "DirName='x'"},
    };
    const std::string before = everything();
    for (const auto& c : cases) {
        CountingHostDb counting(db);
        long long target = c.target;
        EXPECT_EQ(ApplyChange(counting, kPublic, c.code, target, c.body, 5, "mallory", 1), 0) << c.body;
        EXPECT_EQ(counting.calls, 0) << c.body;
        EXPECT_EQ(target, c.target);
    }
    EXPECT_EQ(everything(), before);
}

TEST_F(ChangeLog, RecordsAreWrittenOnceAndReplayElsewhere) {
    ChangeRecord record{0, "澄岭9", kNewCategory, "Bob's, list", "DirName='Bob''s, list',ParentDir=5", 1700000001};
    EXPECT_EQ(changeRecordAssignments(record),
              "tID=0,uName='澄岭',sCommand=0,sName='Bob''s, list',sText='DirName=''Bob''''s, list'',ParentDir=5',"
              "sExecute=2,uDate=1700000001");
    record.userName = "O'Neil";
    EXPECT_NE(changeRecordAssignments(record).find("uName='O''Neil'"), std::string::npos);
    EXPECT_EQ(recordedUserName("澄岭9"), "澄岭");
    EXPECT_EQ(recordedUserName("澄岭99"), "澄岭99");

    // Carried out here, recorded through either service, replayed on another copy.
    long long target = 60;
    ASSERT_EQ(apply(kNewCategory, target, record.body), 60);
    record.target = 60;
    EXPECT_GT(writeChangeRecord(db, record, AddService::Utf8), 0);
    EXPECT_GT(writeChangeRecord(db, record, AddService::Utf16), 0);
    ResultTable log;
    ASSERT_EQ(db.find(kPublic, tables::UpdateList, "", log, "*", "lID", 0), 2);
    EXPECT_EQ(log.rows[0][change::lID], "1");
    EXPECT_EQ(log.rows[1][change::lID], "2");
    for (int c = change::uID; c <= change::tID; ++c) EXPECT_EQ(log.text(0, c), log.text(1, c));
    EXPECT_EQ(log.text(0, change::uID), "0");
    EXPECT_EQ(log.text(0, change::uName), "O'Neil");
    EXPECT_EQ(log.text(0, change::sName), "Bob's, list");
    EXPECT_EQ(log.text(0, change::sExecute), "2");

    SqliteHostDb other;
    std::string error;
    ASSERT_TRUE(other.openInMemory(kPublic, kPublic, error));
    long long replayTarget = log.number(0, change::tID);
    EXPECT_EQ(ApplyChange(other, kPublic, log.number(0, change::sCommand), replayTarget, log.text(0, change::sText),
                          0, "", log.number(0, change::uDate)),
              60);
    EXPECT_EQ(other.findOnly(kPublic, tables::Directory, "dID=60", "DirName", ""), "Bob's, list");
}

// Each write of a change fails in turn: the change then reports failure, and a new entry
// leaves nothing of itself behind, so that the record can be replayed again later.
TEST(ChangeLogFaults, EveryFailedWriteFailsTheChange) {
    using Write = orv::test::WatchedHostDb::Write;
    const struct {
        long long code;
        long long target;
        std::string body;
        Write kind;
    } cases[] = {
        {kNewCategory, 0, "DirName='N',ParentDir=5", Write::Add},
        {kCategoryChanged, 9, "DirName='N'", Write::Update},
        {kNewEntry, 0, "KeyWord='Beep',dID=5,dID2=0|10,dID3=0|9", Write::Add},
        {kEntryChanged, 40, "DisplayKeyWord='P',Explain='x',dID2=0|10", Write::Add},
        {kEntryChanged, 40, "DisplayKeyWord='P',Explain='x',dID2=42|9", Write::Update},
        {kEntryChanged, 40, "Explain='x',dID2=42|0", Write::Delete},
        {kMoved, 0, moveDescriptionText(kMoved, {5, 10, "9", "40"}), Write::Update},
        {kDeleted, 0, moveDescriptionText(kDeleted, {5, 10, "9", "40"}), Write::Update},
    };
    for (const auto& c : cases) {
        for (int nth = 1;; ++nth) {
            orv::test::WatchedHostDb db;
            fillLibrary(db);
            // A further placement of entry 40, for the cases that move or remove one.
            ASSERT_GT(db.addItemUtf(kPublic, tables::KeywordList, "kID=42,dID=10,sID=400,nType=1"), 0);
            const std::string before = everything(db);
            db.failWrite(c.kind, nth);
            long long target = c.target;
            const long long result = ApplyChange(db, kPublic, c.code, target, c.body, 0, "", 1700000000);
            if (db.writes(c.kind) < nth) {
                EXPECT_NE(result, 0) << c.body << " with nothing failing";
                EXPECT_GT(nth, 1) << c.body << ": no write of the kind to fail";
                break;
            }
            EXPECT_EQ(result, 0) << c.body << ", write " << nth << " failing";
            if (c.code == kNewEntry) {
                EXPECT_EQ(everything(db), before) << "write " << nth << " failing";
            }
        }
    }
}
