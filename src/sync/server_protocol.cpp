// The account test, change submission and fetch of other users' changes: what goes on
// the wire and what is taken from each reply.
#include "sync/server_protocol.h"

#include "library/fragment.h"
#include "library/fragment_check.h"
#include "library/schema.h"
#include "library/udate.h"
#include "sync/server_reply.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <random>
#include <vector>

namespace orv::sync {
namespace {

using library::MessageKind;

constexpr std::string_view kLoginRequest = "port.php?c=orvut&a=";
constexpr std::string_view kSubmitRequest = "port.php?c=orvxg";
constexpr std::string_view kFetchRequest = "port.php?c=orvget&a=";

// Closes the progress window however the request ends.
class ProgressShown {
public:
    ProgressShown(library::Progress& progress, std::string_view text) : progress_(progress) {
        progress_.OpenProgress(text, 0, 100, true);
    }
    ~ProgressShown() { progress_.CloseProgress(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    library::Progress& progress_;
};

// The name goes on the wire with its apostrophes doubled, the form the settings were
// always held in when the server learnt it.
std::string accountName(const library::Settings& settings) {
    return library::doubleApostrophes(settings.user);
}

bool accountMissing(ServerSession& session) {
    if (!session.settings.user.empty() && !session.settings.password.empty()) return false;
    session.prompter.message(kNoAccountMessage, MessageKind::Error);
    return true;
}

std::vector<std::string> splitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    for (;;) {
        const size_t at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + separator.size());
    }
}

// The unpacked payload of a reply that passed the error check, split at ",";
// nothing when it does not unpack.
std::optional<std::vector<std::string>> replyFields(std::string_view reply) {
    const std::optional<std::string> payload = tryUnscrambleText(replyPayload(reply));
    if (!payload) return std::nullopt;
    return splitAt(*payload, ",");
}

std::optional<long long> wholeNumber(std::string_view text) {
    if (!library::isIntegerLiteral(text) || text.size() > 18) return std::nullopt;
    return library::toInt(text);
}

std::string randomFraction() {
    std::mt19937 generator(std::random_device{}());
    char text[32];
    std::snprintf(text, sizeof text, "%.7f", std::uniform_real_distribution<double>(0.0, 1.0)(generator));
    return text;
}

// Records that came from the server carry their author's uID; local writers leave it unset.
constexpr std::string_view kFetchedRecord = "uID>0";
constexpr std::string_view kOwnRecord = "(uID Is Null Or uID<1)";

// Where the last fetch left off: the newest record fetched. The user's own records carry
// the server's dates too, so taking the newest of those would skip whatever others
// submitted before it and was not fetched yet. Before the first fetch, the newest entry
// date, though never one at or past the user's oldest own record (a save dates its
// entry with the server's date as well).
long long fetchedUpTo(library::HostDb& db) {
    using library::kPublic;
    namespace tables = library::tables;
    const std::string fetched = db.findOnly(kPublic, tables::UpdateList, kFetchedRecord, "uDate", "uDate DESC");
    if (!fetched.empty()) return library::toInt(fetched);
    const std::string oldestOwn = db.findOnly(kPublic, tables::UpdateList, kOwnRecord, "uDate", "uDate");
    const std::string before = oldestOwn.empty() ? "" : "uDate<" + std::to_string(library::toInt(oldestOwn));
    return library::toInt(db.findOnly(kPublic, tables::KeywordData, before, "uDate", "uDate DESC"));
}

// A fetched record this library already holds: one of the user's own changes coming
// back (the server relays every change after the date asked for), or one fetched before.
// A change is known by its date, command and target.
bool alreadyHeld(library::HostDb& db, std::string_view record) {
    long long date = 0, code = 0, target = 0;
    for (std::string_view item : library::splitOutsideQuotes(record)) {
        library::Assignment a;
        if (!library::splitAssignment(item, a)) continue;
        if (a.column == "uDate") date = library::toInt(a.value);
        else if (a.column == "sCommand") code = library::toInt(a.value);
        else if (a.column == "tID") target = library::toInt(a.value);
    }
    return db.count(library::kPublic, library::tables::UpdateList,
                    "uDate=" + std::to_string(date) + " And sCommand=" + std::to_string(code) +
                        " And tID=" + std::to_string(target)) > 0;
}

// The records of a fetch reply worth adding: unpacked, beginning "uID=", and nothing but
// literal values for UpdateList's own columns, since they go straight into a fragment.
std::vector<std::string> fetchedRecords(std::string_view payload) {
    library::ColumnSet updateList;
    updateList.add(library::kUpdateListColumns);
    std::vector<std::string> records;
    for (const std::string& piece : splitAt(payload, kRecordSeparator)) {
        std::string record = UnscrambleText(piece);
        if (record.compare(0, kRecordStart.size(), kRecordStart) != 0) continue;
        if (!library::checkAssignments(record, updateList)) continue;
        records.push_back(std::move(record));
    }
    return records;
}

// "yyyy-mm-dd hh:mm:ss" back to a date; nothing for any other text.
std::optional<std::tm> parseTimestamp(std::string_view text) {
    static constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != kShape.size()) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
    }
    const auto number = [&](size_t at, size_t length) { return static_cast<int>(library::toInt(text.substr(at, length))); };
    std::tm t{};
    t.tm_year = number(0, 4) - 1900;
    t.tm_mon = number(5, 2) - 1;
    t.tm_mday = number(8, 2);
    t.tm_hour = number(11, 2);
    t.tm_min = number(14, 2);
    t.tm_sec = number(17, 2);
    if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59 ||
        t.tm_sec > 60)
        return std::nullopt;
    return t;
}

}  // namespace

