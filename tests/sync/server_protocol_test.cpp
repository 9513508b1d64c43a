// The account test, change submission, fetch and daily check against a loopback server
// that answers as the sync server does.
#include "sync/server_protocol.h"
#include "sync/native_http_client.h"
#include "library/plain_progress.h"

#include "library/change_log.h"
#include "library/schema.h"
#include "library/settings_store.h"
#include "library/sqlite_host_db.h"
#include "protocol_server.h"
#include "support/temp_dir.h"
#include "support/watched_host_db.h"

#include <gtest/gtest.h>

#include <map>

using namespace orv;
using namespace std::chrono_literals;
using library::MessageKind;

namespace {

class RecordingPrompter : public library::Prompter {
public:
    void message(std::string_view text, MessageKind kind) override { shown.push_back({std::string(text), kind}); }
    bool ask(std::string_view) override { return false; }
    std::vector<std::pair<std::string, MessageKind>> shown;
};

class RecordingProgress : public library::PlainProgress {
public:
    void OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) override {
        opened.emplace_back(text);
        PlainProgress::OpenProgress(text, minimum, maximum, cycling);
    }
    void CloseProgress() override { ++closed; }
    bool stopInWait = false;
    std::vector<std::string> opened;
    int closed = 0;
};

// Libraries in memory, with every add and transaction step on the way noted.
using WatchedDb = orv::test::WatchedHostDb;

class InMemoryStore : public library::SettingsStore {
public:
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
        const auto it = keys.find(std::string(section) + "/" + std::string(key));
        return it == keys.end() ? std::string(fallback) : it->second;
    }
    bool write(std::string_view section, std::string_view key, std::string_view value, std::string&) override {
        keys[std::string(section) + "/" + std::string(key)] = std::string(value);
        return true;
    }
    const std::string& path() const override { return path_; }
    std::map<std::string, std::string> keys;

private:
    std::string path_ = "memory";
};

// A loopback port that had a server a moment ago: nobody listens there now, 0 when none
// could be had.
int portNobodyListensOn() {
    test::LoopbackServer gone;
    return gone.start() ? gone.port() : 0;
}

// Starts `server` answering every protocol request with `payload`, after `delay`.
bool answerLate(test::LoopbackServer& server, std::chrono::milliseconds delay, std::string payload) {
    server.server.Get("/port.php", [delay, payload](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(delay);
        res.set_content(test::ProtocolServer::frame(payload), "text/html");
    });
    return server.start();
}

class Protocol : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        settings.user = "O'Neil";
        settings.password = sync::PasswordDigest("secret");
        settings.server = server.base();
    }
    sync::ServerSession session() {
        sync::ServerSession s{settings, prompter, progress, std::make_shared<sync::NativeHttpClient>(5s)};
        s.openSetup = [this] { ++setupOpened; };
        // Plays the user pressing stop while a request waits, when asked to.
        s.wait = {3000ms, 10ms, [this](std::chrono::milliseconds span) {
                      if (progress.stopInWait) progress.stop();
                      std::this_thread::sleep_for(span);
                  }};
        s.digit = [] { return 4; };
        return s;
    }

    test::ProtocolServer server;
    library::Settings settings;
    RecordingPrompter prompter;
    RecordingProgress progress;
    int setupOpened = 0;
};

}  // namespace

