// The catalogue commands of the contents tree: delete (into the recycle bin, or for good
// inside one), copy and paste (plain or with shared texts), move, statistics, and the
// favorites toggle. They act on the selected nodes, ask and tell through the prompt
// seam, run long work behind the progress seam, and save public-library changes through
// the one public-save path.
#pragma once

#include "helpwindow/contents.h"
#include "helpwindow/link_dispatch.h"
#include "library/progress.h"
#include "library/prompt.h"
#include "sync/server_protocol.h"

#include <optional>
#include <string>
#include <vector>

namespace orv::helpwindow {

namespace catalogue {

// A selected node: its item, a copy of its record (the item may go while the command
// runs) and the text the tree shows for it.
struct Selected {
    ItemId item = kNoItem;
    library::TreeNode node;
    std::string text;
};

}  // namespace catalogue

// What 移动 takes before the chooser opens: the nodes, and the library whose categories
// the chooser offers.
struct MoveSelectionTaken {
    std::vector<catalogue::Selected> nodes;
    int lib = 0;
};

// What the commands need besides the tree.
struct CatalogueSources {
    Contents& contents;
    LinkDispatcher& links;
    library::Prompter& prompter;
    library::Progress& progress;
    sync::ServerSession& session;  // its settings are the window's settings
};

// Delete, copy, move and count take the tree's selection, at most kMaxSelection nodes: a
// larger one is refused with a message rather than cut to its first 1000, which would
// act on a part the user cannot see. Paste and the favorites toggle take the first
// selected node. All run on the user-interface thread.
class Catalogue {
public:
    explicit Catalogue(CatalogueSources sources);

    // Into the recycle bin outside one, for good inside one.
    void DeleteSelection();
    void CopySelection();
    void PasteCopied(bool shared);
    // 移动 in two steps around the chooser. TakeMoveSelection refuses, with a message,
    // what cannot move (the private root, a bin, nodes of both libraries, too many);
    // MoveTaken moves those nodes under `target` (a category of `taken.lib`, 0 for the
    // top level), unless a node is no longer where it was taken from.
    std::optional<MoveSelectionTaken> TakeMoveSelection();
    void MoveTaken(const MoveSelectionTaken& taken, long long target);
    // Both at once: `target` is the chosen category, nothing when the user cancelled.
    void MoveSelection(std::optional<long long> target);
    void CountSelection();
    void ToggleFavorite();

    // "r" L dID / "k" L kID items joined by ","; empty when nothing is copied.
    const std::string& copyList() const { return copyList_; }

private:
    void moveIntoBin(const std::vector<catalogue::Selected>& nodes);
    void removeForGood(const std::vector<catalogue::Selected>& nodes);

    CatalogueSources s_;
    std::string copyList_;
};

}  // namespace orv::helpwindow
