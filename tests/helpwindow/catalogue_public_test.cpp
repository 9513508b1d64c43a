// Delete, move and paste in the public library against the sync server stand-in over
// loopback: a refused account changes nothing, an accepted change takes the server's
// ids and date and is recorded once, a shared paste travels as a further placement that
// another library replays alike, and a write failing halfway is told.
#include "helpwindow/catalogue_fixture.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "server/running_server.h"
#include "sync/pending_changes.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

using helpwindow::kNoItem;
using library::kPublic;
using Write = WatchedHostDb::Write;
namespace tables = library::tables;

constexpr long long kServerNow = 1800000000;
// The server numbers new rows from here, far above what the library numbers itself.
constexpr long long kServerIdsAbove = 5000;

std::string r(long long id) { return "r0" + std::to_string(id); }
std::string k(long long id) { return "k0" + std::to_string(id); }
std::string n(long long id) { return std::to_string(id); }

// The public library both users start from.
struct StartingRows {
    long long bin = 0, source = 0, target = 0, print = 0, input = 0, type = 0, field = 0;

    explicit StartingRows(library::HostDb& db) {
        LibraryRows rows(db);
        rows.privateRoot();
        bin = rows.category(kPublic, 0, "[公用库回收站]", library::kCategoryRecycleBin, library::kRecycleBinSort);
        source = rows.category(kPublic, 0, "Statements");
        target = rows.category(kPublic, 0, "Graphics");
        print = rows.entry(kPublic, source, "Print", library::kEntryStatement);
        input = rows.entry(kPublic, source, "Input", library::kEntryStatement);
        type = rows.entry(kPublic, source, "Point", library::kEntryDefinedType);
        field = rows.member(kPublic, type, "x");
    }
};

class PublicCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        server.setNow(kServerNow);
        uID = server.addAccount("O'Neil", "secret", 100);
        server.addAccount("zero", "secret", 0);
        server.addAccount("locked", "secret", 100, 0, true);
        server.addAccount("two", "secret", 2);
        server.addAccount("李四", "secret-b", 100);
        for (auto kind : {server::IdKind::Category, server::IdKind::Entry, server::IdKind::Data})
            server.store().reserveIds(kind, kServerIdsAbove);
        useAccount(settings, "O'Neil", "secret");
        settings.kill = 0;
    }
    void useAccount(library::Settings& s, const std::string& name, const std::string& password) {
        s.user = name;
        s.password = sync::PasswordDigest(password);
        s.server = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    }
    std::string value(std::string_view table, const std::string& where, std::string_view field) {
        return db.findOnly(kPublic, table, where, field, "");
    }
    long long count(std::string_view table, const std::string& where) { return db.count(kPublic, table, where); }

    RunningServer server;
    long long uID = 0;
    WatchedHostDb db;
    StartingRows start{db};
    library::Settings settings;
    CatalogueRig rig{db, settings};
};

TEST_F(PublicCatalogue, ARefusedAccountStopsEveryCommandBeforeAnyRowChanges) {
    const std::string lockedMessage =
        "你的帐号已经加了【安全锁】，无法使用软件。\r\n你可以联系澄岭为你解锁后才可以使用。";
    const struct {
        const char* account;
        const char* command;
        std::vector<std::string> said;
    } cases[] = {
        {"zero", "delete", {"你的公共库修改次数不足，请24小后再修改。"}},
        {"zero", "move", {"你的公共库修改次数不足，请24小后再修改。"}},
        // The paste asks for the allowance first; none left ends it without a word.
        {"zero", "paste", {}},
        {"locked", "delete", {lockedMessage}},
        {"locked", "move", {lockedMessage}},
        {"locked", "paste", {lockedMessage}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.account) + " " + c.command);
        useAccount(settings, c.account, "secret");
        const std::string before = snapshot(db);
        rig.prompter.said.clear();
        const std::string_view command = c.command;
        if (command == "delete") {
            rig.select({k(start.print)});
            rig.catalogue.DeleteSelection();
        } else if (command == "move") {
            rig.select({k(start.print)});
            rig.catalogue.MoveSelection(start.target);
        } else {
            rig.select({r(start.source)});
            rig.catalogue.CopySelection();
            rig.select({r(start.target)});
            rig.catalogue.PasteCopied(false);
        }
        EXPECT_EQ(rig.prompter.said, c.said);
        EXPECT_EQ(snapshot(db), before);
        if (command != "paste") {
            EXPECT_NE(rig.shown(k(start.print)), kNoItem) << "the node stays where it was";
        }
    }
}

