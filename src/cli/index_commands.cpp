// orvhelp's index, search and favorites commands: the result list those tabs of the help
// window show, filled by the window's own routines over an in-memory list.
#include "cli/command.h"

#include "helpwindow/index_search.h"
#include "library/schema.h"

#include <ostream>

namespace orv::cli {
namespace {

using helpwindow::IndexAndSearch;

// The panes over both libraries of the IDE folder. A line that gets opened has its link
// kept instead of followed: these commands print what the list holds, and following the
// link would reload the contents tree, which may write the private-library root.
struct Panes {
    explicit Panes(Context& ctx) : prompter(ctx) {
        openBothLibraries(db, ideFolder(ctx));
    }

    library::SqliteHostDb db;
    helpwindow::MemoryList list;
    helpwindow::MemoryView view;
    ConsolePrompter prompter;
    std::string opened;
    IndexAndSearch panes{{db, list, view, [this](std::string_view link) { opened = std::string(link); }, prompter,
                           helpwindow::inlineWindowThread()}};

    void show(int tab, const std::string& text) {
        view.tab = tab;
        view.box = text;
    }

    // A library that refused a query shows an empty or short list; say so instead.
    void checkReads() {
        for (int lib : {library::kPublic, library::kPrivate}) {
            const std::string error = db.errMsg(lib);
            if (!error.empty()) failure("library " + std::to_string(lib) + ": " + error);
        }
    }

    // One line per list line: library, kID, type and name, or a notice alone; then the
    // selected line (counted from 1) and the link opened.
    int print(Context& ctx) {
        checkReads();
        for (int i = 0; i < list.count(); ++i) {
            if (const auto record = list.record(i))
                ctx.out << record->lib << '\t' << record->id << '\t' << record->type << '\t';
            ctx.out << list.text(i) << '\n';
        }
        if (const int line = list.selected(); line >= 0) ctx.out << "selected\t" << line + 1 << '\n';
        if (!opened.empty()) ctx.out << "opened\t" << opened << '\n';
        return kExitOk;
    }
};

std::string textArgument(const Context& ctx) {
    const std::string& text = ctx.args.positional[0];
    if (text.empty()) usageError("TEXT is empty: there is nothing to look up");
    return text;
}

int indexCommand(Context& ctx) {
    const std::string text = textArgument(ctx);
    Panes p(ctx);
    p.show(helpwindow::kTabIndex, text);
    p.panes.StartIndexLookup();
    return p.print(ctx);
}

int searchCommand(Context& ctx) {
    const std::string text = textArgument(ctx);
    Panes p(ctx);
    p.show(helpwindow::kTabSearch, text);
    p.panes.RunSearch();
    return p.print(ctx);
}

int favoritesCommand(Context& ctx) {
    Panes p(ctx);
    p.show(helpwindow::kTabFavorites, "");
    p.panes.RunSearch();
    return p.print(ctx);
}

}  // namespace

std::vector<Command> indexCommands() {
    return {
        {"index", "index TEXT", "print the index tab's list for TEXT (entries whose keyword starts with it)", 1, 1,
         indexCommand},
        {"search", "search TEXT", "print the search tab's list for TEXT, and the line it opens", 1, 1, searchCommand},
        {"favorites", "favorites", "print the favorites tab's list", 0, 0, favoritesCommand},
    };
}

}  // namespace orv::cli
