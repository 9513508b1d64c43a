// The sync window's core over in-memory libraries: the list, the record details, the
// check-box rules, the record commands and the captions.
#include "sync/sync_list.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"

#include "support/watched_host_db.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace orv;
using library::kPublic;
namespace tables = library::tables;
using test::WatchedHostDb;
using Kind = library::MessageKind;

namespace {

class ScriptedPrompter : public library::Prompter {
public:
    explicit ScriptedPrompter(bool answer = true) : answer_(answer) {}
    void message(std::string_view text, Kind kind) override { shown.emplace_back(std::string(text), kind); }
    bool ask(std::string_view question) override {
        questions.emplace_back(question);
        return answer_;
    }
    std::vector<std::pair<std::string, Kind>> shown;
    std::vector<std::string> questions;

private:
    bool answer_;
};

struct Record {
    long long code;
    long long state;
    long long date;
    const char* user;
    const char* name;
    const char* body = "";
    long long target = 0;
};

long long addRecord(library::HostDb& db, const Record& r) {
    const long long id = db.addItemUtf(kPublic, tables::UpdateList,
                                       library::Assignments().addText("uName", r.user).add("sCommand", r.code)
                                           .addText("sName", r.name).addText("sText", r.body).add("sExecute", r.state)
                                           .add("uDate", r.date).add("tID", r.target).str());
    EXPECT_GT(id, 0);
    return id;
}

std::string stateOf(library::HostDb& db, long long lID) {
    return db.findOnly(kPublic, tables::UpdateList, "lID=" + std::to_string(lID), "sExecute", "");
}

}  // namespace

TEST(SyncListTest, PendingRecordsComeFirstNewestFirstWithTheirColumnTexts) {
    WatchedHostDb db;
    EXPECT_TRUE(sync::ReadSyncList(db).empty());
    EXPECT_EQ(sync::pendingCaption(db), "同步");

    const Record records[] = {
        {2, 2, 1234567890, "张三", "Print"},  // applied, newest of all
        {1, 0, 100, "李四", "语句"},
        {9, 0, 200, "王五", "怪"},          // unknown command
        {4, 7, 50, "赵六", "删"},           // state outside the table
        {5, 3, 0, "", "移"},
    };
    std::vector<long long> ids;
    for (const Record& r : records) ids.push_back(addRecord(db, r));

    const struct {
        long long lID;
        long long state;
        const char* command;
        const char* user;
        const char* date;
        const char* name;
        const char* stateText;
    } expected[] = {
        {ids[2], 0, "未知", "王五", "1970-01-01 08:03", "怪", "🔄未更新"},
        {ids[1], 0, "修改分类", "李四", "1970-01-01 08:01", "语句", "🔄未更新"},
        {ids[0], 2, "新增词条", "张三", "2009-02-14 07:31", "Print", "✔成功"},
        {ids[3], 7, "删除", "赵六", "1970-01-01 08:00", "删", "🚫放弃"},
        {ids[4], 3, "移动位置", "", "1970-01-01 08:00", "移", "❌失败"},
    };
    const std::vector<sync::SyncRow> rows = sync::ReadSyncList(db);
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].lID, expected[i].lID);
        EXPECT_EQ(rows[i].state, expected[i].state);
        EXPECT_EQ(rows[i].command, expected[i].command);
        EXPECT_EQ(rows[i].user, expected[i].user);
        EXPECT_EQ(rows[i].date, expected[i].date);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].stateText, expected[i].stateText);
    }
    EXPECT_EQ(sync::pendingCaption(db), "同步(2)");
}

TEST(SyncListTest, DatesReadAsChinaTime) {
    const struct {
        long long uDate;
        const char* text;
    } cases[] = {{0, "1970-01-01 08:00"}, {-28800, "1970-01-01 00:00"}, {57599, "1970-01-01 23:59"},
                 {1234567890, "2009-02-14 07:31"}, {1704038400, "2024-01-01 00:00"}};
    for (const auto& c : cases) EXPECT_EQ(sync::syncListDate(c.uDate), c.text) << c.uDate;
}