TEST_F(PublicCatalogue, APasteLargerThanTheAllowanceIsRefusedWithTheCounts) {
    useAccount(settings, "two", "secret");
    const std::string before = snapshot(db);
    rig.select({r(start.source)});
    rig.catalogue.CopySelection();
    rig.select({r(start.target)});
    rig.catalogue.PasteCopied(false);
    // The category, its three entries and the one member of Point.
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"你的账号权限不够修改本次操作！\r\n本次操作产生：5条更新记录\r\n"
                                                          "你的账号可用：2条"});
    EXPECT_EQ(snapshot(db), before);
    EXPECT_EQ(rig.progress.opened, rig.progress.closed);
}

TEST_F(PublicCatalogue, AcceptedChangesTakeTheServersIdsAndDateAndAreRecordedOnceEach) {
    rig.select({k(start.print)});
    rig.catalogue.DeleteSelection();
    EXPECT_EQ(value(tables::KeywordList, "kID=" + n(start.print), "dID"), n(start.bin));
    ASSERT_EQ(count(tables::UpdateList, ""), 1);
    EXPECT_EQ(count(tables::UpdateList, "sCommand=4 And tID=" + n(start.source) + " And sName='Print' And uName='O''Neil'"),
              1);
    const long long deleteDate = library::toInt(value(tables::UpdateList, "sCommand=4", "uDate"));
    EXPECT_GE(deleteDate, kServerNow);
    // The account is known by the server's id.
    EXPECT_EQ(value(tables::User, "uName='O''Neil'", "uID"), n(uID));

    rig.select({k(start.input)});
    rig.catalogue.MoveSelection(start.target);
    EXPECT_EQ(value(tables::KeywordList, "kID=" + n(start.input), "dID"), n(start.target));
    EXPECT_EQ(count(tables::UpdateList, "sCommand=5 And tID=" + n(start.target) + " And uDate>" + n(deleteDate)), 1);

    // What is left of Statements: Point and its member.
    rig.select({r(start.source)});
    rig.catalogue.CopySelection();
    rig.select({r(start.target)});
    rig.catalogue.PasteCopied(false);
    EXPECT_TRUE(rig.prompter.said.empty());
    const long long copy = library::toInt(value(tables::Directory, "ParentDir=" + n(start.target), "dID"));
    EXPECT_GT(copy, kServerIdsAbove);
    EXPECT_EQ(count(tables::UpdateList, "sCommand=0 And tID=" + n(copy) + " And sName='Statements'"), 1);
    const long long point = library::toInt(value(tables::KeywordList, "dID=" + n(copy), "kID"));
    const long long member = library::toInt(value(tables::KeywordList, "dID=" + n(point), "kID"));
    for (long long made : {point, member}) {
        SCOPED_TRACE(made);
        EXPECT_GT(made, kServerIdsAbove);
        const std::string sID = value(tables::KeywordList, "kID=" + n(made), "sID");
        EXPECT_GT(library::toInt(sID), kServerIdsAbove);
        EXPECT_EQ(count(tables::UpdateList, "sCommand=2 And tID=" + n(made)), 1);
        // The record names the data row the server gave, so that a replay makes the same row.
        const std::string body = value(tables::UpdateList, "sCommand=2 And tID=" + n(made), "sText");
        EXPECT_NE(body.find(",sID=" + sID), std::string::npos) << body;
    }
    EXPECT_EQ(count(tables::UpdateList, ""), 5);
    EXPECT_EQ(count(tables::UpdateList, "sExecute=2"), 5);
    EXPECT_EQ(count(tables::User, ""), 1);
}

