// Random people in front of the plug-in's windows, each with a number: from a thread of its own, a
// person clicks every control and menu of whichever windows of ours are open, types
// words with quotes and markup, answers questions at random, closes windows at random
// and presses the IDE's button again, with random short pauses (0 to 300 ms) so that
// their actions overlap the workers. The window thread meanwhile only runs messages, as
// the IDE's does. After each run: the window thread answers, no window of ours is left
// disabled, both libraries pass their integrity check, no entry lost its data row or its
// place, no change record is stored twice, and the pending records apply.
//
// ORV_RANDOM_PEOPLE (their numbers, comma-separated, default 11,22,33) and
// ORV_RANDOM_ACTIONS (default 200) choose the runs; scripts/random-people plays any person
// for any length. Each run logs its actions to the journeys folder (random-people-N.log)
// and keeps its last picture there; a failure names the person and the action.
#include "helpwindow/journey_fixture.h"
#include "helpwindow/random_person.h"

#include "forms/forms_support.h"
#include "framework/win32/form.h"
#include "framework/win32/operations.h"
#include "framework/win32/window_capture.h"
#include "sync/pending_changes.h"
#include "sync/wire_packing.h"
#include "wine/watchdog.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace orv;
using namespace orv::helpwindow_test;
using namespace std::chrono_literals;

namespace {

// One answer of a query run on a library file of its own connection.
long long scalar(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

std::string integrity(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    std::string result = "no answer";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return result;
}

std::vector<unsigned> peopleToPlay() {
    std::vector<unsigned> people;
    const char* text = std::getenv("ORV_RANDOM_PEOPLE");
    std::stringstream list(text && *text ? text : "11,22,33");
    for (std::string number; std::getline(list, number, ',');)
        if (!number.empty()) people.push_back(static_cast<unsigned>(std::strtoul(number.c_str(), nullptr, 10)));
    return people;
}

int actionsPerRun() {
    const char* text = std::getenv("ORV_RANDOM_ACTIONS");
    return text && *text ? std::atoi(text) : 200;
}

class RandomPeople : public HelpWindowJourney, public ::testing::WithParamInterface<unsigned> {
protected:
    void TearDown() override {
        for (HWND w : topLevelWindows(GetCurrentThreadId()))
            if (framework::IsForm(w)) DestroyWindow(w);
        HelpWindowJourney::TearDown();
    }

    void checkLibraries(const std::string& who) {
        for (std::string_view file : {library::kPublicFile, library::kPrivateFile}) {
            SCOPED_TRACE(std::string(file));
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open_v2(library::ideFile(folder_, file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
            EXPECT_EQ(integrity(db), "ok") << who;
            EXPECT_EQ(scalar(db, "SELECT count(*) FROM KeywordList WHERE sID NOT IN (SELECT sID FROM KeywordData)"), 0)
                << who << ": an entry lost its data row";
            EXPECT_EQ(scalar(db, "SELECT count(*) FROM KeywordData WHERE sID NOT IN (SELECT sID FROM KeywordList)"), 0)
                << who << ": a data row lost every place";
            EXPECT_EQ(scalar(db, "SELECT count(*) FROM KeywordList WHERE nType<20 AND dID<>0 AND dID NOT IN "
                                 "(SELECT dID FROM Directory)"),
                      0)
                << who << ": an entry's category is gone";
            EXPECT_EQ(scalar(db, "SELECT count(*) FROM KeywordList WHERE nType>=20 AND dID NOT IN "
                                 "(SELECT kID FROM KeywordList)"),
                      0)
                << who << ": a member's entry is gone";
            if (file == library::kPublicFile) {
                EXPECT_EQ(scalar(db, "SELECT count(*) FROM (SELECT 1 FROM UpdateList GROUP BY uDate, sCommand, tID, sText "
                                     "HAVING count(*) > 1)"),
                          0)
                    << who << ": a change record is stored twice";
            }
            sqlite3_close(db);
        }
        const sync::ReplayResult replay = sync::ApplyPendingChanges(db_);
        EXPECT_TRUE(replay.saved) << who << ": the pending records did not apply: " << replay.error;
    }
};

}  // namespace

TEST_P(RandomPeople, NothingTheyDoInAnyOrderHangsCrashesOrDoublesAnything) {
    const char* server = std::getenv("ORV_SYNC_SERVER_URL");
    const std::string settings =
        server ? "[setup]\r\nuser=demo\r\npassword=" + sync::PasswordDigest("orvdemo") + "\r\nserver=" + server + "\r\n"
               : sampleSettings() + "\r\nupdate=1\r\n";
    const int actions = actionsPerRun();
    const unsigned number = GetParam();
    const std::string who = "person " + std::to_string(number);
    open(settings);
    Ide ide(db_, folder_);
    const std::string logName = "random-people-" + std::to_string(number) + ".log";
    std::ofstream log(std::filesystem::path(forms_test::journeyPicture(logName)));
    log << who << ", " << actions << " actions" << std::endl;
    Person person(number, GetCurrentThreadId(), ide.window(), log);
    bool answered = true;
    {
        // The person never waits on a hung window longer than this for the whole run.
        const wine::Watchdog watchdog(std::chrono::seconds(120 + actions), who + ": the run did not end");
        answered = playPerson(person, actions);
    }
    ASSERT_TRUE(answered) << who << ", " << person.failure() << " (the log: " << logName << ")";
    settle();

    if (HWND help = helpWindowHandle()) {
        framework::SaveWindowPng(help, forms_test::journeyPicture("random-people-" + std::to_string(number) + ".png"));
        EXPECT_TRUE(SendMessageTimeoutW(help, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr)) << who;
    }
    for (HWND w : topLevelWindows(GetCurrentThreadId()))
        if (framework::IsForm(w)) {
            EXPECT_TRUE(IsWindowEnabled(w)) << who << ": " << text::wideToUtf8(classOf(w)) << " left disabled";
        }
    EXPECT_FALSE(framework::PluginOperations().busy()) << who << ": " << framework::PluginOperations().running();
    checkLibraries(who);
    log << "checked" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(People, RandomPeople, ::testing::ValuesIn(peopleToPlay()),
                         [](const auto& info) { return "Person" + std::to_string(info.param); });