TEST(SyncListTest, MoreThan300PendingListThe300NewestButAllAreApplied) {
    WatchedHostDb db;
    ASSERT_TRUE(db.transaction(kPublic, library::TransactionStep::Begin));
    for (long long date = 1; date <= 305; ++date) addRecord(db, {9, 0, date * 60, "u", "n"});
    addRecord(db, {1, 2, 1, "u", "done"});
    ASSERT_TRUE(db.transaction(kPublic, library::TransactionStep::Commit));

    const std::vector<sync::SyncRow> rows = sync::ReadSyncList(db);
    ASSERT_EQ(rows.size(), 301u);
    EXPECT_EQ(rows.front().date, sync::syncListDate(305 * 60));
    EXPECT_EQ(rows[299].date, sync::syncListDate(6 * 60));  // the five oldest pending left out
    EXPECT_EQ(rows[300].name, "done");
    EXPECT_EQ(sync::pendingCaption(db), "同步(305)");

    ScriptedPrompter prompter;
    EXPECT_TRUE(sync::UpdatePublicLibrary(db, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].first, "更新公共库完成。共有305条更新记录，成功更新：0条记录。");
    EXPECT_EQ(db.count(kPublic, tables::UpdateList, "sExecute=3"), 305);
    EXPECT_EQ(sync::pendingCaption(db), "同步");
}

TEST(SyncListTest, DetailNamesThePlaceThePageAndTheBody) {
    WatchedHostDb db;
    for (const auto& [table, items] : std::vector<std::pair<std::string_view, std::string>>{
             {tables::Directory, "dID=5,DirName='语句',ParentDir=0,nType=10"},
             {tables::Directory, "dID=6,DirName='子',ParentDir=5,nType=10"},
             {tables::KeywordList, "kID=40,dID=6,sID=1,DisplayKeyWord='Print',nType=1"},
             {tables::KeywordList, "kID=41,dID=5,sID=2,DisplayKeyWord='TypeA',nType=5"},
             {tables::KeywordList, "kID=42,dID=41,sID=3,DisplayKeyWord='x',nType=20"}})
        ASSERT_GT(db.addItemUtf(kPublic, table, items), 0) << items;

    const std::string move =
        library::moveDescriptionText(library::kMoved, {5, 6, "", "40"});
    const std::string removal =
        library::moveDescriptionText(library::kDeleted, {5, 7, "6", ""});
    const struct {
        Record record;
        const char* text;
        const char* link;
    } cases[] = {
        {{0, 2, 1, "u", "子", "DirName='子''s'", 6},
         "新增分类，ID=6  \\语句\\子\\\r\n修改内容(sql命令)：\r\nDirName='子''s'", "r06"},
        {{1, 2, 1, "u", "语句", "", 5}, "修改分类，ID=5  \\语句\\", "r05"},
        {{3, 2, 1, "u", "Print", "", 40}, "修改词条，ID=40  \\语句\\子\\Print", "k040"},
        {{2, 0, 1, "u", "x", "", 42}, "新增词条，ID=42  \\语句\\TypeA\\x", "y042"},
        // A new entry not applied yet has no row: top level, its own page link.
        {{2, 0, 1, "u", "New", "", 99}, "新增词条，ID=99  \\New", "k099"},
        {{4, 2, 1, "u", "删", removal.c_str(), 5},
         "删除，父分类ID=5  \\语句\\\r\n修改内容(sql命令)：\r\n原分类ID=(5)目标分类ID=(7)被删分类=(6)被删词条=()", ""},
        {{5, 2, 1, "u", "移", move.c_str(), 6},
         "移动位置，目标分类ID=6  \\语句\\子\\\r\n修改内容(sql命令)：\r\n原分类ID=(5)目标分类ID=(6)被移分类=()被移词条=(40)", ""},
        {{9, 0, 1, "u", "怪", "abc", 5}, "未知\r\n修改内容(sql命令)：\r\nabc", ""},
    };
    for (const auto& c : cases) {
        const long long lID = addRecord(db, c.record);
        const sync::SyncDetail detail = sync::DescribeRecord(db, lID);
        EXPECT_TRUE(detail.found);
        EXPECT_EQ(detail.text, c.text);
        EXPECT_EQ(detail.link, c.link) << c.text;
    }
    const sync::SyncDetail gone = sync::DescribeRecord(db, 12345);
    EXPECT_FALSE(gone.found);
    EXPECT_EQ(gone.text, "");
    EXPECT_EQ(gone.link, "");
}

