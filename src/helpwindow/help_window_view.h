// What the core asks of the help window besides its tree and list: showing a page (the
// page message 0x501, sent so that the page is built on the user-interface thread), and
// the search box and tabs of the index, search and favorites panes. The Win32 window
// implements it with its controls; the tests and orvhelp with MemoryView.
#pragma once

#include "library/tree_node.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow {

// The tabs of the help window, in their order.
enum Tab : int { kTabContents = 0, kTabIndex = 1, kTabSearch = 2, kTabFavorites = 3 };

class HelpWindowView {
public:
    virtual ~HelpWindowView() = default;
    // Renders the record's page and returns once it is shown (the record may live on the
    // caller's stack). False when nothing could be shown.
    virtual bool showPage(const library::TreeNode& record) = 0;
    virtual int currentTab() const = 0;
    virtual void switchTab(int tab) = 0;
    virtual std::string searchText() const = 0;
    // Sets the search box without starting a lookup of its own.
    virtual void setSearchTextQuietly(std::string_view text) = 0;
    virtual bool searchHasFocus() const = 0;
};

// The view in memory: pages shown are recorded, the box and tab are plain values.
class MemoryView : public HelpWindowView {
public:
    bool showPage(const library::TreeNode& record) override {
        std::lock_guard lock(mutex_);
        shown.push_back(record);
        return true;
    }
    int currentTab() const override {
        std::lock_guard lock(mutex_);
        return tab;
    }
    void switchTab(int t) override {
        std::lock_guard lock(mutex_);
        tab = t;
    }
    std::string searchText() const override {
        std::lock_guard lock(mutex_);
        return box;
    }
    void setSearchTextQuietly(std::string_view text) override {
        std::lock_guard lock(mutex_);
        box = std::string(text);
    }
    bool searchHasFocus() const override {
        std::lock_guard lock(mutex_);
        return boxFocused;
    }

    std::vector<library::TreeNode> shownPages() const {
        std::lock_guard lock(mutex_);
        return shown;
    }

    int tab = kTabContents;
    std::string box;
    bool boxFocused = false;

private:
    mutable std::mutex mutex_;
    std::vector<library::TreeNode> shown;
};

}  // namespace orv::helpwindow
