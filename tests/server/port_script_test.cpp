// The sync server over loopback HTTP: accounts, submissions with their ids and allowance,
// the relay of changes, and the refusal of malformed requests.
#include "running_server.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/fragment_check.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sync/server_reply.h"
#include "sync/wire_packing.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

namespace orv::test {
namespace {

using Fields = std::vector<std::string>;

const std::string kPassword = "secret";
constexpr long long kDay = 24 * 60 * 60;

std::string moveBody(const char* kind, int source, int target, const char* categories, const char* entries) {
    return std::string("原分类ID=(") + std::to_string(source) + ")目标分类ID=(" + std::to_string(target) + ")" + kind +
           "分类=(" + categories + ")" + kind + "词条=(" + entries + ")";
}

// An UpdateList assignment list read back into column -> value (text values unquoted).
std::map<std::string, std::string> columnsOf(const std::string& record) {
    std::map<std::string, std::string> out;
    for (std::string_view item : library::splitOutsideQuotes(record)) {
        library::Assignment a;
        if (!library::splitAssignment(item, a)) continue;
        std::string value(a.value);
        if (library::isQuotedText(value)) value = library::undoubleApostrophes(value.substr(1, value.size() - 2));
        out[std::string(a.column)] = value;
    }
    return out;
}

TEST(ServerAccountTest, RepliesAsTheClientReadsThem) {
    RunningServer server;
    server.addAccount("alice", kPassword, 3);
    server.addAccount("carol", kPassword, std::nullopt, 20);  // allowance by points
    server.addAccount("澄岭", kPassword, 1);
    server.addAccount("bob", kPassword, 3, 0, true);
    struct Case {
        const char* name;
        const char* password;
        Fields good;             // points, remaining, allowed
        const char* errorWord;   // when not good
    };
    const Case cases[] = {
        {"alice", "secret", {"0", "3", "3"}, nullptr},
        {"carol", "secret", {"20", "3", "3"}, nullptr},
        {"澄岭", "secret", {"0", "1", "1"}, nullptr},
        {"alice", "Secret", {}, "密码错误1"},
        {"nobody", "secret", {}, "会员不存在"},
        {"bob", "secret", {}, "被锁用户"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.password);
        const std::string reply = server.testAccount(c.name, c.password);
        if (c.errorWord) {
            EXPECT_EQ(reply, c.errorWord);
            EXPECT_NE(sync::serverReplyMessage(reply), "");
        } else {
            EXPECT_EQ(sync::serverReplyMessage(reply), "");
            EXPECT_EQ(replyFields(reply), c.good);
        }
    }
}

TEST(ServerAccountTest, WrongPasswordsCountUpUntilTheAccountFreezes) {
    RunningServer server;
    server.addAccount("alice", kPassword, 3);
    EXPECT_EQ(server.testAccount("alice", "x"), "密码错误1");
    EXPECT_EQ(server.testAccount("alice", "x"), "密码错误2");
    // A good password ends the run of mistakes.
    EXPECT_EQ(replyFields(server.testAccount("alice", kPassword)).size(), 3u);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(server.testAccount("alice", "x"), "密码错误" + std::to_string(i));
    EXPECT_EQ(server.testAccount("alice", kPassword), "密码超5次");
    // Frozen accounts cannot submit either.
    EXPECT_EQ(server.submit("alice", kPassword, 0, 0, "c", "DirName='c'"), "密码超5次");
    ASSERT_TRUE(server.store().setLocked("alice", false));
    EXPECT_EQ(replyFields(server.testAccount("alice", kPassword)).size(), 3u);
}

TEST(ServerSubmitTest, AssignsIdsAboveEveryIdSeen) {
    RunningServer server;
    const long long uID = server.addAccount("alice", kPassword, 100);
    for (server::IdKind kind : {server::IdKind::Category, server::IdKind::Entry, server::IdKind::Data})
        server.store().reserveIds(kind, 500);
    server.setNow(7000);
    struct Case {
        int code;
        long long target;
        std::string body;
        const char* id;  // "*" for a change number
        const char* sID;
    };
    const Case cases[] = {
        {0, 0, "DirName='a',ParentDir=0", "501", "0"},
        {0, 0, "DirName='b',ParentDir=501", "502", "0"},
        {2, 0, "KeyWord='k',dID=501", "501", "501"},
        // Data named by the body (an entry placed again) keeps its sID.
        {2, 0, "KeyWord='k',dID=502,sID=501", "502", "501"},
        {1, 900, "DirName='renamed'", "*", "0"},
        {0, 0, "DirName='c',ParentDir=0", "901", "0"},  // above the 900 just seen
        {5, 950, moveBody("被移", 901, 950, "", "502"), "*", "0"},
        {0, 0, "DirName='d',ParentDir=0", "951", "0"},
        {3, 501, "Syntax='s'", "503", "502"},
    };
    long long lastNumber = 0;
    long long lastDate = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const Fields fields = replyFields(server.submit("alice", kPassword, c.code, c.target, "n", c.body));
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_EQ(fields[0], std::to_string(uID));
        if (std::string(c.id) == "*") {
            EXPECT_GT(library::toInt(fields[1]), lastNumber);
            lastNumber = library::toInt(fields[1]);
        } else {
            EXPECT_EQ(fields[1], c.id);
        }
        // All within one second, yet each change has a date of its own.
        const long long date = library::toInt(fields[2]);
        EXPECT_GE(date, 7000);
        EXPECT_GT(date, lastDate);
        lastDate = date;
        EXPECT_EQ(fields[3], c.sID);
    }
}

TEST(ServerSubmitTest, ChangesInOneSecondAllReachTheOthers) {
    RunningServer server;
    server.addAccount("alice", kPassword, 5);
    server.addAccount("bob", kPassword, 5);
    server.setNow(5000);
    const Fields first = replyFields(server.submit("alice", kPassword, 0, 0, "a", "DirName='a'"));
    const Fields second = replyFields(server.submit("bob", kPassword, 0, 0, "b", "DirName='b'"));
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(second.size(), 4u);
    // Alice holds her own record; what is newer than it must still bring Bob's.
    const std::vector<std::string> fetched = fetchedRecords(server.fetch(library::toInt(first[2])));
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_EQ(columnsOf(fetched[0]).at("uDate"), second[2]);
    EXPECT_EQ(columnsOf(fetched[0]).at("uName"), "bob");
}

TEST(ServerSubmitTest, AllowanceCountsDownAndComesBackAfterADay) {
    RunningServer server;
    server.addAccount("alice", kPassword, 2);
    server.setNow(10000);
    const auto remaining = [&] { return replyFields(server.testAccount("alice", kPassword)).at(1); };
    EXPECT_EQ(remaining(), "2");
    EXPECT_EQ(replyFields(server.submit("alice", kPassword, 0, 0, "a", "DirName='a'")).size(), 4u);
    EXPECT_EQ(remaining(), "1");
    server.setNow(10000 + kDay - 1);
    EXPECT_EQ(replyFields(server.submit("alice", kPassword, 0, 0, "b", "DirName='b'")).size(), 4u);
    EXPECT_EQ(remaining(), "0");
    const std::string refused = server.submit("alice", kPassword, 0, 0, "c", "DirName='c'");
    EXPECT_EQ(refused, "次数不足");
    EXPECT_EQ(sync::serverReplyMessage(refused), "你的公共库修改次数不足，请24小后再修改。");
    EXPECT_EQ(fetchedRecords(server.fetch(0)).size(), 2u);  // the refused change is not kept
    server.setNow(10000 + kDay);  // the first change has left the window
    EXPECT_EQ(remaining(), "1");
    EXPECT_EQ(replyFields(server.submit("alice", kPassword, 0, 0, "c", "DirName='c'")).size(), 4u);
    // Each accepted change earns a point.
    EXPECT_EQ(replyFields(server.testAccount("alice", kPassword)).at(0), "3");
}

TEST(ServerSubmitTest, WrongAccountsAreRefusedBeforeAnythingIsKept) {
    RunningServer server;
    server.addAccount("alice", kPassword, 5);
    server.addAccount("bob", kPassword, 5, 0, true);
    EXPECT_EQ(server.submit("alice", "x", 0, 0, "a", "DirName='a'"), "密码错误1");
    EXPECT_EQ(server.submit("nobody", kPassword, 0, 0, "a", "DirName='a'"), "会员不存在");
    EXPECT_EQ(server.submit("bob", kPassword, 0, 0, "a", "DirName='a'"), "被锁用户");
    EXPECT_TRUE(fetchedRecords(server.fetch(0)).empty());
    EXPECT_EQ(replyFields(server.submit("alice", kPassword, 0, 0, "a", "DirName='a'")).at(1), "1");
}

class ServerFetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        alice_ = server_.addAccount("alice", kPassword, 10);
        bob_ = server_.addAccount("bob", kPassword, 10);
        submitAt(1000, "alice", 2, 0, "a b", "KeyWord='it''s',Syntax='x, y',dID=5");
        submitAt(2000, "bob", 1, 5, "cat", "DirName='renamed'");
        submitAt(3000, "alice", 4, 5, "bin", moveBody("被删", 5, 9, "", "1"));
    }
    void submitAt(long long date, const std::string& who, int code, long long target, const std::string& name,
                  const std::string& body) {
        server_.setNow(date);
        ASSERT_EQ(replyFields(server_.submit(who, kPassword, code, target, name, body)).size(), 4u);
    }

    RunningServer server_;
    long long alice_ = 0;
    long long bob_ = 0;
};