TEST_F(PublicCatalogue, ASharedPasteTravelsAsAFurtherPlacementAndReplaysAsOne) {
    rig.select({k(start.print)});
    rig.catalogue.CopySelection();
    rig.select({r(start.target)});
    const TableCounts before = countsOf(db, kPublic);
    rig.catalogue.PasteCopied(true);
    EXPECT_TRUE(rig.prompter.said.empty());

    const std::string printTexts = value(tables::KeywordList, "kID=" + n(start.print), "sID");
    EXPECT_EQ(count(tables::KeywordList, "dID=" + n(start.target) + " And sID=" + printTexts), 1);
    EXPECT_EQ(value(tables::KeywordList, "kID=" + n(start.print), "dID"), n(start.source)) << "the source stays";
    EXPECT_EQ(countsOf(db, kPublic).data, before.data);
    ASSERT_EQ(count(tables::UpdateList, ""), 1);
    EXPECT_EQ(count(tables::UpdateList, "sCommand=3 And tID=" + n(start.print) + " And sName='Print' And sText='dID2=0|" +
                                            n(start.target) + "'"),
              1);

    // The written record, carried out on another copy of the library, does the same.
    library::Row record;
    ASSERT_TRUE(db.findOne(kPublic, tables::UpdateList, "", record, "sCommand,tID,sText,uDate", ""));
    WatchedHostDb other;
    StartingRows same(other);
    const TableCounts otherBefore = countsOf(other, kPublic);
    long long target = library::cellNumber(record, 1);
    EXPECT_EQ(library::ApplyChange(other, kPublic, library::cellNumber(record, 0), target, library::cellText(record, 2),
                                   0, "", library::cellNumber(record, 3)),
              1);
    EXPECT_EQ(other.count(kPublic, tables::KeywordList, "dID=" + n(same.target) + " And sID=" + printTexts), 1);
    EXPECT_EQ(other.findOnly(kPublic, tables::KeywordList, "kID=" + n(same.print), "dID", ""), n(same.source));
    EXPECT_EQ(countsOf(other, kPublic).data, otherBefore.data);
    EXPECT_EQ(countsOf(other, kPublic).list, otherBefore.list + 1);

    // And so does the change the server relays to another user.
    WatchedHostDb third;
    StartingRows alike(third);
    library::Settings b;
    useAccount(b, "李四", "secret-b");
    CatalogueRig user(third, b);
    ASSERT_EQ(sync::CheckForUpdates(user.session, third).added, 1);
    EXPECT_EQ(sync::ApplyPendingChanges(third).applied, 1);
    EXPECT_EQ(third.count(kPublic, tables::KeywordList, "dID=" + n(alike.target) + " And sID=" + printTexts), 1);
    EXPECT_EQ(countsOf(third, kPublic).data, otherBefore.data);
}

TEST_F(PublicCatalogue, AWriteFailingHalfwayEndsThePasteAndOnlyWhatLandedIsRecorded) {
    rig.select({r(start.source)});
    rig.catalogue.CopySelection();
    rig.select({r(start.target)});
    // The category: the account's row (add 1), the row (2), its record (3); Print: its
    // texts (4), its row (5), its record (6); Input's texts (7) fail.
    db.failWrite(Write::Add, 7);
    rig.catalogue.PasteCopied(false);
    EXPECT_EQ(rig.prompter.said, std::vector<std::string>{"复制词条出错，写入公库的数据库失败"});
    const std::string copy = value(tables::Directory, "ParentDir=" + n(start.target), "dID");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(count(tables::KeywordList, "dID=" + copy), 1);
    EXPECT_EQ(count(tables::UpdateList, ""), 2);
    EXPECT_EQ(count(tables::UpdateList, "sName='Input'"), 0);
    EXPECT_EQ(count(tables::KeywordData, "KeyWord='Input'"), 1) << "no texts left behind by the failed entry";
}

}  // namespace
}  // namespace orv::test