TEST_F(Protocol, TestLoginSendsTheAccountAndReadsTheAllowance) {
    auto s = session();
    EXPECT_EQ(sync::TestLogin(s, true), 7);
    ASSERT_EQ(server.logins.size(), 1u);
    // The name travels with its apostrophes doubled.
    EXPECT_EQ(server.logins[0], "O''Neil," + sync::PasswordDigest("secret"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].first,
              "测试登陆成功！！！\r\n你的账号积分：120\r\n可以修改公库次数为：10\r\n剩余可修改公库次数：7");
    EXPECT_EQ(prompter.shown[0].second, MessageKind::Information);
    EXPECT_EQ(progress.opened, std::vector<std::string>{"联网测试账号中..."});
    EXPECT_EQ(progress.closed, 1);

    prompter.shown.clear();
    EXPECT_EQ(sync::TestLogin(s, false), 7);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Protocol, TestLoginFailures) {
    const struct {
        const char* name;
        const char* password;  // "" for a missing one, else the password typed
        const char* fixedReply;
        const char* loginPayload;
        const char* message;   // "" when none
        int requests;
    } cases[] = {
        {"no password", "", "", "120,7,10", "还没有设置账号或密码，请打开设置里设置账号和密码。", 0},
        {"wrong password", "wrong", "", "120,7,10", "密码错误！！！\r\n已经出错次数：2\r\n连续出错10次将会冻结账号。", 1},
        {"maintenance", "secret", "服务器维护中//chengling//", "", "服务器维护中，暂时不可用，稍候再试。", 1},
        {"Error before the good sign", "secret", "//chengling//Error", "", "服务器发生故障！！请联系澄岭排错。", 1},
        {"payload that does not unpack", "secret", "//chengling//澄岭abcd1xyz澄岭", "", "", 1},
        {"too few fields", "secret", "", "120,7", "", 1},
        {"remaining is no number", "secret", "", "120,seven,10", "", 1},
    };
    for (const auto& c : cases) {
        test::ProtocolServer peer;
        peer.fixedReply = c.fixedReply;
        peer.loginPayload = c.loginPayload;
        ASSERT_TRUE(peer.start());
        settings.server = peer.base();
        settings.password = *c.password ? sync::PasswordDigest(c.password) : "";
        prompter.shown.clear();
        setupOpened = 0;
        auto s = session();
        EXPECT_EQ(sync::TestLogin(s, true), -1) << c.name;
        EXPECT_EQ(peer.requests(), c.requests) << c.name;
        if (*c.message) {
            ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
            EXPECT_EQ(prompter.shown[0].first, c.message) << c.name;
            EXPECT_EQ(prompter.shown[0].second, MessageKind::Error) << c.name;
        } else {
            EXPECT_TRUE(prompter.shown.empty()) << c.name;
        }
        // The setup window follows a refusal by the server, not a missing account.
        EXPECT_EQ(setupOpened, c.requests && *c.message ? 1 : 0) << c.name;
    }
}

TEST_F(Protocol, NoServerOrAStopEndsInTheNetworkMessage) {
    const int closedPort = portNobodyListensOn();
    ASSERT_NE(closedPort, 0);
    test::LoopbackServer slow;
    ASSERT_TRUE(answerLate(slow, 300ms, "120,7,10"));
    const struct { const char* name; std::string server; bool stop; } cases[] = {
        {"nobody listening", "http://127.0.0.1:" + std::to_string(closedPort) + "/", false},
        {"stopped by the user", slow.url(), true},
    };
    for (const auto& c : cases) {
        settings.server = c.server;
        prompter.shown.clear();
        setupOpened = 0;
        progress.stopInWait = c.stop;
        auto s = session();
        EXPECT_EQ(sync::TestLogin(s, false), -1) << c.name;
        ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
        EXPECT_EQ(prompter.shown[0].first, "网络异常，无法和澄岭的服务器通信。") << c.name;
        EXPECT_EQ(setupOpened, 1) << c.name;
    }
}

TEST_F(Protocol, SubmitChangeSendsFourFieldsAndTakesTheServersIds) {
    const std::string body = "DisplayKeyWord='a, b',Syntax='x(1,2)',nType=3";
    const std::string message = sync::changeMessage(2, 0, "Print, Using,", body);
    auto s = session();
    sync::SubmittedChange accepted;
    EXPECT_EQ(sync::SubmitChange(s, message, accepted), 501);
    EXPECT_EQ(accepted.userId, 9);
    EXPECT_EQ(accepted.id, 501);
    EXPECT_EQ(accepted.date, 1700000000);
    EXPECT_EQ(accepted.sID, 777);
    EXPECT_EQ(progress.opened, std::vector<std::string>{"同步修改服务器公共库中..."});
    EXPECT_EQ(progress.closed, 1);

    // Account, digest, then the change message: code, target, name without commas, packed body.
    ASSERT_EQ(server.changes.size(), 1u);
    const std::string prefix = "O''Neil," + sync::PasswordDigest("secret") + ",2,0,Print Using,";
    ASSERT_EQ(server.changes[0].compare(0, prefix.size(), prefix), 0) << server.changes[0];
    const std::string packed = server.changes[0].substr(prefix.size());
    EXPECT_EQ(packed.find(','), std::string::npos);
    EXPECT_EQ(sync::UnscrambleText(packed), body);
}