TEST_F(ServerFetchTest, RelaysChangesNewerThanTheDateAsPendingRecords) {
    const std::string reply = server_.fetch(0);
    EXPECT_EQ(sync::serverReplyMessage(reply), "");
    const std::vector<std::string> records = fetchedRecords(reply);
    ASSERT_EQ(records.size(), 3u);
    const library::ColumnSet updateList = library::ColumnSet().add(library::kUpdateListColumns);
    for (const std::string& r : records) {
        SCOPED_TRACE(r);
        EXPECT_EQ(r.substr(0, 4), "uID=");
        std::string why;
        EXPECT_TRUE(library::checkAssignments(r, updateList, &why)) << why;
        EXPECT_EQ(columnsOf(r).at("sExecute"), "0");
    }
    const std::string a = std::to_string(alice_);
    // The new entry is relayed under the kID it was given, with its sID, so that every
    // copy numbers it alike.
    EXPECT_EQ(records[0], "uID=" + a +
                              ",uName='alice',sCommand=2,sName='a b',"
                              "sText='KeyWord=''it''''s'',Syntax=''x, y'',dID=5,sID=1',"
                              "sExecute=0,uDate=1000,tID=1");
    EXPECT_EQ(columnsOf(records[1]).at("uName"), "bob");
    EXPECT_EQ(columnsOf(records[1]).at("tID"), "5");
    EXPECT_EQ(columnsOf(records[2]).at("sText"), moveBody("被删", 5, 9, "", "1"));
    EXPECT_EQ(columnsOf(records[2]).at("tID"), "5");
}

