// The three requests to the sync server (account test, change submission, fetching
// other users' changes) and the daily fetch, over the HTTP, prompt and progress seams.
#pragma once

#include "library/host_db.h"
#include "library/prompt.h"
#include "library/settings.h"
#include "library/settings_store.h"
#include "sync/http_client.h"
#include "sync/timed_request.h"
#include "sync/wire_packing.h"
#include "library/progress.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orv::sync {

inline constexpr std::string_view kNoAccountMessage = "还没有设置账号或密码，请打开设置里设置账号和密码。";
inline constexpr std::string_view kTestingAccountText = "联网测试账号中...";
inline constexpr std::string_view kSubmittingText = "同步修改服务器公共库中...";
inline constexpr std::string_view kUnreadableSubmitReply = "服务器的回答无法识别，修改没有提交。";
// Fetched records arrive joined by this.
inline constexpr std::string_view kRecordSeparator = "<br>";
// Only pieces that begin so are records.
inline constexpr std::string_view kRecordStart = "uID=";
inline constexpr std::string_view kUpdateDateKey = "UpdateDate";

// What every request needs: the account and server of the settings, where messages and
// progress go, and how the request is sent.
struct ServerSession {
    const library::Settings& settings;
    library::Prompter& prompter;
    library::Progress& progress;
    std::shared_ptr<HttpClient> http;
    // Opens the setup window after a refusal; the window layer fills it in.
    std::function<void()> openSetup = {};
    TimedWait wait = {};
    DigitSource digit = clockDigit;
};

// The remaining number of public-library changes the account may make, -1 on failure.
// With `show` the points and allowance are shown.
int TestLogin(ServerSession& session, bool show);

// What the server answers to an accepted change.
struct SubmittedChange {
    long long userId = 0;
    long long id = 0;    // the new dID or kID for codes 0 and 2, positive otherwise
    long long date = 0;  // the change's date
    long long sID = 0;   // the data row id a new entry takes
};

// code + "," + target + "," + name without commas + "," + the packed body.
std::string changeMessage(int code, long long target, std::string_view name, std::string_view body,
                          const DigitSource& digit = clockDigit);

// Sends one change message; the server's id (below 1 means refused: change nothing), -1
// on failure. `out` is filled only on success.
long long SubmitChange(ServerSession& session, std::string_view message, SubmittedChange& out);

// How a fetch ended: the records added, and why none could be fetched when the server
// could not be asked or gave no usable answer (no contact, the time limit, the user's
// stop, an error or unreadable reply, records that could not be stored); the problem is
// empty when the server answered, also with nothing new.
struct FetchOutcome {
    int added = 0;
    std::string problem;
};

inline constexpr std::string_view kFetchStoppedMessage = "检查更新已终止，没有取得更新记录。";
inline constexpr std::string_view kUnreadableFetchReply = "服务器的回答无法识别，没有取得更新记录。";

// What a fetch brought: the well-formed records over UpdateList's columns, or why none
// could be had.
struct FetchedRecords {
    std::vector<std::string> records;
    std::string problem;
};

// A fetch's two halves. FetchRecords asks the server for the records newer than `upTo`
// (FetchedUpTo of the library) and touches no library, so a worker may run it;
// StoreFetched adds those the library does not hold yet, in one transaction, on the
// thread that owns the library's writes. One fetch's records are stored whole before
// another's are looked at, so a record fetched twice is stored once.
long long FetchedUpTo(library::HostDb& db);
FetchedRecords FetchRecords(ServerSession& session, long long upTo);
FetchOutcome StoreFetched(library::HostDb& db, const FetchedRecords& fetched);

// Both halves at once: the records other users made since the newest local one added to
// UpdateList. Shows nothing: the outcome says what happened.
FetchOutcome CheckForUpdates(ServerSession& session, library::HostDb& db);

// "同步" with the number of pending records in brackets when there are any.
std::string syncButtonCaption(long long pending);

// The daily check: due when the stored UpdateDate lies 24 hours or more back (now is
// stored when there is none). The window asks on its thread, fetches on a worker and
// stores the records with StoreDailyCheck back on its thread; after records were added,
// `setSyncCaption` gets the sync button's caption (the number added is returned).
bool DailyCheckDue(library::SettingsStore& store, const std::function<std::tm()>& localNow = {});
int StoreDailyCheck(library::HostDb& db, const FetchedRecords& fetched,
                    const std::function<void(const std::string&)>& setSyncCaption);
// All three at once, for orvhelp and the tests; 0 when it was not time yet.
int DailyUpdateCheck(ServerSession& session, library::HostDb& db, library::SettingsStore& store,
                     const std::function<void(const std::string&)>& setSyncCaption,
                     const std::function<std::tm()>& localNow = {});

}  // namespace orv::sync
