// Following links: each click is handled on a worker of its own, serialised by two
// ticket counters so that a click still waiting when a later one arrives is dropped;
// the target's page is shown first (synchronously, on the user-interface thread, through
// the view), then the tree is reloaded and walked down to the target, which is selected
// without showing its page a second time.
#pragma once

#include "helpwindow/contents.h"
#include "helpwindow/workers.h"
#include "render/link.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv::helpwindow {

using render::TargetKind;

class LinkDispatcher {
public:
    explicit LinkDispatcher(Contents& contents);
    // Waits for the workers still running.
    ~LinkDispatcher();
    LinkDispatcher(const LinkDispatcher&) = delete;
    LinkDispatcher& operator=(const LinkDispatcher&) = delete;

    // Takes the click's ticket and starts a worker that handles a copy of the text in
    // its turn, as DispatchLink does; returns at once.
    void OpenLink(std::string_view link);
    // Takes a ticket, waits for its turn, and unless a later click came meanwhile
    // resolves the link and shows its target. Runs on the calling thread.
    void DispatchLink(const std::string& link);
    // Shows the page of (lib, id, kind), reloads the tree and walks it down the target's
    // id path; id 0 selects the first top-level item (its page is the caller's to show).
    // Returns the item selected; kNoItem, with nothing shown, when no such row exists.
    ItemId ShowTarget(int lib, long long id, TargetKind kind);

    // Blocks until every started worker has finished; `pump` (when given) is called
    // between short waits, so that a user-interface thread keeps its messages flowing.
    void waitIdle(const std::function<void()>& pump = {});

    // Clicks taken so far (each has a ticket, handled or dropped).
    long long ticketsIssued() const { return issued_.load(); }

private:
    // Waits for the ticket's turn; handles the link unless a later ticket was issued.
    void dispatchInTurn(long long ticket, const std::string& link);

    Contents& contents_;
    std::atomic<long long> issued_{0};
    std::atomic<long long> finished_{0};
    // Last, so that it waits for the workers before anything they use goes.
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
// Holds the contents' lock.
ItemId revealTarget(Contents& contents, const render::LinkTarget& target);
// The same for a node as a tree record names it (the private root included).
ItemId revealNode(Contents& contents, const library::TreeNode& node);

// "搜索链接": the text other pages link to the node with ("href=\"s" L sID "\"" for an
// entry, "href=\"r" L dID "\"" for a category); empty when the entry has no texts.
std::string SearchLinkText(library::HostDb& db, const library::TreeNode& node);

}  // namespace orv::helpwindow
