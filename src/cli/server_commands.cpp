// orvhelp's subcommands that talk to the sync server named in the settings of an IDE
// folder: the account test, fetching other users' changes and submitting a change.
#include "cli/command.h"

#include "library/change_log.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"
#include "library/udate.h"
#include "sync/public_save.h"
#include "sync/server_protocol.h"
#include "library/plain_progress.h"

#include <ostream>

namespace orv::cli {
namespace {

int loginCommand(Context& ctx) {
    const library::Settings settings = ideSettings(ideFolder(ctx));
    ConsolePrompter prompter(ctx);
    library::PlainProgress progress;
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
    library::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    const sync::FetchOutcome outcome = sync::CheckForUpdates(session, db);
    if (!outcome.problem.empty()) failure(outcome.problem);
    ctx.out << outcome.added << '\n';
    return kExitOk;
}

// A public-library change saved as every writer saves one: the server first, and only
// when it accepts, the change carried out with its ids and date, and recorded. With free
// changes on nothing is sent and the local id is printed.
int submitCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const long long code = numberArgument(p[0], "CODE");
    if (code > library::kMoved) usageError("CODE must be 0 to 5, not " + p[0]);
    const std::string ide = ideFolder(ctx);
    const library::Settings settings = ideSettings(ide);
    library::SqliteHostDb db;
    openLibrary(db, ide, library::kPublic);

    ConsolePrompter prompter(ctx);
    library::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    sync::PublicChange change;
    change.code = static_cast<int>(code);
    change.target = numberArgument(p[1], "TARGET");
    change.name = p[2];
    change.body = p[3];
    const sync::SaveResult saved = sync::PublicSave(session, db, change, library::uDateNow);
    if (saved.step == sync::SaveStep::Refused) failure(std::string(sync::saveStepText(saved.step)));
    if (saved.submitted || saved.applied != 0) ctx.out << (saved.submitted ? saved.serverId : saved.target) << '\n';
    if (!saved.saved()) {
        std::string message(sync::saveStepText(saved.step));
        if (!saved.error.empty()) message += ": " + saved.error;
        failure(message);
    }
    return kExitOk;
}

}  // namespace

std::vector<Command> serverCommands() {
    return {
        {"login", "login", "test the account of the settings of --ide with its server", 0, 0, loginCommand},
        {"fetch", "fetch",
         "add other users' changes from the server to the change log of --ide; prints how many, or fails "
         "saying why none could come",
         0, 0, fetchCommand},
        {"submit", "submit CODE TARGET NAME BODY",
         "send a change of the public library of --ide to the server, then carry it out and record it; "
         "prints the server's id (with free changes on: nothing is sent, prints the local id)",
         4, 4, submitCommand},
    };
}

}  // namespace orv::cli
