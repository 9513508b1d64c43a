// orvhelp's subcommands that talk to the sync server named in the settings of an IDE
// folder: the account test, fetching other users' changes and submitting a change.
#include "cli/command.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"
#include "sync/server_protocol.h"
#include "tools/plain_progress.h"

#include <ostream>

namespace orv::cli {
namespace {

library::Settings ideSettings(const std::string& ide) {
    const auto store = library::makeSettingsStore(library::ideFile(ide, library::kSettingsFile));
    return library::readSettings(*store);
}

int loginCommand(Context& ctx) {
    const library::Settings settings = ideSettings(ideFolder(ctx));
    ConsolePrompter prompter(ctx);
    tools::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    if (sync::TestLogin(session, true) < 0)
        failure(prompter.shown() ? "the account test failed" : "the server's reply could not be read");
    return kExitOk;
}

int fetchCommand(Context& ctx) {
    const std::string ide = ideFolder(ctx);
    const library::Settings settings = ideSettings(ide);
    library::SqliteHostDb db;
    openLibrary(db, ide, library::kPublic);
    ConsolePrompter prompter(ctx);
    tools::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    ctx.out << sync::FetchUpdates(session, db) << '\n';
    return kExitOk;
}

// The save order of a public-library change: the server first, and only when it accepts,
// the change carried out with its ids and date, and recorded.
int submitCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const long long code = numberArgument(p[0], "CODE");
    if (code > library::kMoved) usageError("CODE must be 0 to 5, not " + p[0]);
    long long target = numberArgument(p[1], "TARGET");
    const std::string& name = p[2];
    std::string body = p[3];
    const std::string ide = ideFolder(ctx);
    const library::Settings settings = ideSettings(ide);
    library::SqliteHostDb db;
    openLibrary(db, ide, library::kPublic);

    ConsolePrompter prompter(ctx);
    tools::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    sync::SubmittedChange accepted;
    const long long id = sync::SubmitChange(
        session, sync::changeMessage(static_cast<int>(code), target, name, body, session.digit), accepted);
    if (id < 1) failure(id < 0 ? "the change was not submitted" : "the server refused the change");

    const std::string& account = settings.user;
    if (db.count(library::kPublic, library::tables::User, "uName=" + library::quoteText(account)) == 0)
        db.addItemUtf(library::kPublic, library::tables::User,
                      library::Assignments().addText("uName", account).add("uID", accepted.userId).str());
    if (code == library::kNewCategory || code == library::kNewEntry) target = id;
    if (code == library::kNewEntry && accepted.sID > 0) body += (body.empty() ? "sID=" : ",sID=") + std::to_string(accepted.sID);

    const long long result =
        library::ApplyChange(db, library::kPublic, code, target, body, accepted.userId, account, accepted.date);
    library::ChangeRecord record{target, settings.user, static_cast<int>(code), name, body, accepted.date};
    const long long lID = library::writeChangeRecord(db, record, library::AddService::Utf8);
    ctx.out << id << '\n';
    if (result == 0) failure("the server accepted the change, but it could not be carried out here");
    if (lID < 1) failure("the change was carried out, but not recorded: " + db.errMsg(library::kPublic));
    return kExitOk;
}

}  // namespace

std::vector<Command> serverCommands() {
    return {
        {"login", "login", "test the account of the settings of --ide with its server", 0, 0, loginCommand},
        {"fetch", "fetch", "add other users' changes from the server to the change log of --ide; prints how many",
         0, 0, fetchCommand},
        {"submit", "submit CODE TARGET NAME BODY",
         "send a change of the public library of --ide to the server, then carry it out and record it; "
         "prints the server's id",
         4, 4, submitCommand},
    };
}

}  // namespace orv::cli