TEST_F(Protocol, SubmitChangeRefusesRepliesItCannotUse) {
    const struct { const char* payload; const char* fixedReply; const char* message; } cases[] = {
        {"9,501,1700000000", "", "服务器的回答无法识别，修改没有提交。"},
        {"9,501,1700000000,777,1", "", "服务器的回答无法识别，修改没有提交。"},
        {"9,501,1700000000,7 or 1=1", "", "服务器的回答无法识别，修改没有提交。"},
        {"9,x,1700000000,777", "", "服务器的回答无法识别，修改没有提交。"},
        {"", "//chengling//澄岭0000x澄岭", "服务器的回答无法识别，修改没有提交。"},
        {"", "次数不足", "你的公共库修改次数不足，请24小后再修改。"},
    };
    for (const auto& c : cases) {
        server.submitPayload = c.payload;
        server.fixedReply = c.fixedReply;
        prompter.shown.clear();
        auto s = session();
        sync::SubmittedChange accepted{1, 2, 3, 4};
        EXPECT_EQ(sync::SubmitChange(s, sync::changeMessage(1, 5, "n", "DirName='n'"), accepted), -1) << c.payload;
        EXPECT_EQ(accepted.id, 2) << "untouched on failure";
        if (*c.message) {
            ASSERT_EQ(prompter.shown.size(), 1u);
            EXPECT_EQ(prompter.shown[0].first, c.message);
        } else {
            EXPECT_TRUE(prompter.shown.empty()) << c.payload;
        }
    }
    // No sID for a change that makes no new row reads as 0.
    server.submitPayload = "9,1,1700000000,";
    server.fixedReply = "";
    auto s = session();
    sync::SubmittedChange accepted;
    EXPECT_EQ(sync::SubmitChange(s, sync::changeMessage(1, 5, "n", "DirName='n'"), accepted), 1);
    EXPECT_EQ(accepted.sID, 0);
}

TEST_F(Protocol, FetchAsksFromWhereTheLastFetchLeftOff) {
    const struct { std::vector<std::string> rows; const char* last; } cases[] = {
        {{}, "0"},
        {{"KeywordData:KeyWord='a',uDate=50", "KeywordData:KeyWord='b',uDate=70"}, "70"},
        // The newest fetched record, not the user's own newer ones: a change another user
        // made at 80 is still to come.
        {{"KeywordData:KeyWord='a',uDate=90", "UpdateList:uID=4,uDate=60,sExecute=2",
          "UpdateList:uID=4,uDate=40,sExecute=0", "UpdateList:uDate=100,sExecute=2", "UpdateList:uID=0,uDate=95"},
         "60"},
        // Nothing fetched yet: the newest entry date from before the user's first own
        // record (a save dated entry b with the server's date).
        {{"KeywordData:KeyWord='a',uDate=50", "KeywordData:KeyWord='b',uDate=100", "UpdateList:uDate=100,sExecute=2",
          "UpdateList:uDate=120,sExecute=2"},
         "50"},
    };
    for (const auto& c : cases) {
        WatchedDb db;
        for (const std::string& row : c.rows) {
            const size_t colon = row.find(':');
            ASSERT_GT(db.addItemUtf(library::kPublic, row.substr(0, colon), row.substr(colon + 1)), 0) << row;
        }
        server.fetches.clear();
        auto s = session();
        EXPECT_EQ(sync::CheckForUpdates(s, db).added, 0);
        ASSERT_EQ(server.fetches.size(), 1u);
        const std::string& sent = server.fetches[0];
        const size_t comma = sent.find(',');
        ASSERT_NE(comma, std::string::npos) << sent;
        EXPECT_EQ(sent.substr(comma + 1), c.last);
        const double fraction = std::stod(sent.substr(0, comma));
        EXPECT_TRUE(fraction >= 0 && fraction <= 1) << sent;
    }
}

