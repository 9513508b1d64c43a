// orvhelp's catalogue commands: delete, paste, move, count and the favorites toggle on
// nodes of the contents tree, run by the help window's own core over an in-memory tree.
#include "cli/answering_prompter.h"
#include "cli/command.h"
#include "cli/help_window_session.h"
#include "cli/node_argument.h"

#include "helpwindow/catalogue.h"
#include "helpwindow/contents.h"
#include "helpwindow/link_dispatch.h"
#include "library/paths.h"
#include "library/plain_progress.h"
#include "library/schema.h"
#include "library/settings.h"
#include "sync/server_protocol.h"

#include <ostream>

namespace orv::cli {
namespace {

using helpwindow::ItemId;
using helpwindow::kNoItem;

// The help window's core with the catalogue commands on top.
struct CatalogueSession : HelpWindowSession<AnsweringPrompter> {
    using HelpWindowSession::HelpWindowSession;

    library::PlainProgress progress;
    helpwindow::LinkDispatcher links{contents, helpwindow::inlineWindowThread()};
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    helpwindow::Catalogue catalogue{{contents, links, prompter, progress, session}};
};

// Walks the tree down to each node, as following a link to it would, without reloading
// between them, so that the items found first stay valid.
std::vector<ItemId> reachNodes(CatalogueSession& s, std::vector<std::string>::const_iterator from,
                               std::vector<std::string>::const_iterator to) {
    std::vector<ItemId> items;
    for (auto it = from; it != to; ++it) {
        const ItemId item = helpwindow::revealTarget(s.contents, nodeArgument(*it));
        if (item == kNoItem) failure("the node " + *it + " is not in the contents tree");
        items.push_back(item);
    }
    return items;
}

void selectNodes(CatalogueSession& s, std::vector<std::string>::const_iterator from,
                 std::vector<std::string>::const_iterator to) {
    s.contents.Reload();
    s.tree.selectMany(reachNodes(s, from, to));
}

// Exit status from what the command showed: an error box or a question answered No
// means it did not do what was asked.
int outcome(CatalogueSession& s, const char* what) {
    failWhenRefused(s.prompter, what);
    return kExitOk;
}

int deleteCommand(Context& ctx) {
    CatalogueSession s(ctx);
    const auto& p = ctx.args.positional;
    selectNodes(s, p.begin(), p.end());
    s.catalogue.DeleteSelection();
    return outcome(s, "the delete");
}

int pasteCommand(Context& ctx) {
    CatalogueSession s(ctx);
    const auto& p = ctx.args.positional;
    const render::LinkTarget target = nodeArgument(p[0]);
    selectNodes(s, p.begin() + 1, p.end());
    s.catalogue.CopySelection();
    if (s.catalogue.copyList().empty()) return outcome(s, "the copy");
    const ItemId onto = helpwindow::revealTarget(s.contents, target);
    if (onto == kNoItem) failure("the node " + p[0] + " is not in the contents tree");
    s.tree.select(onto);
    s.catalogue.PasteCopied(ctx.args.has("--shared"));
    return outcome(s, "the paste");
}

int moveCommand(Context& ctx) {
    CatalogueSession s(ctx);
    const auto& p = ctx.args.positional;
    const render::LinkTarget target = nodeArgument(p[0]);
    if (target.kind != helpwindow::TargetKind::Category)
        usageError("TARGET must be a category link (r form, r00 or r10 for a library's top level), not " + p[0]);
    selectNodes(s, p.begin() + 1, p.end());
    const std::vector<ItemId> selected = s.tree.selection();
    const library::TreeNode* first = selected.empty() ? nullptr : s.tree.record(selected.front());
    // The chooser offers the categories of the first node's library only.
    if (first && first->lib != target.lib)
        usageError("TARGET " + p[0] + " is not a category of the library of " + p[1]);
    s.catalogue.MoveSelection(target.id);
    return outcome(s, "the move");
}

int countCommand(Context& ctx) {
    CatalogueSession s(ctx);
    const auto& p = ctx.args.positional;
    selectNodes(s, p.begin(), p.end());
    s.catalogue.CountSelection();
    return outcome(s, "the count");
}

int favoriteCommand(Context& ctx) {
    CatalogueSession s(ctx);
    const auto& p = ctx.args.positional;
    selectNodes(s, p.begin(), p.end());
    s.catalogue.ToggleFavorite();
    return outcome(s, "the favorites change");
}

constexpr size_t kManyNodes = 100000;

}  // namespace

std::vector<Command> catalogueCommands() {
    return {
        {"delete", "delete NODE... [--yes]",
         "delete nodes of --ide's contents tree: into the recycle bin, or for good inside one "
         "(NODE: r012 category, k17 entry, y03 member)",
         1, kManyNodes, deleteCommand},
        {"paste", "paste TARGET NODE... [--shared] [--yes]",
         "copy the NODEs and paste them onto TARGET (beside an entry, into a category); --shared shares the texts",
         2, kManyNodes, pasteCommand},
        {"move", "move TARGET NODE... [--yes]",
         "move the NODEs into category TARGET of their library (r00 or r10: the library's top level)", 2, kManyNodes,
         moveCommand},
        {"count", "count NODE...", "count the categories and entries the NODEs hold", 1, kManyNodes, countCommand},
        {"favorite", "favorite NODE [--yes]", "add the entry to the favorites, or take it off when it is one", 1, 1,
         favoriteCommand},
    };
}

}  // namespace orv::cli
