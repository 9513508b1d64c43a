// The three requests of port.php: accounts and their allowance, ids for accepted changes,
// and the relay of changes to the other users.
#include "port_script.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/udate.h"
#include "request_fields.h"
#include "sync/server_reply.h"
#include "text/ascii.h"

#include <algorithm>
#include <iostream>
#include <limits>

namespace orv::server {
namespace {

// Allowance levels by points, as the setup window describes them to the user.
struct Level {
    long long belowPoints;
    long long changesPerDay;
};
constexpr Level kLevels[] = {
    {10, 1}, {10000, 3}, {100000, 30}, {std::numeric_limits<long long>::max(), 300}};

constexpr std::string_view kBreak = "<br>";

std::string malformed(std::string_view request, const std::string& why) {
    // The client only shows the error word; the reason is for whoever runs the server.
    std::cerr << "orvserver: refused " << request << ": " << why << '\n';
    return std::string(words::kMalformed);
}

std::string joinFields(std::initializer_list<long long> values) {
    std::string out;
    for (long long v : values) {
        if (!out.empty()) out += ',';
        out += std::to_string(v);
    }
    return out;
}

// What the author gets back and what the other users replay.
struct Acceptance {
    long long id = 0;
    long long sID = 0;
    StoredChange relayed;
};

Acceptance accept(ServerStore& store, const Account& author, const ChangeFields& change, long long date) {
    const IdsSeen seen = idsSeenIn(change);
    for (long long id : seen.categories) store.reserveIds(IdKind::Category, id);
    for (long long id : seen.entries) store.reserveIds(IdKind::Entry, id);
    for (long long id : seen.data) store.reserveIds(IdKind::Data, id);

    Acceptance a;
    a.relayed = StoredChange{author.uID, author.name, change.code, change.target, change.name, change.body, date};
    switch (change.code) {
    case library::kNewCategory:
        a.id = store.nextId(IdKind::Category);
        a.relayed.target = a.id;
        break;
    case library::kNewEntry:
    case library::kEntryChanged: {
        // A change of an entry may be a further placement sharing its data (a paste), so
        // it gets a fresh kID too; the server cannot tell the two apart.
        a.id = store.nextId(IdKind::Entry);
        const std::optional<long long> named = dataIdOf(change.body);
        a.sID = named ? *named : store.nextId(IdKind::Data);
        if (change.code == library::kNewEntry) {
            a.relayed.target = a.id;
            // The author's client appends the same item, so every copy numbers the data alike.
            if (!named) a.relayed.body += ",sID=" + std::to_string(a.sID);
        }
        break;
    }
    default: break;
    }
    const long long number = store.storeChange(a.relayed);
    if (a.id == 0) a.id = number;
    return a;
}

long long allowedChanges(const Account& account) {
    return account.allowance ? *account.allowance : allowanceForPoints(account.points);
}

}  // namespace

long long allowanceForPoints(long long points) {
    for (const Level& level : kLevels)
        if (points < level.belowPoints) return level.changesPerDay;
    return kLevels[std::size(kLevels) - 1].changesPerDay;
}

PortScript::PortScript(ServerStore& store, Clock now, sync::DigitSource digit)
    : store_(store), now_(now ? std::move(now) : Clock(library::uDateNow)), digit_(std::move(digit)) {}

std::string PortScript::answer(std::string_view command, bool post, std::string_view packed) {
    struct Route {
        std::string_view command;
        bool post;
        std::string (PortScript::*handle)(std::string_view);
    };
    static constexpr Route kRoutes[] = {
        {"orvut", false, &PortScript::testAccount},
        {"orvxg", true, &PortScript::submitChange},
        {"orvget", false, &PortScript::fetchChanges},
    };
    const std::lock_guard<std::mutex> lock(mutex_);
    try {
        for (const Route& r : kRoutes)
            if (r.command == command && r.post == post) return (this->*r.handle)(packed);
        return malformed(command, std::string("no such request with ") + (post ? "POST" : "GET"));
    } catch (const StoreError& e) {
        std::cerr << "orvserver: state file: " << e.what() << '\n';
        return std::string(words::kStoreFailure);
    } catch (const std::exception& e) {
        std::cerr << "orvserver: " << e.what() << '\n';
        return std::string(words::kFault);
    }
}

std::string PortScript::registrationPage(bool post, const Registration& r) {
    if (!post) return registrationForm();
    if (std::string problem = registrationProblem(r); !problem.empty()) return registrationForm(problem);
    const std::lock_guard<std::mutex> lock(mutex_);
    try {
        Account account;
        account.name = std::string(text::trimBlanks(r.name));
        account.digest = sync::PasswordDigest(std::string(text::trimBlanks(r.password)));
        std::string error;
        if (store_.account(account.name) || !store_.addAccount(account, error)) return registrationForm(kNameTaken);
        const std::optional<Account> made = store_.account(account.name);
        return registrationDone(account.name, 0, made ? remainingChanges(*made, now_()) : 0);
    } catch (const StoreError& e) {
        std::cerr << "orvserver: state file: " << e.what() << '\n';
        return registrationForm(words::kStoreFailure);
    }
}

std::string PortScript::goodReply(std::string_view payload) const {
    std::string out;
    out.append(sync::kReplyMarker).append(payload).append(sync::kReplyMarker).append(sync::kGoodReplySign);
    return out;
}

std::string PortScript::refusal(const std::optional<Account>& account, std::string_view digest) {
    if (!account) return std::string(words::kUnknownAccount);
    if (account->locked) return std::string(words::kLocked);
    if (account->failures >= kFreezeAfterFailures) return std::string(words::kFrozen);
    if (account->digest != digest)
        return std::string(words::kWrongPassword) + std::to_string(store_.notePasswordFailure(account->uID));
    store_.clearPasswordFailures(account->uID);
    return {};
}

long long PortScript::remainingChanges(const Account& account, long long now) {
    return std::max(0LL, allowedChanges(account) - store_.countChangesBy(account.uID, now - kAllowanceWindowSeconds));
}

std::string PortScript::testAccount(std::string_view packed) {
    std::string why;
    const std::optional<std::string> text = sync::tryUnscrambleText(packed);
    if (!text) return malformed("orvut", "the packing fails its check characters");
    const std::optional<AccountFields> fields = readAccountFields(*text, why);
    if (!fields) return malformed("orvut", why);
    const std::optional<Account> account = store_.account(fields->name);
    if (std::string refused = refusal(account, fields->digest); !refused.empty()) return refused;
    const long long remaining = remainingChanges(*account, now_());
    return goodReply(sync::ScrambleText(joinFields({account->points, remaining, allowedChanges(*account)}), digit_));
}

std::string PortScript::submitChange(std::string_view packed) {
    std::string why;
    const std::optional<std::string> text = sync::tryUnscrambleText(packed);
    if (!text) return malformed("orvxg", "the packing fails its check characters");
    const std::optional<ChangeFields> change = readChangeFields(*text, why);
    if (!change) return malformed("orvxg", why);
    const std::optional<Account> author = store_.account(change->account.name);
    if (std::string refused = refusal(author, change->account.digest); !refused.empty()) return refused;
    const long long now = now_();
    if (remainingChanges(*author, now) < 1) return std::string(words::kAllowanceUsedUp);

    StoreTransaction transaction(store_);
    // Clients fetch what is strictly newer than the newest record they fetched, and know
    // a change they hold by its date, command and target: two changes must never share
    // a date, or the later one would be lost to whoever fetched the earlier.
    const long long date = std::max(now, store_.newestDate() + 1);
    const Acceptance a = accept(store_, *author, *change, date);
    transaction.commit();
    return goodReply(sync::ScrambleText(joinFields({author->uID, a.id, date, a.sID}), digit_));
}

std::string PortScript::fetchChanges(std::string_view packed) {
    std::string why;
    const std::optional<std::string> text = sync::tryUnscrambleText(packed);
    if (!text) return malformed("orvget", "the packing fails its check characters");
    const std::optional<FetchFields> fetch = readFetchFields(*text, why);
    if (!fetch) return malformed("orvget", why);
    long long except = 0;
    if (!fetch->except.empty()) {
        const std::optional<Account> asking = store_.account(fetch->except);
        if (!asking) return std::string(words::kUnknownAccount);
        except = asking->uID;
    }
    std::string payload;
    for (const StoredChange& c : store_.changesAfter(fetch->after, except)) {
        // Pending (sExecute 0) on arrival: each user reviews and applies it.
        const std::string record = library::Assignments()
                                       .add("uID", c.uID)
                                       .addText("uName", c.userName)
                                       .add("sCommand", c.code)
                                       .addText("sName", c.name)
                                       .addText("sText", c.body)
                                       .add("sExecute", library::kStatePending)
                                       .add("uDate", c.date)
                                       .add("tID", c.target)
                                       .str();
        if (!payload.empty()) payload += kBreak;
        payload += sync::ScrambleText(record, digit_);
    }
    return goodReply(payload);
}

}  // namespace orv::server