TEST_F(Protocol, FetchAddsWellFormedRecordsOnlyInOneTransaction) {
    const std::string good1 = "uID=9,uName='O''Neil',sCommand=2,sName='a',sText='KeyWord=''a'',nType=1',sExecute=0,"
                              "uDate=1700000100,tID=501";
    const std::string good2 = "uID=4,uName='李四',sCommand=5,sName='m',sText='原分类ID=(5)目标分类ID=(7)被移分类=()被移词条=(40)',"
                              "sExecute=0,uDate=1700000200,tID=7";
    server.records = {
        good1,
        "uID=1,sText=(SELECT group_concat(uName) FROM User),sExecute=0",  // a subquery for a value
        "uID=1,sExecute=0;DROP TABLE KeywordData",                         // a second statement
        "uID=1,sExecute=0,Secret=1",                                        // an unknown column
        "uID=1,sName='open,sExecute=0",                                     // a quote left open
        "sCommand=2,uID=1,sExecute=0",                                      // not beginning "uID="
        good2,
        "",
    };
    WatchedDb db;
    auto s = session();
    EXPECT_EQ(sync::CheckForUpdates(s, db).added, 2);
    EXPECT_EQ(db.steps, (std::vector<std::string>{"begin", "commit"}));
    EXPECT_EQ(db.adds, (std::vector<std::string>{"UpdateList:" + good1, "UpdateList:" + good2}));
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, "sExecute=0"), 2);
    EXPECT_EQ(db.findOnly(library::kPublic, library::tables::UpdateList, "tID=501", "uName", ""), "O'Neil");
    EXPECT_EQ(db.count(library::kPublic, library::tables::KeywordData, ""), 0);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Protocol, FetchSkipsRecordsAlreadyHeld) {
    // The server relays the user's own change back, and a record fetched before may come
    // again: a change is known by its date, command and target.
    const std::string own = "uID=9,uName='O''Neil',sCommand=1,sName='n',sText='DirName=''n''',sExecute=0,"
                            "uDate=100,tID=3";
    const std::string other = "uID=4,uName='李四',sCommand=1,sName='m',sText='DirName=''m''',sExecute=0,"
                              "uDate=90,tID=3";
    server.records = {other, own};
    WatchedDb db;
    ASSERT_GT(library::writeChangeRecord(db, {3, "O'Neil", 1, "n", "DirName='n'", 100}, library::AddService::Utf8), 0);
    auto s = session();
    EXPECT_EQ(sync::CheckForUpdates(s, db).added, 1);
    EXPECT_EQ(sync::CheckForUpdates(s, db).added, 0);
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, ""), 2);
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, "sExecute=0 And uDate=90"), 1);
}

// The daily check and 检查更新 may both have asked the server before either stored what
// came: the records of each are stored on the window's thread one fetch after the other,
// and the second finds the first's.
TEST_F(Protocol, TwoFetchesOverlappingStoreEachRecordOnce) {
    const std::string a = "uID=4,uName='李四',sCommand=1,sName='m',sText='DirName=''m''',sExecute=0,uDate=90,tID=3";
    const std::string b = "uID=5,uName='王五',sCommand=1,sName='k',sText='DirName=''k''',sExecute=0,uDate=95,tID=4";
    WatchedDb db;
    auto s = session();
    server.records = {a};
    const sync::FetchedRecords daily = sync::FetchRecords(s, sync::FetchedUpTo(db));
    server.records = {a, b};
    const sync::FetchedRecords manual = sync::FetchRecords(s, sync::FetchedUpTo(db));
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, ""), 0);  // nothing stored by asking
    EXPECT_EQ(sync::StoreFetched(db, manual).added, 2);
    EXPECT_EQ(sync::StoreFetched(db, daily).added, 0);
    EXPECT_EQ(db.count(library::kPublic, library::tables::UpdateList, ""), 2);
}

