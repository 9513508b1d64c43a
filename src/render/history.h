// The navigation history behind the back and forward buttons: up to 99 link texts and
// the position of the page shown.
#pragma once

#include <deque>
#include <optional>
#include <string>

namespace orv::render {

class NavigationHistory {
public:
    static constexpr int kCapacity = 99;

    // Records the page just shown.
    void AddHistory(const std::string& link);
    // The link to show for back or forward, moving the position; nothing when disabled.
    std::optional<std::string> back();
    std::optional<std::string> forward();

    bool canGoBack() const { return position_ > 1; }
    bool canGoForward() const { return position_ < kCapacity && !entry(position_ + 1).empty(); }
    int position() const { return position_; }
    // Entry i (1-based), "" outside the list.
    const std::string& entry(int i) const;

private:
    std::deque<std::string> entries_;  // entry 1 is entries_[0]
    int position_ = 0;
};

}  // namespace orv::render
