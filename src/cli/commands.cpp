// Dispatch of orvhelp's subcommands and the commands that read the libraries' store.
#include "cli/commands.h"

#include "library/descendants.h"
#include "library/fragment.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"
#include "library/sqlite_host_db.h"

#include <filesystem>
#include <functional>
#include <ostream>

namespace orv::cli {
namespace {

using library::ideFile;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    size_t minArgs;
    size_t maxArgs;
    std::function<int(Context&)> handler;
};

[[noreturn]] void usageError(const std::string& message) { throw CommandError{kExitUsage, message}; }
[[noreturn]] void failure(const std::string& message) { throw CommandError{kExitFailure, message}; }

// The IDE folder named by --ide; it must exist.
std::string ideFolder(const Context& ctx) {
    const std::string dir = ctx.args.value("--ide");
    if (dir.empty()) usageError("this command needs --ide DIR (the IDE folder)");
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::u8path(dir), ec))
        failure("the IDE folder " + dir + " does not exist");
    return dir;
}

long long numberArgument(const std::string& text, const char* what) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        usageError(std::string(what) + " must be a whole number, not \"" + text + "\"");
    return library::toInt(text);
}

int libraryArgument(const std::string& text) {
    if (text != "0" && text != "1") usageError("LIB must be 0 (public) or 1 (private), not \"" + text + "\"");
    return text == "0" ? library::kPublic : library::kPrivate;
}

// Opens one library file of the IDE folder as it is, creating and changing nothing.
void openLibrary(library::SqliteHostDb& db, const std::string& ide, int lib) {
    const std::string path = ideFile(ide, lib == library::kPublic ? library::kPublicFile : library::kPrivateFile);
    std::string error;
    if (!db.open(lib, path, library::OpenMode::ExistingOnly, error)) failure(error);
}

int descendantsCommand(Context& ctx) {
    const int lib = libraryArgument(ctx.args.positional[0]);
    const long long dID = numberArgument(ctx.args.positional[1], "DID");
    const std::string ide = ideFolder(ctx);
    library::SqliteHostDb db;
    openLibrary(db, ide, lib);
    ctx.out << library::descendantList(db, lib, dID) << '\n';
    return kExitOk;
}

int settingsCommand(Context& ctx) {
    const std::string ide = ideFolder(ctx);
    const auto store = library::makeSettingsStore(ideFile(ide, library::kSettingsFile));
    const library::Settings s = library::readSettings(*store);
    const library::WindowPlacement& p = s.placement;
    ctx.out << "; " << store->path() << '\n'
            << "[setup]\n"
            << "kill=" << s.kill << "\nupdate=" << s.update << "\nrecycle=" << s.recycle
            << "\nClassified=" << s.classified << "\nuser=" << s.user << "\npassword=" << s.password
            << "\nserver=" << s.server << '\n'
            << "[orvHelp]\n"
            << "Dividing=" << s.dividing << "\nUpdateDate=" << s.updateDate << "\nLeft=" << p.left
            << "\nTop=" << p.top << "\nRight=" << p.right << "\nBottom=" << p.bottom
            << "\nTopMost=" << p.topMost << "\nflags=" << p.flags << "\nshowCmd=" << p.showCmd << '\n';
    return kExitOk;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"descendants", "descendants LIB DID", "print a category's id and the ids of all categories below it",
         2, 2, descendantsCommand},
        {"settings", "settings", "print the settings in effect (defaults filled in)", 0, 0, settingsCommand},
    };
    return table;
}

void printHelp(std::ostream& out) {
    out << "usage: orvhelp [--ide DIR] COMMAND [ARGS...]\n\n"
           "Options may stand before or after the command.\n"
           "  --ide DIR   the IDE folder (Settings\\PubHelp.db, Private\\PriHelp.db, Settings\\orv.ini)\n"
           "  --help      this text\n\n"
           "Commands:\n";
    for (const Command& c : commands()) {
        std::string usage = c.usage;
        usage.resize(std::max<size_t>(usage.size() + 2, 24), ' ');
        out << "  " << usage << c.summary << '\n';
    }
    out << "\nExit status: 0 success, 1 failure, 2 bad usage.\n";
}

}  // namespace

int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    Arguments args;
    std::string error;
    if (!parseArguments(argv, {"--ide"}, args, error)) {
        err << "orvhelp: " << error << '\n';
        return kExitUsage;
    }
    if (args.has("--help") || (args.command.empty() && args.values.empty() && args.flags.empty())) {
        printHelp(out);
        return args.has("--help") ? kExitOk : kExitUsage;
    }
    if (args.command.empty()) {
        err << "orvhelp: no command given (see orvhelp --help)\n";
        return kExitUsage;
    }
    for (const Command& c : commands()) {
        if (args.command != c.name) continue;
        if (args.positional.size() < c.minArgs || args.positional.size() > c.maxArgs) {
            err << "orvhelp: usage: orvhelp " << c.usage << '\n';
            return kExitUsage;
        }
        Context ctx{args, out, err};
        try {
            return c.handler(ctx);
        } catch (const CommandError& e) {
            err << "orvhelp: " << e.message << '\n';
            return e.exitCode;
        }
    }
    err << "orvhelp: unknown command \"" << args.command << "\" (see orvhelp --help)\n";
    return kExitUsage;
}

}  // namespace orv::cli