TEST_F(Protocol, FetchWithoutAnythingUsableAddsNothingAndSaysWhy) {
    const struct { const char* reply; const char* problem; } cases[] = {
        {"no frame", "服务器的回答无法识别，没有取得更新记录。"},
        {"Error", "服务器发生故障！！请联系澄岭排错。"},
        {"//chengling//澄岭澄岭", ""},  // nothing new
        {"//chengling//澄岭<br><br>澄岭", ""},
    };
    for (const auto& c : cases) {
        server.fixedReply = c.reply;
        WatchedDb db;
        auto s = session();
        const sync::FetchOutcome outcome = sync::CheckForUpdates(s, db);
        EXPECT_EQ(outcome.added, 0) << c.reply;
        EXPECT_EQ(outcome.problem, c.problem) << c.reply;
        EXPECT_TRUE(db.adds.empty()) << c.reply;
        EXPECT_TRUE(db.steps.empty()) << c.reply;
    }
    EXPECT_TRUE(prompter.shown.empty()) << "a fetch shows nothing itself";
}

TEST_F(Protocol, AFetchThatReachesNoServerSaysWhy) {
    const int closedPort = portNobodyListensOn();
    ASSERT_NE(closedPort, 0);
    test::LoopbackServer slow;
    ASSERT_TRUE(answerLate(slow, 1500ms, ""));
    const struct { const char* name; std::string server; bool stop; std::chrono::milliseconds limit; const char* problem; } cases[] = {
        {"nobody listening", "http://127.0.0.1:" + std::to_string(closedPort) + "/", false, 3000ms, "网络异常，无法和澄岭的服务器通信。"},
        {"past the time limit", slow.url(), false, 1000ms, "服务器在1秒内没有回答，没有取得更新记录。"},
        {"stopped by the user", slow.url(), true, 3000ms, "检查更新已终止，没有取得更新记录。"},  // the stop stays
    };
    for (const auto& c : cases) {
        settings.server = c.server;
        progress.stopInWait = c.stop;
        WatchedDb db;
        auto s = session();
        s.wait.limit = c.limit;
        const sync::FetchOutcome outcome = sync::CheckForUpdates(s, db);
        EXPECT_EQ(outcome.added, 0) << c.name;
        EXPECT_EQ(outcome.problem.rfind(c.problem, 0), 0u) << c.name << ": " << outcome.problem;
        EXPECT_TRUE(db.adds.empty()) << c.name;
    }
}

TEST_F(Protocol, DailyCheckFetchesOnce24HoursHavePassed) {
    server.records = {"uID=4,uName='x',sCommand=1,sName='n',sText='DirName=''n''',sExecute=0,uDate=5,tID=3",
                      "uID=4,uName='x',sCommand=1,sName='m',sText='DirName=''m''',sExecute=0,uDate=6,tID=3"};
    std::tm now{};
    now.tm_year = 2026 - 1900;
    now.tm_mon = 11;
    now.tm_mday = 10;
    now.tm_hour = 12;
    const struct {
        const char* stored;
        const char* storedAfter;
        int fetches;
        const char* caption;
    } cases[] = {
        {"", "2026-12-10 12:00:00", 0, ""},
        {"not a date", "2026-12-10 12:00:00", 0, ""},
        {"2026-12-09 12:00:01", "2026-12-09 12:00:01", 0, ""},
        {"2026-12-09 12:00:00", "2026-12-09 12:00:00", 1, "同步(2)"},
        {"2025-01-01 00:00:00", "2025-01-01 00:00:00", 1, "同步(2)"},
    };
    for (const auto& c : cases) {
        InMemoryStore store;
        if (*c.stored) store.keys["orvHelp/UpdateDate"] = c.stored;
        WatchedDb db;
        server.fetches.clear();
        std::string caption;
        auto s = session();
        const int added = sync::DailyUpdateCheck(s, db, store, [&](const std::string& text) { caption = text; },
                                                 [&] { return now; });
        EXPECT_EQ(added, c.fetches ? 2 : 0) << c.stored;
        EXPECT_EQ(static_cast<int>(server.fetches.size()), c.fetches) << c.stored;
        EXPECT_EQ(caption, c.caption) << c.stored;
        EXPECT_EQ(store.keys["orvHelp/UpdateDate"], c.storedAfter) << c.stored;
    }
    EXPECT_EQ(sync::syncButtonCaption(0), "同步");
}
