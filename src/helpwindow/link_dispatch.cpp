// Following links, resolved on workers, and walking the contents tree down to the node a
// link names.
#include "helpwindow/link_dispatch.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "render/category_trail.h"

#include <vector>

namespace orv::helpwindow {

using library::TreeNode;
namespace tables = library::tables;

namespace {

// Where a target hangs in its library: the category its chain of ancestors starts from
// (the category's parent, the entry's category, the category of a member's entry), and
// for a member its entry. Each value is one single-value query; nothing when a row is
// missing.
struct TargetPlace {
    long long start = 0;
    long long owner = 0;
};

std::optional<long long> singleValue(library::HostDb& db, int lib, std::string_view table, const std::string& where,
                                     std::string_view field) {
    const std::string value = db.findOnly(lib, table, where, field, "");
    if (value.empty()) return std::nullopt;
    return library::toInt(value);
}

std::optional<TargetPlace> targetPlace(library::HostDb& db, int lib, long long id, TargetKind kind) {
    if (id == 0) return std::nullopt;
    const std::string self = std::to_string(id);
    std::optional<long long> start;
    TargetPlace place;
    switch (kind) {
    case TargetKind::Category: start = singleValue(db, lib, tables::Directory, "dID=" + self, "ParentDir"); break;
    case TargetKind::Entry: start = singleValue(db, lib, tables::KeywordList, "kID=" + self, "dID"); break;
    case TargetKind::Member: {
        const std::optional<long long> owner = singleValue(db, lib, tables::KeywordList, "kID=" + self, "dID");
        if (!owner) return std::nullopt;
        place.owner = *owner;
        start = singleValue(db, lib, tables::KeywordList, "kID=" + std::to_string(*owner), "dID");
        break;
    }
    }
    if (!start) return std::nullopt;
    place.start = *start;
    return place;
}

// The way down to a target: the ids from the top, of which the last `entrySteps` name
// entries (the target itself, or a member's entry and the member) and the rest categories.
struct IdSteps {
    std::vector<long long> ids;
    int entrySteps = 0;
};

std::optional<IdSteps> targetSteps(library::HostDb& db, int lib, long long id, TargetKind kind,
                                   const TargetPlace& place) {
    IdSteps steps;
    if (lib == library::kPrivate) {
        const std::optional<long long> root = singleValue(
            db, library::kPublic, tables::Directory, "nType=" + std::to_string(library::kCategoryPrivateRoot), "dID");
        // Without its root the private tree is not in the contents at all.
        if (!root) return std::nullopt;
        steps.ids.push_back(*root);
    }
    // "0\5\9\": the walk up stops at the top, at a missing parent, or where a damaged
    // tree loops back on itself.
    const std::string ancestors = render::IdPath(db, lib, place.start);
    size_t from = ancestors.rfind("0\\", 0) == 0 ? 2 : 0;
    while (from < ancestors.size()) {
        const size_t end = ancestors.find('\\', from);
        steps.ids.push_back(library::toInt(ancestors.substr(from, end - from)));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    if (kind == TargetKind::Member) steps.ids.push_back(place.owner);
    steps.ids.push_back(id);
    steps.entrySteps = kind == TargetKind::Category ? 0 : kind == TargetKind::Entry ? 1 : 2;
    return steps;
}

// Follows the steps from the root, opening each closed node found (with the target
// located, so that a long level still holds it). `complete` says whether every step was
// found; when one is missing, the walk ends on the last child it looked at in that level.
ItemId walk(Contents& contents, const IdSteps& steps, bool& complete) {
    ContentsTree& tree = contents.tree();
    ItemId at = tree.root();
    ItemId reached = kNoItem;
    complete = false;
    const size_t firstEntry = steps.ids.size() - static_cast<size_t>(steps.entrySteps);
    for (size_t i = 0; i < steps.ids.size(); ++i) {
        const ItemId found = contents.findChild(at, steps.ids[i], i < firstEntry);
        if (found == kNoItem) {
            const std::vector<ItemId> level = tree.children(at);
            if (!level.empty()) reached = level.back();
            return reached;
        }
        reached = found;
        if (tree.hasChildButton(found) && !tree.isExpanded(found)) contents.Expand(found);
        at = found;
    }
    complete = true;
    return reached;
}

ItemId walkTo(Contents& contents, const IdSteps& steps, int lib, long long id, TargetKind kind,
              const TargetPlace& place, bool& complete) {
    LocateTarget locate;
    if (kind == TargetKind::Entry) {
        locate.id = id;
        locate.parentId = place.start;
        locate.lib = lib;
    } else if (kind == TargetKind::Member) {
        locate.id = id;
        locate.member = true;
    }
    contents.setLocateTarget(locate);
    const ItemId reached = walk(contents, steps, complete);
    contents.clearLocateTarget();
    return reached;
}

std::string joinSteps(const IdSteps& steps) {
    std::string path;
    for (long long id : steps.ids) {
        if (!path.empty()) path += '\\';
        path += std::to_string(id);
    }
    return path;
}

}  // namespace

LinkDispatcher::LinkDispatcher(Contents& contents, WindowThread thread)
    : contents_(contents), thread_(std::move(thread)), workers_(thread_.startJob) {}

LinkDispatcher::~LinkDispatcher() { waitIdle(); }

void LinkDispatcher::OpenLink(std::string_view link) {
    const long long ticket = ++issued_;
    // The worker gets copies and the library, never the window's objects: what it finds
    // comes back as plain values, to a dispatcher that may be gone by then.
    library::HostDb& db = contents_.sources().db;
    workers_.start([&db, post = thread_.post, token = lifetime_.token(), this, ticket, copy = std::string(link)] {
        std::optional<render::LinkTarget> target = render::ResolveLink(db, copy);
        post([token, this, ticket, target] {
            if (!Lifetime::ended(token)) resolved(ticket, target);
        });
    });
    // No thread to be had: the click is lost, as a click on a busy machine may be.
}

void LinkDispatcher::DispatchLink(const std::string& link) {
    const long long ticket = ++issued_;
    resolved(ticket, render::ResolveLink(contents_.sources().db, link));
}

void LinkDispatcher::resolved(long long ticket, const std::optional<render::LinkTarget>& target) {
    if (ticket != issued_) return;  // a later click came meanwhile
    if (target) showNow(target->lib, target->id, target->kind);
}

ItemId LinkDispatcher::ShowTarget(int lib, long long id, TargetKind kind) {
    ++issued_;
    return showNow(lib, id, kind);
}

ItemId LinkDispatcher::showNow(int lib, long long id, TargetKind kind) {
    library::HostDb& db = contents_.sources().db;
    ContentsTree& tree = contents_.tree();
    if (id == 0) {
        contents_.Reload();
        const std::vector<ItemId> top = tree.children(tree.root());
        const ItemId first = top.empty() ? kNoItem : top.front();
        contents_.SelectQuietly(first);
        return first;
    }
    // A target that leads nowhere changes nothing, not even the page.
    const std::optional<TargetPlace> place = targetPlace(db, lib, id, kind);
    if (!place) return kNoItem;
    // The page comes first, before the tree is touched.
    contents_.sources().view.showPage(render::recordOfTarget({lib, id, kind}));

    contents_.Reload();
    // After the reload, which adds the private root when it was missing.
    const std::optional<IdSteps> steps = targetSteps(db, lib, id, kind, *place);
    if (!steps) return kNoItem;
    bool complete = false;
    const ItemId reached = walkTo(contents_, *steps, lib, id, kind, *place, complete);
    contents_.SelectQuietly(reached);
    return reached;
}

std::string TargetIdPath(library::HostDb& db, int lib, long long id, TargetKind kind) {
    const std::optional<TargetPlace> place = targetPlace(db, lib, id, kind);
    if (!place) return {};
    const std::optional<IdSteps> steps = targetSteps(db, lib, id, kind, *place);
    return steps ? joinSteps(*steps) : std::string();
}

std::optional<render::LinkTarget> NodeOfLink(std::string_view text) {
    render::ParsedLink link;
    if (!render::ParseLink(text, link)) return std::nullopt;
    switch (link.letter) {
    case 'r': return render::LinkTarget{link.lib, link.number, TargetKind::Category};
    case 'k': return render::LinkTarget{link.lib, link.number, TargetKind::Entry};
    case 'y': return render::LinkTarget{link.lib, link.number, TargetKind::Member};
    default: return std::nullopt;
    }
}

ItemId revealTarget(Contents& contents, const render::LinkTarget& target) {
    library::HostDb& db = contents.sources().db;
    const std::optional<TargetPlace> place = targetPlace(db, target.lib, target.id, target.kind);
    if (!place) return kNoItem;
    const std::optional<IdSteps> steps = targetSteps(db, target.lib, target.id, target.kind, *place);
    if (!steps) return kNoItem;
    bool complete = false;
    const ItemId reached = walkTo(contents, *steps, target.lib, target.id, target.kind, *place, complete);
    return complete ? reached : kNoItem;
}

ItemId revealNode(Contents& contents, const TreeNode& node) {
    if (node.isCategory) {
        // The private root's row lives in the public library.
        const int lib = node.type == library::kCategoryPrivateRoot ? library::kPublic : node.lib;
        return revealTarget(contents, {lib, node.id, TargetKind::Category});
    }
    const TargetKind kind = node.type >= library::kFirstMemberType ? TargetKind::Member : TargetKind::Entry;
    return revealTarget(contents, {node.lib, node.id, kind});
}

std::string SearchLinkText(library::HostDb& db, const TreeNode& node) {
    if (node.isCategory) {
        const int lib = node.type == library::kCategoryPrivateRoot ? library::kPublic : node.lib;
        return "href=\"r" + std::to_string(lib) + std::to_string(node.id) + "\"";
    }
    const long long sID =
        library::toInt(db.findOnly(node.lib, tables::KeywordList, "kID=" + std::to_string(node.id), "sID", ""));
    if (sID == 0) return {};
    return "href=\"s" + std::to_string(node.lib) + std::to_string(sID) + "\"";
}

}  // namespace orv::helpwindow
