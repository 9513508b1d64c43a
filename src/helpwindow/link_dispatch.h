// Following links: each click takes a ticket and is resolved on a worker, which hands
// the target back to the window's thread; there a result whose ticket is no longer the
// newest is dropped, so that a later click drops an earlier one. The target's page is
// shown first, then the tree is reloaded and walked down to the target, which is
// selected without showing its page a second time. Only the resolution runs off the
// window's thread: the tree is the window's alone.
#pragma once

#include "helpwindow/contents.h"
#include "helpwindow/window_thread.h"
#include "helpwindow/workers.h"
#include "render/link.h"

#include <optional>
#include <string>
#include <string_view>

namespace orv::helpwindow {

using render::TargetKind;

// Every call but the constructor's runs on the window's thread.
class LinkDispatcher {
public:
    LinkDispatcher(Contents& contents, WindowThread thread);
    // Waits for the resolutions still running; their results find the dispatcher gone.
    ~LinkDispatcher();
    LinkDispatcher(const LinkDispatcher&) = delete;
    LinkDispatcher& operator=(const LinkDispatcher&) = delete;

    // Takes the click's ticket and starts resolving a copy of the text on a worker;
    // returns at once. The target is shown when the result comes back, unless a later
    // click or ShowTarget took a ticket meanwhile.
    void OpenLink(std::string_view link);
    // Resolves the link on the calling thread and shows its target now.
    void DispatchLink(const std::string& link);
    // Shows the page of (lib, id, kind), reloads the tree and walks it down the target's
    // id path; id 0 selects the first top-level item (its page is the caller's to show).
    // Links still being resolved are dropped. Returns the item selected; kNoItem, with
    // nothing shown, when no such row exists.
    ItemId ShowTarget(int lib, long long id, TargetKind kind);

    // Blocks until every resolution started has ended (its result may still be queued
    // for this thread). A plain wait: resolutions never wait for this thread.
    void waitIdle() { workers_.waitIdle(); }

    // Clicks taken so far (each has a ticket, handled or dropped).
    long long ticketsIssued() const { return issued_; }

private:
    // A worker's result, back on the window's thread.
    void resolved(long long ticket, const std::optional<render::LinkTarget>& target);
    ItemId showNow(int lib, long long id, TargetKind kind);

    Contents& contents_;
    WindowThread thread_;
    long long issued_ = 0;
    Lifetime lifetime_;
    Workers workers_;
};

// The id path ShowTarget walks: the target's category ancestors from the top, then the
// target (for a member: its entry, then the member), joined by "\"; the private
// library's paths start with the private root's dID. Empty when the target leads nowhere.
std::string TargetIdPath(library::HostDb& db, int lib, long long id, TargetKind kind);

// The tree node that a link of the r, k or y form names ("r012" public category 12,
// "k17" private entry 7, "y03" public member 3); nothing for any other text.
std::optional<render::LinkTarget> NodeOfLink(std::string_view text);

// Walks the tree as it stands down to the target the way ShowTarget does, without
// reloading and without selecting, so that several nodes can be reached one after the
// other and their items stay valid. Closed levels on the way are opened with the target
// located, so it is found beyond a level's first 500 entries; a level that is already
// open is taken as it is. Returns the target's item, kNoItem when it cannot be reached.
ItemId revealTarget(Contents& contents, const render::LinkTarget& target);
// The same for a node as a tree record names it (the private root included).
ItemId revealNode(Contents& contents, const library::TreeNode& node);

// "搜索链接": the text other pages link to the node with ("href=\"s" L sID "\"" for an
// entry, "href=\"r" L dID "\"" for a category); empty when the entry has no texts.
std::string SearchLinkText(library::HostDb& db, const library::TreeNode& node);

}  // namespace orv::helpwindow