TEST_F(ServerFetchTest, ChoosesByDateAndLeavesTheAskersOwnOut) {
    struct Case {
        long long after;
        const char* except;
        std::vector<long long> dates;
    };
    const Case cases[] = {
        {0, "", {1000, 2000, 3000}}, {1000, "", {2000, 3000}}, {2999, "", {3000}},
        {3000, "", {}},              {0, "alice", {2000}},     {0, "bob", {1000, 3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.after) + "/" + c.except);
        const std::string reply = server_.fetch(c.after, c.except);
        EXPECT_EQ(sync::serverReplyMessage(reply), "");  // an empty relay is still a good reply
        std::vector<long long> dates;
        for (const std::string& r : fetchedRecords(reply)) dates.push_back(library::toInt(columnsOf(r).at("uDate")));
        EXPECT_EQ(dates, c.dates);
    }
}

TEST_F(ServerFetchTest, RelayedNewEntryReplaysWithTheServersIds) {
    const std::map<std::string, std::string> record = columnsOf(fetchedRecords(server_.fetch(0, "bob")).at(0));
    library::SqliteHostDb db;
    std::string error;
    ASSERT_TRUE(db.openInMemory(library::kPublic, library::kPublic, error)) << error;
    long long target = library::toInt(record.at("tID"));
    const long long kID = library::ApplyChange(db, library::kPublic, library::toInt(record.at("sCommand")), target,
                                               record.at("sText"), library::toInt(record.at("uID")),
                                               record.at("uName"), library::toInt(record.at("uDate")));
    EXPECT_EQ(kID, 1);
    EXPECT_EQ(db.findOnly(library::kPublic, library::tables::KeywordList, "kID=1", "sID", ""), "1");
    EXPECT_EQ(db.findOnly(library::kPublic, library::tables::KeywordData, "sID=1", "Syntax", ""), "x, y");
}

