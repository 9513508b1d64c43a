// The public-save order: server, account, ApplyChange, change record.
#include "sync/public_save.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "library/udate.h"

namespace orv::sync {
namespace {

bool namesColumn(std::string_view list, std::string_view column) {
    for (std::string_view item : library::splitOutsideQuotes(list)) {
        library::Assignment a;
        if (library::splitAssignment(item, a) && a.column == column) return true;
    }
    return false;
}

// The account the server knows the author by, so that other users' records of this
// author and this library's own rows name the same user.
bool registerAccount(library::HostDb& db, const std::string& account, long long userId) {
    if (account.empty() || userId <= 0) return true;
    if (db.count(library::kPublic, library::tables::User, "uName=" + library::quoteText(account)) > 0) return true;
    return db.addItemUtf(library::kPublic, library::tables::User,
                         library::Assignments().addText("uName", account).add("uID", userId).str()) > 0;
}

SaveResult failed(SaveResult result, SaveStep step, library::HostDb& db) {
    result.step = step;
    result.error = db.errMsg(library::kPublic);
    return result;
}

}  // namespace

SaveResult PublicSave(ServerSession& session, library::HostDb& db, const PublicChange& change,
                      const DateClock& now) {
    SaveResult result;
    result.target = change.target;
    result.body = change.body;
    result.userId = change.localUserId;
    const bool free = session.settings.freeChanges() || !change.submit;
    if (free) {
        result.date = now ? now() : library::uDateNow();
    } else {
        SubmittedChange accepted;
        const long long id = SubmitChange(
            session, changeMessage(change.code, change.target, change.name, change.body, session.digit), accepted);
        if (id < 1) return result;  // Refused: whatever went wrong has been said
        result.submitted = true;
        result.serverId = id;
        result.date = accepted.date;
        result.userId = accepted.userId;
        // New rows take the server's ids, so that every copy of the library numbers them alike.
        if (change.code == library::kNewCategory || change.code == library::kNewEntry) result.target = id;
        if (change.code == library::kNewEntry && accepted.sID > 0 && !namesColumn(result.body, "sID"))
            result.body += (result.body.empty() ? "sID=" : ",sID=") + std::to_string(accepted.sID);
    }

    // The network wait is over before the library is locked for writing.
    library::HostTransaction transaction(db, library::kPublic);
    if (!transaction.begun()) return failed(result, SaveStep::NotApplied, db);
    const std::string& account = session.settings.user;
    if (result.submitted && !registerAccount(db, account, result.userId))
        return failed(result, SaveStep::NotRegistered, db);

    long long target = result.target;
    result.applied = library::ApplyChange(db, library::kPublic, change.code, target, result.body, result.userId,
                                          account, result.date);
    if (result.applied == 0) return failed(result, SaveStep::NotApplied, db);
    if (change.code == library::kNewCategory || change.code == library::kNewEntry) result.target = result.applied;

    const library::ChangeRecord record{result.target, account, change.code, change.name, result.body, result.date};
    if (library::writeChangeRecord(db, record, change.service) < 1) return failed(result, SaveStep::NotRecorded, db);
    if (!transaction.commit()) return failed(result, SaveStep::NotCommitted, db);
    result.step = SaveStep::Saved;
    return result;
}

SaveResult SaveIntoLibrary(ServerSession& session, library::HostDb& db, int lib, const PublicChange& change,
                           long long date) {
    if (lib == library::kPublic) return PublicSave(session, db, change, [date] { return date; });
    SaveResult result;
    result.date = date;
    result.body = change.body;
    result.userId = change.localUserId;
    long long target = change.target;
    result.applied = library::ApplyChange(db, lib, change.code, target, change.body, change.localUserId, "", date);
    const bool makesRow = change.code == library::kNewCategory || change.code == library::kNewEntry;
    result.target = makesRow ? result.applied : change.target;
    result.step = result.applied != 0 ? SaveStep::Saved : SaveStep::NotApplied;
    if (!result.saved()) result.error = db.errMsg(lib);
    return result;
}

void reportFailedSave(library::Prompter& prompter, const SaveResult& result) {
    if (result.saved() || result.step == SaveStep::Refused) return;
    prompter.message(library::failedWriteMessage(result.error), library::MessageKind::Error);
}

std::string_view saveStepText(SaveStep step) {
    switch (step) {
    case SaveStep::Saved: return "saved";
    case SaveStep::Refused: return "the server refused the change";
    case SaveStep::NotRegistered: return "the account could not be added to the User table";
    case SaveStep::NotApplied: return "the change could not be carried out";
    case SaveStep::NotRecorded: return "the change was carried out, but not recorded";
    case SaveStep::NotCommitted: return "the change did not land in the library";
    }
    return "unknown";
}

}  // namespace orv::sync
