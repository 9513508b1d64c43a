// Moving through the navigation history.
#include "render/history.h"

namespace orv::render {

const std::string& NavigationHistory::entry(int i) const {
    static const std::string kNone;
    if (i < 1 || i > static_cast<int>(entries_.size())) return kNone;
    return entries_[static_cast<size_t>(i - 1)];
}

void NavigationHistory::AddHistory(const std::string& link) {
    if (position_ > 0 && entry(position_) == link) return;  // shown again, as after back or forward
    if (entry(position_ + 1) == link) {
        // The page after the current one: step onto it and keep what follows, as a
        // forward press would.
        ++position_;
        return;
    }
    // A new page ends the pages that lay ahead of the old position.
    entries_.resize(static_cast<size_t>(position_));
    entries_.push_back(link);
    ++position_;
    if (position_ > kCapacity) {
        entries_.pop_front();
        position_ = kCapacity;
    }
}

std::optional<std::string> NavigationHistory::back() {
    if (!canGoBack()) return std::nullopt;
    --position_;
    return entry(position_);
}

std::optional<std::string> NavigationHistory::forward() {
    if (!canGoForward()) return std::nullopt;
    ++position_;
    return entry(position_);
}

}  // namespace orv::render
