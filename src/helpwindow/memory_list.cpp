// The result list in memory, for the tests and orvhelp.
#include "helpwindow/result_list.h"

namespace orv::helpwindow {

void MemoryList::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
    selected_ = -1;
}

void MemoryList::add(std::string_view text, std::unique_ptr<library::TreeNode> record) {
    std::lock_guard lock(mutex_);
    lines_.push_back({std::string(text), std::move(record)});
}

void MemoryList::insertFirst(std::string_view text) {
    std::lock_guard lock(mutex_);
    lines_.insert(lines_.begin(), Line{std::string(text), nullptr});
    if (selected_ >= 0) ++selected_;
}

void MemoryList::remove(int index) {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(lines_.size())) return;
    lines_.erase(lines_.begin() + index);
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
}

void MemoryList::select(int index) {
    std::lock_guard lock(mutex_);
    selected_ = index >= 0 && index < static_cast<int>(lines_.size()) ? index : -1;
}

int MemoryList::selected() const {
    std::lock_guard lock(mutex_);
    return selected_;
}

int MemoryList::count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(lines_.size());
}

std::string MemoryList::text(int index) const {
    std::lock_guard lock(mutex_);
    return index >= 0 && index < static_cast<int>(lines_.size()) ? lines_[index].text : std::string();
}

std::unique_ptr<library::TreeNode> MemoryList::record(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(lines_.size()) || !lines_[index].record) return nullptr;
    return std::make_unique<library::TreeNode>(*lines_[index].record);
}

void MemoryList::setRedraw(bool on) {
    std::lock_guard lock(mutex_);
    redraw_ = on;
}

bool MemoryList::redrawing() const {
    std::lock_guard lock(mutex_);
    return redraw_;
}

}  // namespace orv::helpwindow
