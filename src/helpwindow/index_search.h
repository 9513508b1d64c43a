// The index, search and favorites panes: filling the result list as the user types (on a
// worker per change, only the newest lookup finishing), the full-text search, the
// favorites list, and opening a chosen line.
#pragma once

#include "helpwindow/help_window_view.h"
#include "helpwindow/result_list.h"
#include "helpwindow/workers.h"
#include "library/host_db.h"
#include "library/prompt.h"
#include "library/tree_node.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

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
};

class IndexAndSearch {
public:
    explicit IndexAndSearch(PaneSources sources);
    // Waits for the lookups still running.
    ~IndexAndSearch();
    IndexAndSearch(const IndexAndSearch&) = delete;
    IndexAndSearch& operator=(const IndexAndSearch&) = delete;

    // The search box changed: on the index tab, starts a lookup of its text on a worker.
    void StartIndexLookup();
    // The lookup itself, on the calling thread; a newer lookup makes it stop early.
    void IndexLookup(const std::string& text);
    // The search button: the full-text search on the search tab, the favorites on the
    // favorites tab.
    void RunSearch();
    // A line was chosen: opens its page (or offers to drop a favorite whose entry is gone).
    void OpenListItem();

    // Blocks until every started lookup has finished; `pump` runs between short waits.
    void waitIdle(const std::function<void()>& pump = {});

private:
    // The lookup that took `generation`: it stays current while no later one was taken.
    void lookupAs(long long generation, const std::string& text);
    // A worker's run: the lookup, and the list shown again however it ends.
    void runWorker(long long generation, const std::string& text);
    bool current(long long generation) const { return generation_.load() == generation; }

    PaneSources s_;
    std::atomic<long long> generation_{0};
    std::mutex lookupLock_;
    // Last, so that it waits for the lookups before anything they use goes.
    Workers workers_;
};

// The link a list line opens: "k" for an entry, "y" for a member, then the library digit
// and the kID.
std::string listItemLink(const library::TreeNode& record);

}  // namespace orv::helpwindow
