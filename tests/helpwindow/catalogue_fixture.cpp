// The catalogue tests' rig: the core objects over given libraries, and node selection.
#include "helpwindow/catalogue_fixture.h"

#include "helpwindow/link_dispatch.h"
#include "library/schema.h"

namespace orv::test {

using helpwindow::ItemId;
using helpwindow::kNoItem;
namespace tables = library::tables;

CatalogueRig::CatalogueRig(library::HostDb& db, library::Settings& settings)
    : db(db),
      settings(settings),
      contents({db, tree, view, settings, [] { return kNow; }, prompter}),
      links(contents, helpwindow::inlineWindowThread()),
      session{settings, prompter, progress, sync::makeHttpClient()},
      catalogue({contents, links, prompter, progress, session}) {}

CatalogueRig::~CatalogueRig() = default;

ItemId CatalogueRig::reach(const std::string& node) {
    const std::optional<render::LinkTarget> target = helpwindow::NodeOfLink(node);
    EXPECT_TRUE(target) << node;
    if (!target) return kNoItem;
    const ItemId item = helpwindow::revealTarget(contents, *target);
    EXPECT_NE(item, kNoItem) << node << " is not reachable";
    return item;
}

void CatalogueRig::select(const std::vector<std::string>& nodes) {
    contents.Reload();
    std::vector<ItemId> items;
    for (const std::string& n : nodes) items.push_back(reach(n));
    tree.selectMany(items);
}

namespace {

ItemId find(const helpwindow::ContentsTree& tree, ItemId from, const render::LinkTarget& t) {
    for (ItemId child : tree.children(from)) {
        if (const library::TreeNode* r = tree.record(child)) {
            const bool category = t.kind == helpwindow::TargetKind::Category;
            const bool root = r->isCategory && r->type == library::kCategoryPrivateRoot;
            // The private root carries library 1, but its row (and link) is public.
            if (r->id == t.id && r->isCategory == category && (root ? t.lib == 0 : r->lib == t.lib)) return child;
        }
        if (const ItemId below = find(tree, child, t); below != kNoItem) return below;
    }
    return kNoItem;
}

}  // namespace

ItemId CatalogueRig::shown(const std::string& node) {
    const std::optional<render::LinkTarget> target = helpwindow::NodeOfLink(node);
    return target ? find(tree, tree.root(), *target) : kNoItem;
}

TableCounts countsOf(library::HostDb& db, int lib) {
    TableCounts c;
    c.directory = db.count(lib, tables::Directory, "");
    c.list = db.count(lib, tables::KeywordList, "");
    c.data = db.count(lib, tables::KeywordData, "");
    if (lib == library::kPublic) c.records = db.count(lib, tables::UpdateList, "");
    if (lib == library::kPrivate) c.favorites = db.count(lib, tables::Favorite, "");
    return c;
}


}  // namespace orv::test
