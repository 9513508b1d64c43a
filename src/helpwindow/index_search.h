// The index, search and favorites panes: filling the result list as the user types (the
// lookup of each change on a worker, only the newest one's lines shown), the full-text
// search, the favorites list, and opening a chosen line.
#pragma once

#include "helpwindow/help_window_view.h"
#include "helpwindow/result_list.h"
#include "helpwindow/window_thread.h"
#include "helpwindow/workers.h"
#include "library/host_db.h"
#include "library/prompt.h"
#include "library/tree_node.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow {

inline constexpr int kIndexLimit = 999;      // rows per library
inline constexpr int kSearchLimit = 300;     // rows per library
inline constexpr int kFavoritesLimit = 999;

// Lines of the list that only say something.
inline constexpr std::string_view kNothingFound = "...奇怪，什么也没找到...";
inline constexpr std::string_view kNoFavorites = "..没有收藏，点击收藏按钮收藏...";
inline constexpr std::string_view kFavoriteGoneQuestion = "这个收藏的词条已经被删除，你是不是要删除这个收藏？";

// Follows a page link ("k" or "y", the library digit, the kID). The window hands in its
// LinkDispatcher's OpenLink; orvhelp and the tests one that keeps the link.
using LinkOpener = std::function<void(std::string_view link)>;

struct PaneSources {
    library::HostDb& db;
    ResultList& list;
    HelpWindowView& view;
    LinkOpener openLink;
    library::Prompter& prompter;
    WindowThread thread;
};

// A line as a lookup hands it back: its text and, unless it is a notice, its record.
struct FoundLine {
    std::string text;
    std::optional<library::TreeNode> record;
};

// One refill of the list, as plain values.
struct FoundLines {
    std::vector<FoundLine> lines;
    long long notShown = 0;  // rows the libraries hold beyond those read: a notice goes first
    int exact = -1;          // the first exact match among `lines`, -1 for none
};

// The lines of an index lookup of `text` (entries whose keyword starts with it, at most
// kIndexLimit per library). Reads the libraries only, so any thread may run it; it gives
// up, with nothing, as soon as `stillWanted` says no.
std::optional<FoundLines> IndexLines(library::HostDb& db, const std::string& text,
                                     const std::function<bool()>& stillWanted);

// Every call but the constructor's runs on the window's thread.
class IndexAndSearch {
public:
    explicit IndexAndSearch(PaneSources sources);
    // Waits for the lookups still running; their results find the panes gone.
    ~IndexAndSearch();
    IndexAndSearch(const IndexAndSearch&) = delete;
    IndexAndSearch& operator=(const IndexAndSearch&) = delete;

    // The search box changed: on the index tab, starts a lookup of its text on a worker.
    // Its lines are shown when they come back, unless a later lookup or search was
    // started meanwhile or the tab changed.
    void StartIndexLookup();
    // The lookup of `text`, shown now.
    void IndexLookup(const std::string& text);
    // The search button: the full-text search on the search tab, the favorites on the
    // favorites tab.
    void RunSearch();
    // A line was chosen: opens its page (or offers to drop a favorite whose entry is gone).
    void OpenListItem();

    // Blocks until every lookup started has ended (its lines may still be queued for
    // this thread). A plain wait: lookups never wait for this thread.
    void waitIdle() { workers_.waitIdle(); }

private:
    // A lookup's lines, back on the window's thread.
    void looked(long long generation, const FoundLines& found);
    // Fills the list with `found`: the notice first, the exact match selected.
    void show(const FoundLines& found);

    PaneSources s_;
    // Read by the workers to stop early: shared, so that a late worker finds it still there.
    std::shared_ptr<std::atomic<long long>> generation_ = std::make_shared<std::atomic<long long>>(0);
    Lifetime lifetime_;
    Workers workers_;
};

// The link a list line opens: "k" for an entry, "y" for a member, then the library digit
// and the kID.
std::string listItemLink(const library::TreeNode& record);

}  // namespace orv::helpwindow