TEST(SyncListTest, CheckBoxRules) {
    std::vector<sync::SyncRow> rows;
    for (const long long state : {0, 2, 0, 7, 1, 4, 3}) {
        sync::SyncRow row;
        row.lID = 10 + static_cast<long long>(rows.size());
        row.state = state;
        row.stateText = std::string(library::stateText(state));
        rows.push_back(row);
    }
    const std::vector<bool> pending = sync::checkPendingRows(rows);
    EXPECT_EQ(pending, (std::vector<bool>{true, false, true, false, false, false, false}));
    EXPECT_EQ(sync::checkedRecords(rows, pending), (std::vector<long long>{10, 12}));
    EXPECT_EQ(sync::checkAllRows(rows), std::vector<bool>(7, true));
    EXPECT_EQ(sync::uncheckAllRows(rows), std::vector<bool>(7, false));

    const struct {
        std::vector<bool> checks;
        bool enabled;
    } cases[] = {{{}, false}, {{false, false}, false}, {{false, true}, true}, {{true}, true}};
    for (const auto& c : cases) EXPECT_EQ(sync::recordCommandsEnabled(c.checks), c.enabled);
    EXPECT_TRUE(sync::recordCommandsEnabled(sync::checkAllRows(rows)));
    EXPECT_FALSE(sync::recordCommandsEnabled(sync::uncheckAllRows(rows)));
    EXPECT_FALSE(sync::recordCommandsEnabled(sync::checkPendingRows({rows[1], rows[3]})));
    EXPECT_TRUE(sync::checkedRecords(rows, sync::uncheckAllRows(rows)).empty());
}

TEST(SyncListTest, RecordCommandsAskThenReport) {
    using sync::RecordCommand;
    const struct {
        RecordCommand command;
        bool choose;  // records 1 and 3 chosen
        bool answer;
        const char* question;    // "" when none is asked
        const char* message;
        Kind kind;
        const char* states;      // of records 1..3 afterwards, "-" for a deleted one
    } cases[] = {
        {RecordCommand::Delete, false, true, "", "没有选择任何记录，因此没有任何记录被删除。", Kind::Information, "024"},
        {RecordCommand::Abandon, false, true, "", "没有选择任何记录，因此没有任何记录被修改。", Kind::Information,
         "024"},
        {RecordCommand::SetPending, false, true, "", "没有选择任何记录，因此没有任何记录被修改。",
         Kind::Information, "024"},
        {RecordCommand::Delete, true, false, "将要删除全部已经选择的记录吗？", "", Kind::Information, "024"},
        {RecordCommand::Delete, true, true, "将要删除全部已经选择的记录吗？", "删除记录完成。被删除：2 条记录。",
         Kind::Information, "-2-"},
        {RecordCommand::Abandon, true, true, "将要把已经选择的记录修改为【放弃】状态吗？",
         "更改记录完成。被更改：2 条记录。", Kind::Information, "424"},
        {RecordCommand::SetPending, true, false, "将要把已经选择的记录修改为【未更新】状态吗？", "",
         Kind::Information, "024"},
        {RecordCommand::SetPending, true, true, "将要把已经选择的记录修改为【未更新】状态吗？",
         "更改记录完成。被更改：2 条记录。", Kind::Information, "020"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question + std::string("|") + c.message);
        WatchedHostDb db;
        ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, "dID=5,DirName='A'"), 0);
        const long long first = addRecord(db, {1, 0, 1, "u", "a", "DirName='B'", 5});
        addRecord(db, {1, 2, 2, "u", "b"});
        const long long third = addRecord(db, {1, 4, 3, "u", "c"});
        const std::vector<long long> chosen = c.choose ? std::vector<long long>{first, third} : std::vector<long long>{};

        ScriptedPrompter prompter(c.answer);
        const sync::RecordCommandResult result = sync::RunRecordCommand(db, prompter, c.command, chosen);
        EXPECT_EQ(prompter.questions,
                  *c.question ? std::vector<std::string>{c.question} : std::vector<std::string>{});
        if (*c.message) {
            ASSERT_EQ(prompter.shown.size(), 1u);
            EXPECT_EQ(prompter.shown[0].first, c.message);
            EXPECT_EQ(prompter.shown[0].second, c.kind);
        } else {
            EXPECT_TRUE(prompter.shown.empty());
        }
        const bool wrote = c.choose && c.answer;
        EXPECT_EQ(result.wrote, wrote);
        EXPECT_EQ(result.changed, wrote ? 2 : 0);
        std::string states;
        for (long long id = 1; id <= 3; ++id) {
            const std::string s = stateOf(db, id);
            states += s.empty() ? "-" : s;
        }
        EXPECT_EQ(states, c.states);
        // Only the log changes, never the library.
        EXPECT_EQ(db.findOnly(kPublic, tables::Directory, "dID=5", "DirName", ""), "A");
    }
}

