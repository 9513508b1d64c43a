// orvhelp's contents-tree commands: a level as the tree loads it, where a link leads in
// the tree, and the text other pages link to a node with.
#include "cli/command.h"
#include "cli/help_window_session.h"
#include "cli/node_argument.h"

#include "helpwindow/contents.h"
#include "helpwindow/link_dispatch.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"
#include "render/link.h"

#include <ostream>

namespace orv::cli {
namespace {

using helpwindow::ItemId;
using helpwindow::kNoItem;

using TreeSession = HelpWindowSession<ConsolePrompter>;

// id, library, type, C or E, child button, name; a line without a record as its text.
void printItem(std::ostream& out, const helpwindow::ContentsTree& tree, ItemId item) {
    const library::TreeNode* node = tree.record(item);
    if (!node) {
        out << tree.text(item) << '\n';
        return;
    }
    out << node->id << '\t' << node->lib << '\t' << node->type << '\t' << (node->isCategory ? 'C' : 'E') << '\t'
        << (tree.hasChildButton(item) ? '1' : '0') << '\t' << tree.text(item) << '\n';
}

// Loads the top level and walks down to the node, as following a link to it would.
ItemId reachNode(TreeSession& s, const std::string& text) {
    const render::LinkTarget node = nodeArgument(text);
    s.contents.Reload();
    const ItemId item = helpwindow::revealTarget(s.contents, node);
    if (item == kNoItem) failure("the node " + text + " is not in the contents tree");
    return item;
}

int treeCommand(Context& ctx) {
    TreeSession s(ctx);
    ItemId level = s.tree.root();
    if (ctx.args.positional.empty()) {
        s.contents.Reload();
    } else {
        level = reachNode(s, ctx.args.positional[0]);
        if (!s.tree.hasChildButton(level)) failure("the node " + ctx.args.positional[0] + " has no level below it");
    }
    for (ItemId item : s.tree.children(level)) printItem(ctx.out, s.tree, item);
    return kExitOk;
}

int openCommand(Context& ctx) {
    const std::string& link = ctx.args.positional[0];
    render::ParsedLink parsed;
    if (!render::ParseLink(link, parsed)) usageError("\"" + link + "\" is not a page link (r, k, y, s, t or c form)");
    TreeSession s(ctx);
    const std::optional<render::LinkTarget> target = render::ResolveLink(s.db, link);
    if (!target) failure("the link " + link + " leads nowhere");
    helpwindow::LinkDispatcher links(s.contents, helpwindow::inlineWindowThread());
    const ItemId selected = links.ShowTarget(target->lib, target->id, target->kind);
    if (s.view.shownPages().empty()) failure("the link " + link + " leads nowhere");
    ctx.out << target->lib << '\t' << static_cast<int>(target->kind) << '\t' << target->id << '\n'
            << "path\t" << helpwindow::TargetIdPath(s.db, target->lib, target->id, target->kind) << '\n';
    if (selected != kNoItem) {
        ctx.out << "selected\t";
        printItem(ctx.out, s.tree, selected);
    }
    return kExitOk;
}

int linksCommand(Context& ctx) {
    TreeSession s(ctx);
    const ItemId item = reachNode(s, ctx.args.positional[0]);
    const std::string text = helpwindow::SearchLinkText(s.db, *s.tree.record(item));
    if (text.empty()) failure("the entry " + ctx.args.positional[0] + " has no texts that pages could link to");
    ctx.out << text << '\n';
    return kExitOk;
}

}  // namespace

std::vector<Command> treeCommands() {
    return {
        {"tree", "tree [NODE]", "print a level of the contents tree (NODE: r012 category, k17 entry, y03 member)", 0,
         1, treeCommand},
        {"open", "open LINK", "follow a link: print its library, kind and id, and the path down the tree", 1, 1,
         openCommand},
        {"links", "links NODE", "print the text other pages link to a node with (what \"搜索链接\" searches for)", 1,
         1, linksCommand},
    };
}

}  // namespace orv::cli
