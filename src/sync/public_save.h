// The one way a change reaches the public library: submitted to the server first (unless
// free changes are on), then carried out with the server's ids, date and author, then
// recorded in the change log. Editors, catalogue commands and orvhelp all save through it.
#pragma once

#include "library/change_log.h"
#include "library/host_db.h"
#include "library/prompt.h"
#include "sync/server_protocol.h"

#include <functional>
#include <string>
#include <string_view>

namespace orv::sync {

// One change of the public library as its writer describes it: the code, target, name
// and body of its change record (the body in UTF-8, the name and body plain).
struct PublicChange {
    int code = 0;
    long long target = 0;  // 0 for a new category or entry
    std::string name;
    std::string body;
    library::AddService service = library::AddService::Utf8;
    // The author's id when nothing is sent (free changes); the server names it otherwise.
    long long localUserId = 0;
    // False for a change the server keeps no copy of (the recycle bin's or the private
    // root's own row): it is carried out and recorded, never sent.
    bool submit = true;
};

// How far a save got; every step after Saved is the one that failed.
enum class SaveStep {
    Saved,
    Refused,        // the server refused, or could not be asked: nothing changed
    NotRegistered,  // the account could not be added to the User table
    NotApplied,     // ApplyChange did nothing (or the library would not begin a transaction)
    NotRecorded,    // carried out, but the change record could not be written
    NotCommitted    // the writes did not land
};

struct SaveResult {
    SaveStep step = SaveStep::Refused;
    bool submitted = false;  // the server accepted it (false with free changes)
    long long serverId = 0;  // what the server answered: its new id, or a positive value
    long long applied = 0;   // ApplyChange's result: the new dID or kID for codes 0 and 2
    long long target = 0;    // the record's tID: the new id for codes 0 and 2
    long long date = 0;
    long long userId = 0;
    std::string body;   // as carried out and recorded (a new entry names the server's sID)
    std::string error;  // the host's error text of the failed step

    bool saved() const { return step == SaveStep::Saved; }
};

// Where the date of a change comes from when the server does not give one: uDate now.
using DateClock = std::function<long long()>;

// Saves `change` into library 0 of `db` in the public-save order. A refusal leaves every
// row as it was; the other failures say which step did not happen.
SaveResult PublicSave(ServerSession& session, library::HostDb& db, const PublicChange& change,
                      const DateClock& now);

// A change of either library: the public one in the public-save order, the private one
// carried out directly (it keeps no change log) with `date` and the change's local user.
SaveResult SaveIntoLibrary(ServerSession& session, library::HostDb& db, int lib, const PublicChange& change,
                           long long date);

// Tells the user what a failed save did not do; a refusal has been told by the server
// check already, and a save that went through says nothing.
void reportFailedSave(library::Prompter& prompter, const SaveResult& result);

// A short English text of a failed step, for logs and orvhelp.
std::string_view saveStepText(SaveStep step);

}  // namespace orv::sync