TEST_F(ServerFetchTest, PaddingArrivesWhetherEscapedOrNot) {
    // "0.5,0" packs with "=" padding, which a form decoder would drop.
    const std::string packed = sync::ScrambleText("0.5,0");
    ASSERT_EQ(packed.back(), '=');
    std::string escaped = packed;
    escaped.replace(escaped.find('='), std::string::npos, "%3D");
    for (const std::string& a : {packed, escaped})
        EXPECT_EQ(fetchedRecords(server_.get("/port.php?c=orvget&a=" + a)).size(), 3u) << a;
}

// Each of these is refused with the malformed-data word, and nothing of it is kept.
TEST(ServerMalformedTest, SubmissionsAreRefusedWholeAndChangeNothing) {
    RunningServer server;
    const long long uID = server.addAccount("alice", kPassword, 3);
    const std::string digest = sync::PasswordDigest(kPassword);
    const std::string head = "alice," + digest + ",";
    const auto packed = [](const std::string& body) { return sync::ScrambleText(body); };
    struct Case {
        const char* why;
        std::string request;  // unpacked; packed whole before sending unless raw
        bool raw = false;
    };
    std::string altered = packed(head + "0,0,a," + packed("DirName='a'"));
    altered[0] = altered[0] == '0' ? '1' : '0';
    const Case cases[] = {
        {"not packed", "hello", true},
        {"check characters altered", altered, true},
        {"empty body", "", true},
        {"five fields", head + "0,0," + packed("DirName='a'")},
        {"seven fields", head + "0,0,a,b," + packed("DirName='a'")},
        {"a comma in the account name", "al,ice," + digest + ",0,0,a," + packed("DirName='a'")},
        {"digest not hexadecimal", "alice," + std::string(32, 'x') + ",0,0,a," + packed("DirName='a'")},
        {"no account name", "," + digest + ",0,0,a," + packed("DirName='a'")},
        {"record name not UTF-8", head + "0,0,\xff\xfe," + packed("DirName='a'")},
        {"body not UTF-8", head + "0,0,a," + packed("DirName='\xc3'")},
        {"code out of range", head + "6,0,a," + packed("DirName='a'")},
        {"code not a number", head + "x,0,a," + packed("DirName='a'")},
        {"negative target", head + "1,-3,a," + packed("DirName='a'")},
        {"new category with a target", head + "0,9,a," + packed("DirName='a'")},
        {"change without its id", head + "3,0,a," + packed("Syntax='a'")},
        {"body packing broken", head + "0,0,a,abcd1YWJj"},
        {"empty change body", head + "0,0,a,"},
        {"unknown column", head + "0,0,a," + packed("DirName='a',Evil=1")},
        {"subquery in a value", head + "1,4,a," + packed("DirName=(SELECT uName FROM User)")},
        {"second statement", head + "1,4,a," + packed("DirName='a';DELETE FROM Directory")},
        {"quote left open", head + "2,0,a," + packed("KeyWord='a,dID=5")},
        {"names its own id", head + "0,0,a," + packed("DirName='a',dID=3")},
        {"stamps its own author", head + "3,4,a," + packed("Syntax='a',uID=1")},
        {"sID that is not an id", head + "2,0,a," + packed("KeyWord='a',sID=-2")},
        {"placement value quoted", head + "3,4,a," + packed("dID2='0|5'")},
        {"move ids not numbers", head + "5,7,a," + packed(moveBody("被移", 5, 7, "x", ""))},
        {"move onto itself", head + "5,5,a," + packed(moveBody("被移", 5, 5, "3", ""))},
        {"move target differs", head + "5,8,a," + packed(moveBody("被移", 5, 7, "3", ""))},
        {"delete with move markers", head + "4,5,a," + packed(moveBody("被移", 5, 7, "3", ""))},
        {"move description as a category", head + "1,5,a," + packed(moveBody("被移", 5, 7, "3", ""))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string reply = server.post("/port.php?c=orvxg", c.raw ? c.request : packed(c.request));
        EXPECT_EQ(reply, "非法数据");
        EXPECT_EQ(sync::serverReplyMessage(reply), "联网数据异常，被服务器拒绝访问！！！\r\n服务器接受到软件发送的数据校对错误。");
    }
    EXPECT_TRUE(fetchedRecords(server.fetch(0)).empty());
    EXPECT_EQ(replyFields(server.testAccount("alice", kPassword)), (Fields{"0", "3", "3"}));
    // No id was spent on a refused change.
    EXPECT_EQ(replyFields(server.submit("alice", kPassword, 0, 0, "a", "DirName='a'")),
              (Fields{std::to_string(uID), "1", "1000000", "0"}));
}

TEST(ServerMalformedTest, RequestsOutsideTheProtocolAreRefused) {
    RunningServer server;
    server.addAccount("alice", kPassword, 3);
    const std::string account = sync::ScrambleText("alice," + sync::PasswordDigest(kPassword));
    struct Case {
        const char* why;
        bool post;
        std::string target;
        std::string body;
        const char* reply;
    };
    const Case cases[] = {
        {"submission by GET", false, "/port.php?c=orvxg&a=" + account, "", "非法数据"},
        {"account test by POST", true, "/port.php?c=orvut", account, "非法数据"},
        {"unknown request", false, "/port.php?c=orvdel&a=" + account, "", "非法数据"},
        {"no request named", false, "/port.php?a=" + account, "", "非法数据"},
        {"account test without account", false, "/port.php?c=orvut", "", "非法数据"},
        {"account test with three fields", false,
         "/port.php?c=orvut&a=" + sync::ScrambleText("alice," + sync::PasswordDigest(kPassword) + ",x"), "",
         "非法数据"},
        {"fetch with one field", false, "/port.php?c=orvget&a=" + sync::ScrambleText("0.5"), "", "非法数据"},
        {"fetch with a date in words", false, "/port.php?c=orvget&a=" + sync::ScrambleText("0.5,today"), "",
         "非法数据"},
        {"fetch for an unknown account", false, "/port.php?c=orvget&a=" + sync::ScrambleText("0.5,0,nobody"), "",
         "会员不存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.post ? server.post(c.target, c.body) : server.get(c.target), c.reply);
    }
}

TEST(ServerStoreFailureTest, RepliesWithTheStoreWordAndKeepsNothing) {
    RunningServer server;
    server.addAccount("alice", kPassword, 3);
    // Another hand makes the state file refuse to keep changes under the running server,
    // after the ids of the change have been drawn.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(server.stateFile().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER Full BEFORE INSERT ON ChangeLog BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(server.submit("alice", kPassword, 0, 0, "a", "DirName='a'"), "公库出错");
    EXPECT_EQ(sync::serverReplyMessage("公库出错"), "网络数据库异常，请联系澄岭。");
    EXPECT_EQ(server.store().nextId(server::IdKind::Category), 1);  // the drawn id went back
    EXPECT_EQ(replyFields(server.testAccount("alice", kPassword)), (Fields{"0", "3", "3"}));
}

}  // namespace
}  // namespace orv::test