int TestLogin(ServerSession& session, bool show) {
    try {
        if (accountMissing(session)) return -1;
        HttpReply reply;
        {
            ProgressShown shown(session.progress, kTestingAccountText);
            const std::string account = accountName(session.settings) + "," + session.settings.password;
            reply = TimedGet(session.http,
                             session.settings.server + std::string(kLoginRequest) + ScrambleText(account, session.digit),
                             session.progress, session.wait);
        }
        const std::string text = reply.text();
        if (CheckServerReply(session.prompter, text, session.openSetup) != 0) return -1;
        // Points, remaining changes, allowed changes. A reply that does not say how many
        // changes remain is no success, whatever its frame.
        const auto fields = replyFields(text);
        if (!fields || fields->size() < 3) return -1;
        const std::optional<long long> remaining = wholeNumber((*fields)[1]);
        if (!remaining || *remaining < 0 || *remaining > 0x7fffffff) return -1;
        if (show)
            session.prompter.message("测试登陆成功！！！\r\n你的账号积分：" + (*fields)[0] + "\r\n" +
                                         "可以修改公库次数为：" + (*fields)[2] + "\r\n" +
                                         "剩余可修改公库次数：" + (*fields)[1],
                                     MessageKind::Information);
        return static_cast<int>(*remaining);
    } catch (...) {
        return -1;
    }
}

std::string changeMessage(int code, long long target, std::string_view name, std::string_view body,
                          const DigitSource& digit) {
    std::string plainName;
    for (char c : name)
        if (c != ',') plainName += c;
    return std::to_string(code) + "," + std::to_string(target) + "," + plainName + "," + ScrambleText(body, digit);
}

long long SubmitChange(ServerSession& session, std::string_view message, SubmittedChange& out) {
    try {
        if (accountMissing(session)) return -1;
        HttpReply reply;
        {
            ProgressShown shown(session.progress, kSubmittingText);
            const std::string body = ScrambleText(
                accountName(session.settings) + "," + session.settings.password + "," + std::string(message),
                session.digit);
            reply = TimedPost(session.http, session.settings.server + std::string(kSubmitRequest), body,
                              session.progress, session.wait);
        }
        const std::string text = reply.text();
        if (CheckServerReply(session.prompter, text, session.openSetup) != 0) return -1;
        // User id, assigned id, date, sID. The sID goes into the new entry's assignment
        // list, so every field must be a plain number; an empty sID (no new entry) is 0.
        // A reply that cannot be used is said, so that the user's save does not end in silence.
        const auto unreadable = [&] {
            session.prompter.message(kUnreadableSubmitReply, library::MessageKind::Error);
            return -1;
        };
        const auto fields = replyFields(text);
        if (!fields || fields->size() != 4) return unreadable();
        const auto userId = wholeNumber((*fields)[0]);
        const auto id = wholeNumber((*fields)[1]);
        const auto date = wholeNumber((*fields)[2]);
        const auto sID = (*fields)[3].empty() ? std::optional<long long>(0) : wholeNumber((*fields)[3]);
        if (!userId || !id || !date || !sID) return unreadable();
        out = {*userId, *id, *date, *sID};
        return *id;
    } catch (...) {
        return -1;
    }
}

