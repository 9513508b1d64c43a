// orvhelp's subcommands over the library store: the descendant list and the settings.
#include "cli/command.h"

#include "library/descendants.h"
#include "library/paths.h"
#include "library/settings.h"

#include <ostream>

namespace orv::cli {
namespace {

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
    const auto store = library::makeSettingsStore(library::ideFile(ide, library::kSettingsFile));
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

}  // namespace

std::vector<Command> libraryCommands() {
    return {
        {"descendants", "descendants LIB DID", "print a category's id and the ids of all categories below it",
         2, 2, descendantsCommand},
        {"settings", "settings", "print the settings in effect (defaults filled in)", 0, 0, settingsCommand},
    };
}

}  // namespace orv::cli