TEST(SyncListTest, AFailedWriteIsReportedAndNotCounted) {
    const struct {
        sync::RecordCommand command;
        WatchedHostDb::Write kind;
    } cases[] = {{sync::RecordCommand::Delete, WatchedHostDb::Write::Delete},
                 {sync::RecordCommand::Abandon, WatchedHostDb::Write::Update},
                 {sync::RecordCommand::SetPending, WatchedHostDb::Write::Update}};
    for (const auto& c : cases) {
        WatchedHostDb db;
        const long long id = addRecord(db, {1, 3, 1, "u", "a"});
        db.failWrite(c.kind, 1);
        ScriptedPrompter prompter;
        const sync::RecordCommandResult result = sync::RunRecordCommand(db, prompter, c.command, {id});
        EXPECT_FALSE(result.wrote);
        EXPECT_EQ(result.changed, 0);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].first.rfind(library::failedWriteMessage(""), 0), 0u) << prompter.shown[0].first;
        EXPECT_EQ(prompter.shown[0].second, Kind::Error);
        EXPECT_EQ(stateOf(db, id), "3");
    }
}

TEST(SyncListTest, UpdatingThePublicLibraryReportsSuccessesOnly) {
    WatchedHostDb db;
    ScriptedPrompter none;
    EXPECT_FALSE(sync::UpdatePublicLibrary(db, none));
    ASSERT_EQ(none.shown.size(), 1u);
    EXPECT_EQ(none.shown[0].first, "没有【未更新】状态的记录");
    EXPECT_EQ(none.shown[0].second, Kind::Error);

    ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, "dID=5,DirName='A'"), 0);
    const long long good = addRecord(db, {1, 0, 1, "u", "B", "DirName='B'", 5});
    const long long unknown = addRecord(db, {9, 0, 2, "u", "X", "DirName='X'", 5});
    const long long abandoned = addRecord(db, {1, 4, 3, "u", "C", "DirName='C'", 5});
    ScriptedPrompter prompter;
    EXPECT_TRUE(sync::UpdatePublicLibrary(db, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].first, "更新公共库完成。共有2条更新记录，成功更新：1条记录。");
    EXPECT_EQ(prompter.shown[0].second, Kind::Information);
    EXPECT_EQ(stateOf(db, good), "2");
    EXPECT_EQ(stateOf(db, unknown), "3");
    EXPECT_EQ(stateOf(db, abandoned), "4");
    EXPECT_EQ(db.findOnly(kPublic, tables::Directory, "dID=5", "DirName", ""), "B");
}

TEST(SyncListTest, AStateThatCannotBeSavedAfterUpdatingIsReported) {
    WatchedHostDb db;
    ASSERT_GT(db.addItemUtf(kPublic, tables::Directory, "dID=5,DirName='A'"), 0);
    addRecord(db, {1, 0, 1, "u", "B", "DirName='B'", 5});
    db.failWrite(WatchedHostDb::Write::Update, 2);  // the record's state, after the change itself
    ScriptedPrompter prompter;
    EXPECT_TRUE(sync::UpdatePublicLibrary(db, prompter));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].first, "更新公共库完成。共有1条更新记录，成功更新：1条记录。");
    EXPECT_EQ(prompter.shown[1].first.rfind(library::failedWriteMessage(""), 0), 0u);
    EXPECT_EQ(prompter.shown[1].second, Kind::Error);
}

TEST(SyncListTest, FetchMessageAndHelpText) {
    EXPECT_EQ(sync::fetchDoneMessage(0), "同步完成，新增条更新0记录。");
    EXPECT_EQ(sync::fetchDoneMessage(12), "同步完成，新增条更新12记录。");
    EXPECT_EQ(sync::kSyncHelpText,
              "当网络上有更新，会自动把记录保存到这里，显示为：未更新\r\n点击【未更新】按钮，然后点【更新】就可以同步更新 \r\n"
              "别人更改过公共库后，需要自己审核，有选择的同步更新。 \r\n注意：上面列表最多显示 300条记录，"
              "太多记录，可以删除一些记录。 ");
}
