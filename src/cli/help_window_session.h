// The help window's core over both libraries of an IDE folder, its controls in memory:
// what the tree and catalogue commands drive, as the window drives it over its controls.
#pragma once

#include "cli/command.h"
#include "helpwindow/contents.h"
#include "helpwindow/contents_tree.h"
#include "helpwindow/help_window_view.h"
#include "library/settings.h"
#include "library/sqlite_host_db.h"
#include "library/udate.h"

namespace orv::cli {

// `PrompterKind` is how the command answers questions and shows messages; it is built
// from the command's context.
template <typename PrompterKind>
struct HelpWindowSession {
    explicit HelpWindowSession(Context& ctx) : prompter(ctx) {
        const std::string ide = ideFolder(ctx);
        openBothLibraries(db, ide);
        settings = ideSettings(ide);
    }

    PrompterKind prompter;
    library::SqliteHostDb db;
    library::Settings settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    helpwindow::Contents contents{{db, tree, view, settings, library::uDateNow, prompter}};
};

}  // namespace orv::cli
