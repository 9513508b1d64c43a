// Loading the contents tree level by level, and what expanding, collapsing and selecting
// a node do to it.
#include "helpwindow/contents.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "library/udate.h"

#include <set>

namespace orv::helpwindow {

using library::ResultTable;
using library::Row;
using library::TreeNode;
namespace tables = library::tables;

namespace {

constexpr std::string_view kEntryFields = "kID,DisplayKeyWord,nType";
constexpr std::string_view kEntryOrder = "Sort,DisplayKeyWord";

// Categories whose picture follows their state: not bins, not leaves.
bool showsOpenBook(const TreeNode& node) {
    return node.isCategory && node.type != library::kCategoryRecycleBin && node.type != library::kCategoryLeaf;
}

// The record of a row read as "id,name,nType" (a category's or an entry's fields).
TreeNode nodeOf(const Row& row, long long parentId, int lib, bool isCategory) {
    TreeNode node;
    node.id = library::cellNumber(row, 0);
    node.name = library::cellText(row, 1);
    node.type = static_cast<int>(library::cellNumber(row, 2));
    node.parentId = parentId;
    node.isCategory = isCategory;
    node.lib = lib;
    return node;
}

}  // namespace

std::string moreLineText(long long notShown) {
    return ".......下面还有" + std::to_string(notShown) + "条被省略";
}

ItemImages imagesOf(const TreeNode& node) {
    if (!node.isCategory) return {kImageFile, kImageFile, kImageFile};
    switch (node.type) {
    case library::kCategoryLeaf: return {kImageFile, kImageFile, kImageFile};
    case library::kCategoryRecycleBin: return {kImageTrash, kImageTrash, kImageTrash};
    default: return {kImageBook, kImageBookOpen, kImageBookOpen};
    }
}

bool hasChildren(const TreeNode& node) {
    if (node.isCategory) return node.type != library::kCategoryLeaf;
    return library::canOwnMembers(node.type);
}

Contents::Contents(ContentsSources sources) : s_(std::move(sources)) {}

long long Contents::now() const { return s_.now ? s_.now() : library::uDateNow(); }

void Contents::Reload() {
    s_.tree.deleteChildren(s_.tree.root());
    loadLevel(s_.tree.root(), library::kPublic, 0, false);
}

ItemId Contents::insertNode(ItemId parent, const TreeNode& node, ItemImages images) {
    return s_.tree.insert(parent, node.name, std::make_unique<TreeNode>(node), images, hasChildren(node));
}

bool Contents::binHoldsSomething(int lib, long long binID) {
    const std::string id = std::to_string(binID);
    return !s_.db.findOnly(lib, tables::Directory, "ParentDir=" + id, "dID", "").empty() ||
           !s_.db.findOnly(lib, tables::KeywordList, "dID=" + id, "kID", "").empty();
}

void Contents::addPrivateRoot(ItemId parent) {
    const std::string row = library::Assignments()
                                .addText("DirName", library::kPrivateRootName)
                                .add("ParentDir", 0)
                                .add("Sort", library::kPrivateRootSort)
                                .add("nType", library::kCategoryPrivateRoot)
                                .add("uID", 0)
                                .add("uDate", now())
                                .str();
    const long long dID = s_.db.addItem(library::kPublic, tables::Directory, row);
    if (dID < 1) {
        s_.prompter.message(library::failedAddMessage(s_.db, library::kPublic), library::MessageKind::Error);
        return;
    }
    TreeNode node;
    node.id = dID;
    node.name = std::string(library::kPrivateRootName);
    node.isCategory = true;
    node.lib = library::kPrivate;
    node.type = library::kCategoryPrivateRoot;
    insertNode(parent, node, kAddedPrivateRootImages);
}

void Contents::loadLevel(ItemId parent, int lib, long long dID, bool recycleBin) {
    const std::string parentCondition = "ParentDir=" + std::to_string(dID);
    ResultTable categories;
    s_.db.find(lib, tables::Directory, parentCondition, categories, "dID,DirName,nType", "Sort,DirName", 0);
    bool rootFound = false;
    for (const Row& row : categories.rows) {
        TreeNode node = nodeOf(row, dID, lib, true);
        if (node.type == library::kCategoryPrivateRoot) {
            node.lib = library::kPrivate;
            rootFound = true;
        } else if (node.type == library::kCategoryRecycleBin) {
            if (s_.settings.recycle == 0 || !binHoldsSomething(lib, node.id)) continue;
        }
        insertNode(parent, node, imagesOf(node));
    }
    if (lib == library::kPublic && dID == 0 && !rootFound) addPrivateRoot(parent);

    // A bin lists whatever was deleted into it, member rows included.
    const std::string where = recycleBin ? "dID=" + std::to_string(dID)
                                         : "nType <20 And dID=" + std::to_string(dID);
    loadEntries(parent, lib, dID, where, where, false);
}

void Contents::loadMembers(ItemId parent, int lib, long long kID) {
    auto countWhere = [](long long k) { return "nType>19 And dID=" + std::to_string(k); };
    if (s_.db.count(lib, tables::KeywordList, countWhere(kID)) == 0) {
        // The members may hang off another placement of the same texts.
        const long long sID =
            library::toInt(s_.db.findOnly(lib, tables::KeywordList, "kID=" + std::to_string(kID), "sID", ""));
        if (sID > 0) {
            const long long other = library::toInt(s_.db.findOnly(
                lib, tables::KeywordList, "sID=" + std::to_string(sID) + " And kID<>" + std::to_string(kID), "kID", ""));
            if (other != 0) kID = other;
        }
    }
    loadEntries(parent, lib, kID, countWhere(kID), "nType>19  And dID=" + std::to_string(kID), true);
}

void Contents::loadEntries(ItemId parent, int lib, long long parentId, const std::string& countWhere,
                           const std::string& listWhere, bool members) {
    const long long total = s_.db.count(lib, tables::KeywordList, countWhere);
    ResultTable rows;
    s_.db.find(lib, tables::KeywordList, listWhere, rows, kEntryFields, kEntryOrder, kLevelLimit);
    std::set<long long> shown;
    for (const Row& row : rows.rows) {
        const TreeNode node = nodeOf(row, parentId, lib, false);
        shown.insert(node.id);
        insertNode(parent, node, imagesOf(node));
    }

    // The node navigation is heading for joins its level even past the limit. A member
    // is known by its id alone: it is only ever looked for below its own entry.
    const LocateTarget target = locateTarget();
    const bool located = target.id != 0 && target.member == members &&
                         (members || (target.parentId == parentId && target.lib == lib));
    if (located && shown.count(target.id) == 0) {
        Row row;
        if (s_.db.findOne(lib, tables::KeywordList, "kID=" + std::to_string(target.id), row, kEntryFields, "")) {
            const TreeNode node = nodeOf(row, parentId, lib, false);
            shown.insert(node.id);
            insertNode(parent, node, imagesOf(node));
        }
    }

    const long long notShown = total - static_cast<long long>(shown.size());
    if (notShown > 0) s_.tree.insert(parent, moreLineText(notShown), nullptr, {kImageFile, kImageFile, kImageFile}, false);
}

void Contents::OnExpanding(ItemId item) {
    const TreeNode* found = s_.tree.record(item);
    if (!found || !hasChildren(*found)) return;
    const TreeNode node = *found;
    // A level is read afresh every time it opens.
    s_.tree.deleteChildren(item);
    if (!node.isCategory) {
        loadMembers(item, node.lib, node.id);
        return;
    }
    if (node.type == library::kCategoryPrivateRoot)
        loadLevel(item, library::kPrivate, 0, false);
    else
        loadLevel(item, node.lib, node.id, node.type == library::kCategoryRecycleBin);
    if (showsOpenBook(node)) {
        ItemImages images = s_.tree.images(item);
        images.normal = kImageBookOpen;
        s_.tree.setImages(item, images);
    }
}

void Contents::Expand(ItemId item) {
    OnExpanding(item);
    s_.tree.setExpanded(item, true);
}

void Contents::OnCollapsed(ItemId item) {
    const TreeNode* found = s_.tree.record(item);
    if (!found) return;
    const TreeNode node = *found;
    s_.tree.deleteChildren(item);
    s_.tree.setChildButton(item, hasChildren(node));
    if (showsOpenBook(node)) {
        ItemImages images = s_.tree.images(item);
        images.normal = kImageBook;
        s_.tree.setImages(item, images);
    }
}

void Contents::Collapse(ItemId item) {
    s_.tree.setExpanded(item, false);
    OnCollapsed(item);
}

void Contents::OnSelected(ItemId item) {
    const TreeNode* found = s_.tree.record(item);
    if (!found) return;
    const TreeNode node = *found;
    if (!suppressPage_) s_.view.showPage(node);
    if (showsOpenBook(node)) {
        ItemImages images = s_.tree.images(item);
        images.normal = s_.tree.children(item).empty() ? kImageBook : kImageBookOpen;
        s_.tree.setImages(item, images);
    }
}

void Contents::SelectQuietly(ItemId item) {
    suppressPage_ = true;
    s_.tree.select(item);
    OnSelected(item);
    suppressPage_ = false;
}

void Contents::setLocateTarget(const LocateTarget& target) { locate_ = target; }

void Contents::clearLocateTarget() { setLocateTarget(LocateTarget{}); }

LocateTarget Contents::locateTarget() const { return locate_; }

ItemId Contents::findChild(ItemId parent, long long id) const {
    for (ItemId child : s_.tree.children(parent))
        if (const TreeNode* node = s_.tree.record(child); node && node->id == id) return child;
    return kNoItem;
}

ItemId Contents::findChild(ItemId parent, long long id, bool category) const {
    for (ItemId child : s_.tree.children(parent))
        if (const TreeNode* node = s_.tree.record(child); node && node->id == id && node->isCategory == category)
            return child;
    return kNoItem;
}

bool Contents::insideRecycleBin(ItemId item) const {
    for (ItemId above = s_.tree.parent(item); above != kNoItem; above = s_.tree.parent(above))
        if (const TreeNode* node = s_.tree.record(above);
            node && node->isCategory && node->type == library::kCategoryRecycleBin)
            return true;
    return false;
}

ItemId Contents::privateRootNode() const {
    for (ItemId child : s_.tree.children(s_.tree.root()))
        if (const TreeNode* node = s_.tree.record(child);
            node && node->isCategory && node->type == library::kCategoryPrivateRoot)
            return child;
    return kNoItem;
}

ItemId Contents::recycleBinNode(int lib) const {
    const ItemId level = lib == library::kPublic ? s_.tree.root() : privateRootNode();
    if (level == kNoItem) return kNoItem;
    for (ItemId child : s_.tree.children(level))
        if (const TreeNode* node = s_.tree.record(child);
            node && node->isCategory && node->type == library::kCategoryRecycleBin && node->lib == lib)
            return child;
    return kNoItem;
}

}  // namespace orv::helpwindow
