// Moving the selected nodes to a category the user chose, and counting the categories
// and entries a selection holds.
#include "helpwindow/catalogue.h"

#include "helpwindow/catalogue_steps.h"
#include "library/descendants.h"
#include "library/fragment.h"
#include "library/schema.h"

#include <map>
#include <set>

namespace orv::helpwindow {

using namespace catalogue;
using library::MessageKind;
using library::TreeNode;
namespace tables = library::tables;

namespace {

// "0\5\9\" for category 9 below 5 at the top level: its ancestors from the top, then
// itself, each followed by "\". A loop in a damaged tree ends the walk where it closes.
std::string idPath(library::HostDb& db, int lib, long long dID) {
    std::vector<long long> chain;
    std::set<long long> seen;
    for (long long d = dID; d != 0 && seen.insert(d).second;
         d = library::toInt(db.findOnly(lib, tables::Directory, "dID=" + num(d), "ParentDir", "")))
        chain.push_back(d);
    std::string path = "0\\";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += num(*it) + "\\";
    return path;
}

// True when the target is the category itself or lies below it. In a sound tree that is
// "the target's id path starts with the category's"; looking for the category anywhere
// on the target's path says the same and also holds when a loop has bent the paths.
bool targetUnder(const std::string& targetPath, long long category) {
    return ("\\" + targetPath).find("\\" + num(category) + "\\") != std::string::npos;
}

}  // namespace

std::optional<MoveSelectionTaken> Catalogue::TakeMoveSelection() {
    std::optional<std::vector<Selected>> nodes = takeSelection(s_.contents.tree(), s_.prompter);
    if (!nodes || nodes->empty()) return std::nullopt;
    if (const std::string_view label = refusedLabel(*nodes); !label.empty()) {
        s_.prompter.message(std::string(label) + std::string(text::kCannotMove), MessageKind::Error);
        return std::nullopt;
    }
    // The chooser offers the first node's library: ids of the other one name other rows.
    if (spansLibraries(*nodes)) {
        s_.prompter.message(mixedLibrariesMessage(), MessageKind::Error);
        return std::nullopt;
    }
    const int lib = nodes->front().node.lib;
    return MoveSelectionTaken{std::move(*nodes), lib};
}

void Catalogue::MoveSelection(std::optional<long long> target) {
    const std::optional<MoveSelectionTaken> taken = TakeMoveSelection();
    if (taken && target) MoveTaken(*taken, *target);
}

namespace {

// Whether the node's row is still where it was when it was taken: the chooser's loop may
// have let the libraries change under it (records applied, another window's save).
bool stillWhereTaken(library::HostDb& db, const TreeNode& node) {
    const std::string parent =
        node.isCategory ? db.findOnly(node.lib, tables::Directory, "dID=" + num(node.id), "ParentDir", "")
                        : db.findOnly(node.lib, tables::KeywordList, "kID=" + num(node.id), "dID", "");
    return !parent.empty() && library::toInt(parent) == node.parentId;
}

}  // namespace

void Catalogue::MoveTaken(const MoveSelectionTaken& taken, long long target) {
    const std::vector<Selected>& nodes = taken.nodes;
    if (nodes.empty()) return;
    library::HostDb& db = dbOf(s_);
    const TreeNode& first = nodes.front().node;
    const int lib = taken.lib;
    for (const Selected& n : nodes) {
        if (n.node.lib != lib || !stillWhereTaken(db, n.node)) {
            s_.prompter.message(text::kSelectionChanged, MessageKind::Error);
            return;
        }
    }
    if (target != 0 && db.findOnly(lib, tables::Directory, "dID=" + num(target), "dID", "").empty()) {
        s_.prompter.message("目标分类不存在：" + std::string(libraryWord(lib)) + "的分类ID=" + num(target),
                            MessageKind::Error);
        return;
    }

    const std::string targetPath = idPath(db, lib, target);
    std::vector<long long> categories, entries;
    for (const Selected& n : nodes) {
        if (n.node.isCategory && targetUnder(targetPath, n.node.id)) {
            s_.prompter.message(text::kNotUnderItself, MessageKind::Error);
            return;
        }
        (n.node.isCategory ? categories : entries).push_back(n.node.id);
    }
    // A move onto the category the nodes come from would be refused by every library
    // that replays it; say so before the server counts it.
    if (first.parentId == target) {
        s_.prompter.message("节点已经在目标分类里，不需要移动。", MessageKind::Information);
        return;
    }
    const library::MoveDescription move{first.parentId, target, joinIds(categories), joinIds(entries)};
    const sync::PublicChange change{library::kMoved, target, first.name,
                                    library::moveDescriptionText(library::kMoved, move), library::AddService::Utf16};
    const sync::SaveResult saved = [&] {
        library::HostTransaction privateSide(dbOf(s_), library::kPrivate);
        sync::SaveResult r = saveChange(s_, lib, change, nowOf(s_));
        if (r.saved() && !privateSide.commit()) {
            r.step = sync::SaveStep::NotCommitted;
            r.error = db.errMsg(library::kPrivate);
        }
        return r;
    }();
    if (!saved.saved()) {
        reportFailedSave(s_, saved);
        return;
    }
    // The private library's top level is shown under its root, whose row is public.
    if (lib == library::kPrivate && target == 0) {
        const long long root = library::toInt(db.findOnly(library::kPublic, tables::Directory, "nType=11", "dID", ""));
        s_.links.ShowTarget(library::kPublic, root, TargetKind::Category);
        return;
    }
    s_.links.ShowTarget(lib, target, TargetKind::Category);
}

void Catalogue::CountSelection() {
    const std::optional<std::vector<Selected>> nodes = takeSelection(s_.contents.tree(), s_.prompter);
    if (!nodes) return;
    library::HostDb& db = dbOf(s_);
    s_.progress.OpenProgress(text::kCounting, 0, static_cast<int>(nodes->size()), false);
    // Each category once, by library, however often the selection reaches it (a
    // category selected with its parent is counted once).
    std::map<int, std::set<long long>> categories;
    std::vector<const TreeNode*> entries;
    int step = 0;
    for (const Selected& n : *nodes) {
        if (s_.progress.stopRequested()) break;
        s_.progress.StepProgress(++step);
        if (isPrivateRoot(n.node) || isRecycleBin(n.node)) continue;
        if (!n.node.isCategory) {
            entries.push_back(&n.node);
            continue;
        }
        for (std::string_view id : library::splitOutsideQuotes(library::descendantList(db, n.node.lib, n.node.id)))
            categories[n.node.lib].insert(library::toInt(id));
    }
    long long categoryCount = 0;
    for (const auto& [lib, ids] : categories) categoryCount += static_cast<long long>(ids.size());
    if (categoryCount == 0) {
        s_.progress.CloseProgress();
        return;
    }
    long long entryCount = 0;
    // An entry selected inside a selected category is counted with the category's rows.
    for (const TreeNode* e : entries) {
        const auto it = categories.find(e->lib);
        if (isMember(*e) || it == categories.end() || !it->second.count(e->parentId)) ++entryCount;
    }
    for (const auto& [lib, ids] : categories)
        entryCount += entriesAndMembersIn(db, lib, joinIds(std::vector<long long>(ids.begin(), ids.end())));
    s_.progress.CloseProgress();
    s_.prompter.message("统计选择项目包含分类和词条数量！\r\n分类数量：" + num(categoryCount) + "\r\n词条数量：" +
                            num(entryCount) + "\r\n总计数量：" + num(categoryCount + entryCount) +
                            "\r\n注：自动排除[回收站]和[私用库]分类",
                        MessageKind::Information);
}

}  // namespace orv::helpwindow