namespace {

// Why a reply brought no records, or nothing when it is one to read.
std::string fetchProblem(const HttpReply& reply, const TimedWait& wait) {
    switch (reply.outcome) {
    case HttpOutcome::Ok:
        break;
    case HttpOutcome::Stopped:
        return std::string(kFetchStoppedMessage);
    case HttpOutcome::TimedOut:
        return "服务器在" + std::to_string(wait.limit.count() / 1000) + "秒内没有回答，没有取得更新记录。";
    case HttpOutcome::Failed:
        return serverReplyMessage({}) + (reply.error.empty() ? "" : "\r\n" + reply.error);
    }
    const std::string message = serverReplyMessage(reply.body);
    if (message.empty()) return {};
    // Neither an error word nor the good reply's sign: not the sync server talking.
    if (reply.body.find(kGoodReplySign) == std::string::npos && message == serverReplyMessage({}))
        return std::string(kUnreadableFetchReply);
    return message;
}

}  // namespace

long long FetchedUpTo(library::HostDb& db) { return fetchedUpTo(db); }

FetchedRecords FetchRecords(ServerSession& session, long long upTo) {
    FetchedRecords fetched;
    try {
        const std::string request = randomFraction() + "," + std::to_string(upTo);
        const HttpReply reply = TimedGet(session.http,
                                         session.settings.server + std::string(kFetchRequest) +
                                             ScrambleText(request, session.digit),
                                         session.progress, session.wait);
        fetched.problem = fetchProblem(reply, session.wait);
        if (!fetched.problem.empty()) return fetched;
        const std::string payload = replyPayload(reply.text());
        if (!payload.empty()) fetched.records = fetchedRecords(payload);
    } catch (const std::exception& e) {
        fetched = {{}, std::string("检查更新失败：") + e.what()};
    } catch (...) {
        fetched = {{}, "检查更新失败。"};
    }
    return fetched;
}

FetchOutcome StoreFetched(library::HostDb& db, const FetchedRecords& fetched) {
    FetchOutcome outcome{0, fetched.problem};
    if (!outcome.problem.empty() || fetched.records.empty()) return outcome;
    try {
        int added = 0;
        library::HostTransaction transaction(db, library::kPublic);
        for (const std::string& record : fetched.records)
            if (!alreadyHeld(db, record) && db.addItemUtf(library::kPublic, library::tables::UpdateList, record) > 0)
                ++added;
        // Records of a commit that did not land are not there to count.
        if (transaction.commit()) outcome.added = added;
        else outcome.problem = "更新记录未能保存：" + db.errMsg(library::kPublic);
    } catch (const std::exception& e) {
        outcome = {0, std::string("检查更新失败：") + e.what()};
    } catch (...) {
        outcome = {0, "检查更新失败。"};
    }
    return outcome;
}

FetchOutcome CheckForUpdates(ServerSession& session, library::HostDb& db) {
    return StoreFetched(db, FetchRecords(session, fetchedUpTo(db)));
}

std::string syncButtonCaption(long long pending) {
    return pending > 0 ? "同步(" + std::to_string(pending) + ")" : "同步";
}

bool DailyCheckDue(library::SettingsStore& store, const std::function<std::tm()>& localNow) {
    try {
        const std::tm now = localNow ? localNow() : library::localNow();
        // The key marks when checking began; a date nobody can read counts as none.
        std::optional<std::tm> since = parseTimestamp(store.read(library::kHelpSection, kUpdateDateKey, ""));
        if (!since) {
            std::string error;
            library::writeUpdateDate(store, library::timestampText(now), error);
            since = now;
        }
        const long long hours = (library::uDateFromLocal(now) - library::uDateFromLocal(*since)) / 3600;
        return hours >= 24;
    } catch (...) {
        return false;
    }
}

int StoreDailyCheck(library::HostDb& db, const FetchedRecords& fetched,
                    const std::function<void(const std::string&)>& setSyncCaption) {
    const int added = StoreFetched(db, fetched).added;
    if (added > 0 && setSyncCaption)
        setSyncCaption(syncButtonCaption(db.count(library::kPublic, library::tables::UpdateList, "sExecute=0")));
    return added;
}

int DailyUpdateCheck(ServerSession& session, library::HostDb& db, library::SettingsStore& store,
                     const std::function<void(const std::string&)>& setSyncCaption,
                     const std::function<std::tm()>& localNow) {
    if (!DailyCheckDue(store, localNow)) return 0;
    return StoreDailyCheck(db, FetchRecords(session, FetchedUpTo(db)), setSyncCaption);
}

}  // namespace orv::sync
