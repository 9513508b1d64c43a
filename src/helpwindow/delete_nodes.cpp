// Deleting the selected nodes: outside a recycle bin they move into their library's bin
// (created on first use); inside one they are removed for good with everything below
// them and the entry texts nothing else uses.
#include "helpwindow/catalogue.h"

#include "helpwindow/catalogue_steps.h"
#include "library/descendants.h"
#include "library/fragment.h"
#include "library/schema.h"

#include <algorithm>
#include <set>
#include <utility>

namespace orv::helpwindow {

using namespace catalogue;
using library::MessageKind;
using library::TreeNode;
namespace tables = library::tables;

namespace {

std::string deleteQuestion(const std::vector<Selected>& nodes, std::string_view consequence) {
    std::string q;
    q.append(text::kAboutToDelete).append(nodes.front().text).append("\r\n");
    q.append(text::kInAll).append(num(static_cast<long long>(nodes.size()))).append(text::kRecords).append("\r\n");
    q.append(consequence).append("\r\n").append(text::kReally);
    return q;
}

// The library's recycle bin, added when it has none; 0 after telling why it could not be.
long long recycleBin(const CatalogueSources& s, int lib) {
    library::HostDb& db = dbOf(s);
    const long long found = library::toInt(db.findOnly(lib, tables::Directory, "nType=2", "dID", ""));
    if (found > 0) return found;
    const std::string_view name = lib == library::kPublic ? library::kPublicBinName : library::kPrivateBinName;
    const long long added = db.addItem(lib, tables::Directory,
                                       library::Assignments()
                                           .addText("DirName", name)
                                           .add("ParentDir", 0)
                                           .add("Sort", library::kRecycleBinSort)
                                           .add("nType", library::kCategoryRecycleBin)
                                           .add("uID", 0)
                                           .add("uDate", nowOf(s))
                                           .str());
    if (added < 1) s.prompter.message(library::failedAddMessage(db, lib), MessageKind::Error);
    return added < 1 ? 0 : added;
}

// Selects the item with its page shown, as a click would; the tree's root is no node.
void selectShown(Contents& contents, ItemId item) {
    ContentsTree& tree = contents.tree();
    if (item == kNoItem || item == tree.root()) {
        tree.select(kNoItem);
        return;
    }
    tree.select(item);
    contents.OnSelected(item);
}

void deleteItems(ContentsTree& tree, const std::vector<ItemId>& items) {
    for (ItemId item : outermostItems(tree, items)) tree.deleteItem(item);
}

// Rows a permanent removal took away, and the texts it has to look at afterwards.
struct Removal {
    std::set<std::pair<int, long long>> texts;  // (library, sID)
    bool failed = false;
    std::string error;  // the host's words, read as the write failed
};

bool noteTexts(library::HostDb& db, int lib, const std::string& where, Removal& r) {
    library::ResultTable rows;
    db.find(lib, tables::KeywordList, where, rows, "kID,sID", "", 0);
    for (int i = 0; i < rows.count(); ++i) r.texts.insert({lib, rows.number(i, 1)});
    return rows.count() > 0;
}

bool deleted(library::HostDb& db, int lib, std::string_view table, const std::string& where, Removal& r) {
    if (db.deleteItem(lib, table, where) >= 0) return true;
    r.failed = true;
    r.error = db.errMsg(lib);
    return false;
}

bool removeEntry(library::HostDb& db, const TreeNode& node, Removal& r) {
    const std::string where = "kID=" + num(node.id);
    noteTexts(db, node.lib, where, r);
    return deleted(db, node.lib, tables::KeywordList, where, r);
}

// A category with its whole subtree, the member rows of its entries and its entries.
bool removeCategory(library::HostDb& db, const TreeNode& node, Removal& r) {
    const int lib = node.lib;
    const std::string list = library::descendantList(db, lib, node.id);
    if (!deleted(db, lib, tables::Directory, "ParentDir in (" + list + ")", r)) return false;
    library::ResultTable owners;
    db.find(lib, tables::KeywordList, "dID in (" + list + ")  And nType In (5,7,8) ", owners, "kID,sID", "", 0);
    std::vector<long long> ownerIds;
    for (int i = 0; i < owners.count(); ++i) ownerIds.push_back(owners.number(i, 0));
    if (!ownerIds.empty()) {
        const std::string members = "dID in (" + joinIds(ownerIds) + ") And nType>19";
        if (noteTexts(db, lib, members, r) && !deleted(db, lib, tables::KeywordList, members, r)) return false;
    }
    // Member rows are left to the step above: their dID is an entry's kID, and one that
    // equals a listed category's id belongs to an entry elsewhere.
    const std::string entries = "dID in (" + list + ") And nType<20";
    if (noteTexts(db, lib, entries, r) && !deleted(db, lib, tables::KeywordList, entries, r)) return false;
    return deleted(db, lib, tables::Directory, "dID=" + num(node.id), r);
}

bool binIsEmpty(library::HostDb& db, const TreeNode& bin) {
    const std::string inside = num(bin.id);
    return db.findOnly(bin.lib, tables::Directory, "ParentDir=" + inside, "dID", "").empty() &&
           db.findOnly(bin.lib, tables::KeywordList, "dID=" + inside, "kID", "").empty();
}

}  // namespace

void Catalogue::DeleteSelection() {
    // A copied node may be about to disappear.
    copyList_.clear();
    const std::optional<std::vector<Selected>> nodes = takeSelection(s_.contents.tree(), s_.prompter);
    if (!nodes || nodes->empty()) return;
    if (const std::string_view label = refusedLabel(*nodes); !label.empty()) {
        s_.prompter.message(std::string(label) + std::string(text::kCannotDelete), MessageKind::Error);
        return;
    }
    if (s_.contents.insideRecycleBin(nodes->front().item))
        removeForGood(*nodes);
    else
        moveIntoBin(*nodes);
}

void Catalogue::moveIntoBin(const std::vector<Selected>& nodes) {
    // The ids of one library mean other rows in the other: a move of both would take
    // the wrong rows along.
    if (spansLibraries(nodes)) {
        s_.prompter.message(mixedLibrariesMessage(), MessageKind::Error);
        return;
    }
    if (settingsOf(s_).kill != 0 && !s_.prompter.ask(deleteQuestion(nodes, text::kMovesToBin))) return;
    const TreeNode& first = nodes.front().node;
    const int lib = first.lib;
    const long long bin = recycleBin(s_, lib);
    if (bin == 0) return;

    library::MoveDescription move{first.parentId, bin, {}, {}};
    std::vector<long long> categories, entries;
    for (const Selected& n : nodes) (n.node.isCategory ? categories : entries).push_back(n.node.id);
    move.categories = joinIds(categories);
    move.entries = joinIds(entries);
    sync::PublicChange change{library::kDeleted, first.parentId, first.name,
                              library::moveDescriptionText(library::kDeleted, move), library::AddService::Utf16};
    const sync::SaveResult saved = saveChange(s_, lib, change, nowOf(s_));
    if (!saved.saved()) {
        reportFailedSave(s_, saved);
        return;
    }

    ContentsTree& tree = s_.contents.tree();
    // Categories go whatever their parent; entries only from the first node's category.
    std::vector<ItemId> moved;
    for (const Selected& n : nodes)
        if (n.node.isCategory || n.node.parentId == first.parentId) moved.push_back(n.item);
    selectShown(s_.contents, tree.parent(nodes.front().item));
    deleteItems(tree, moved);
    if (settingsOf(s_).recycle == 0) return;
    ItemId binNode = s_.contents.recycleBinNode(lib);
    if (binNode == kNoItem) {
        const ItemId level = lib == library::kPublic ? tree.root() : s_.contents.privateRootNode();
        TreeNode record;
        record.id = bin;
        record.name = lib == library::kPublic ? library::kPublicBinName : library::kPrivateBinName;
        record.isCategory = true;
        record.lib = lib;
        record.type = library::kCategoryRecycleBin;
        const std::string name = record.name;
        const ItemImages images = imagesOf(record);
        if (level != kNoItem)
            binNode = tree.insert(level, name, std::make_unique<TreeNode>(std::move(record)), images, true);
        if (binNode == kNoItem) {
            s_.prompter.message(text::kBinNotCreated, MessageKind::Error);
            return;
        }
    }
    tree.setChildButton(binNode, true);
}

void Catalogue::removeForGood(const std::vector<Selected>& nodes) {
    if (!s_.prompter.ask(deleteQuestion(nodes, text::kDeletesForGood))) return;
    library::HostDb& db = dbOf(s_);
    const int count = static_cast<int>(nodes.size());
    s_.progress.OpenProgress(text::kDeletingForGood, 0, count, false);
    library::HostTransaction privateSide(db, library::kPrivate);
    library::HostTransaction publicSide(db, library::kPublic);

    Removal removal;
    std::vector<ItemId> removed;
    for (int i = 0; i < count && !s_.progress.stopRequested() && !removal.failed; ++i) {
        const TreeNode& node = nodes[static_cast<size_t>(i)].node;
        if (node.isCategory ? removeCategory(db, node, removal) : removeEntry(db, node, removal))
            removed.push_back(nodes[static_cast<size_t>(i)].item);
        s_.progress.StepProgress(i + 1);
    }
    {
        ContentsTree& tree = s_.contents.tree();
        const ItemId parent = tree.parent(nodes.front().item);
        selectShown(s_.contents, parent);
        deleteItems(tree, removed);
        const TreeNode* parentNode = tree.record(parent);
        if (parentNode && isRecycleBin(*parentNode) && binIsEmpty(db, *parentNode)) tree.deleteItem(parent);
    }

    // Texts go only when no list row of their library still uses them (a shared entry
    // keeps its texts), and even after a failure, so that none is left unreachable.
    std::string textsError;
    int step = 0;
    const int texts = static_cast<int>(removal.texts.size());
    for (const auto& [lib, sID] : removal.texts) {
        const std::string where = "sID=" + num(sID);
        if (db.count(lib, tables::KeywordList, where) == 0 && db.deleteItem(lib, tables::KeywordData, where) < 0 &&
            textsError.empty())
            textsError = db.errMsg(lib);
        s_.progress.StepProgress(count * ++step / std::max(texts, 1));
    }
    std::string commitError;
    if (!privateSide.commit()) commitError = db.errMsg(library::kPrivate);
    if (!publicSide.commit() && commitError.empty()) commitError = db.errMsg(library::kPublic);
    s_.progress.CloseProgress();
    if (removal.failed)
        s_.prompter.message(library::failedWriteMessage(removal.error), MessageKind::Error);
    else if (!textsError.empty())
        s_.prompter.message(library::failedWriteMessage(textsError), MessageKind::Error);
    else if (!commitError.empty())
        s_.prompter.message(library::failedWriteMessage(commitError), MessageKind::Error);
}

}  // namespace orv::helpwindow
