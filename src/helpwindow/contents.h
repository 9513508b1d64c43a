// The contents tab's tree: both libraries as one lazily loaded tree (categories, entries,
// members, the private library under its root node, recycle bins that hold something),
// with the expand, collapse and selection rules and the locate target that navigation
// uses to select an entry once its level loads. Used on the window's thread only.
#pragma once

#include "helpwindow/contents_tree.h"
#include "helpwindow/help_window_view.h"
#include "library/host_db.h"
#include "library/prompt.h"
#include "library/settings.h"
#include "library/tree_node.h"

#include <functional>
#include <string>
#include <vector>

namespace orv::helpwindow {

// A level shows at most this many entries (or members), then a "more" line.
inline constexpr int kLevelLimit = 500;

// The node navigation is about to select: set before the walk down the tree, it is
// inserted by the level load that reaches its category even when the level's first
// 500 rows do not hold it. An id of 0 means none.
struct LocateTarget {
    long long id = 0;
    long long parentId = 0;
    int lib = 0;
    bool member = false;  // only the id counts for a member
};

// Where the core reads the time: uDate now (the system clock when left empty).
using Clock = std::function<long long()>;

struct ContentsSources {
    library::HostDb& db;
    ContentsTree& tree;
    HelpWindowView& view;
    const library::Settings& settings;
    Clock now;
    // Where a failed write (the private root's row) is told.
    library::Prompter& prompter;
};

// The text of the line that stands for the entries a level leaves out.
std::string moreLineText(long long notShown);

class Contents {
public:
    explicit Contents(ContentsSources sources);

    // Frees every item and loads the public top level (with the private root) again.
    void Reload();
    // A node is about to open: loads its level (a category), the private library's top
    // level (the private root) or its members (an entry of type 5, 7 or 8).
    void OnExpanding(ItemId item);
    // Loads and shows the node open.
    void Expand(ItemId item);
    // A node was closed: its children go (their records freed), its button stays.
    void OnCollapsed(ItemId item);
    // Shows the node closed and lets its children go.
    void Collapse(ItemId item);
    // The selection moved to `item`: its page is shown unless the selection was made
    // by the core itself (SelectQuietly).
    void OnSelected(ItemId item);
    // Selects with the page suppressed (the page is already shown).
    void SelectQuietly(ItemId item);

    void setLocateTarget(const LocateTarget& target);
    void clearLocateTarget();

    // The child of `parent` whose record has that id (the id alone is compared).
    ItemId findChild(ItemId parent, long long id) const;
    // The same, for a category (or else an entry or member) only: a level may hold a
    // category and an entry whose ids happen to be equal.
    ItemId findChild(ItemId parent, long long id, bool category) const;
    // True when a recycle bin lies above the item.
    bool insideRecycleBin(ItemId item) const;
    // The recycle-bin node of a library among the shown nodes (top level for the public
    // library, below the private root for the private one); kNoItem when not shown.
    ItemId recycleBinNode(int lib) const;
    // The private root's node at the top level.
    ItemId privateRootNode() const;

    ContentsTree& tree() { return s_.tree; }
    const ContentsSources& sources() const { return s_; }

private:
    // One level of categories and entries of category `dID` under `parent`.
    void loadLevel(ItemId parent, int lib, long long dID, bool recycleBin);
    // The members of entry `kID` (or of another placement of its texts).
    void loadMembers(ItemId parent, int lib, long long kID);
    // The entries (or members) that `where` selects, the located node, the "more" line.
    void loadEntries(ItemId parent, int lib, long long parentId, const std::string& countWhere,
                     const std::string& listWhere, bool members);
    bool binHoldsSomething(int lib, long long binID);
    void addPrivateRoot(ItemId parent);
    ItemId insertNode(ItemId parent, const library::TreeNode& node, ItemImages images);
    LocateTarget locateTarget() const;
    long long now() const;

    ContentsSources s_;
    LocateTarget locate_;
    bool suppressPage_ = false;
};

// The images and child button of a node, by what it is.
ItemImages imagesOf(const library::TreeNode& node);
bool hasChildren(const library::TreeNode& node);
// A private root this load has just added shows the closed book even when selected.
inline constexpr ItemImages kAddedPrivateRootImages{kImageBook, kImageBook, kImageBookOpen};

}  // namespace orv::helpwindow
