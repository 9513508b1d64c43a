// The contents tree in memory, for the tests and orvhelp.
#include "helpwindow/contents_tree.h"

#include <algorithm>
#include <mutex>

namespace orv::helpwindow {

struct MemoryTree::Item {
    std::string text;
    std::unique_ptr<library::TreeNode> record;
    ItemImages images;
    bool childButton = false;
    bool expanded = false;
    Item* parent = nullptr;
    std::vector<std::unique_ptr<Item>> children;
};

struct MemoryTree::State {
    mutable std::recursive_mutex mutex;
    Item root;
    std::vector<Item*> selection;

    static Item* of(ItemId id) { return reinterpret_cast<Item*>(id); }
    static ItemId idOf(const Item* item) { return reinterpret_cast<ItemId>(item); }
    Item* item(ItemId id) { return id == kNoItem ? nullptr : of(id); }
    const Item* item(ItemId id) const { return id == kNoItem ? nullptr : of(id); }

    bool contains(const Item* inside, const Item* item) const {
        for (const Item* i = item; i; i = i->parent)
            if (i == inside) return true;
        return false;
    }
    // Selected items inside `item` go with it.
    void forget(const Item* item) {
        selection.erase(std::remove_if(selection.begin(), selection.end(),
                                       [&](const Item* s) { return contains(item, s); }),
                        selection.end());
    }
    void inTreeOrder(const Item& from, std::vector<ItemId>& out) const {
        for (const auto& child : from.children) {
            if (std::find(selection.begin(), selection.end(), child.get()) != selection.end())
                out.push_back(idOf(child.get()));
            inTreeOrder(*child, out);
        }
    }
};

MemoryTree::MemoryTree() : state_(std::make_unique<State>()) {}
MemoryTree::~MemoryTree() = default;

ItemId MemoryTree::root() const { return State::idOf(&state_->root); }

ItemId MemoryTree::insert(ItemId parent, std::string_view text, std::unique_ptr<library::TreeNode> record,
                          ItemImages images, bool childButton) {
    std::lock_guard lock(state_->mutex);
    Item* p = state_->item(parent);
    if (!p) return kNoItem;
    auto item = std::make_unique<Item>();
    item->text = std::string(text);
    item->record = std::move(record);
    item->images = images;
    item->childButton = childButton;
    item->parent = p;
    p->children.push_back(std::move(item));
    return State::idOf(p->children.back().get());
}

void MemoryTree::deleteChildren(ItemId id) {
    std::lock_guard lock(state_->mutex);
    Item* item = state_->item(id);
    if (!item) return;
    for (const auto& child : item->children) state_->forget(child.get());
    item->children.clear();
    item->expanded = false;
}

void MemoryTree::deleteItem(ItemId id) {
    std::lock_guard lock(state_->mutex);
    Item* item = state_->item(id);
    if (!item || !item->parent) return;
    state_->forget(item);
    auto& siblings = item->parent->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == item; }),
                   siblings.end());
}

std::vector<ItemId> MemoryTree::children(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    std::vector<ItemId> out;
    if (const Item* item = state_->item(id))
        for (const auto& child : item->children) out.push_back(State::idOf(child.get()));
    return out;
}

ItemId MemoryTree::parent(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item && item->parent ? State::idOf(item->parent) : kNoItem;
}

const library::TreeNode* MemoryTree::record(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item ? item->record.get() : nullptr;
}

std::string MemoryTree::text(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item ? item->text : std::string();
}

ItemImages MemoryTree::images(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item ? item->images : ItemImages{};
}

bool MemoryTree::hasChildButton(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item && item->childButton;
}

bool MemoryTree::isExpanded(ItemId id) const {
    std::lock_guard lock(state_->mutex);
    const Item* item = state_->item(id);
    return item && item->expanded;
}

void MemoryTree::setImages(ItemId id, ItemImages images) {
    std::lock_guard lock(state_->mutex);
    if (Item* item = state_->item(id)) item->images = images;
}

void MemoryTree::setChildButton(ItemId id, bool button) {
    std::lock_guard lock(state_->mutex);
    if (Item* item = state_->item(id)) item->childButton = button;
}

void MemoryTree::setExpanded(ItemId id, bool expanded) {
    std::lock_guard lock(state_->mutex);
    if (Item* item = state_->item(id)) item->expanded = expanded;
}

void MemoryTree::select(ItemId id) {
    std::lock_guard lock(state_->mutex);
    state_->selection.clear();
    if (Item* item = state_->item(id); item && item->parent) state_->selection.push_back(item);
}

void MemoryTree::selectMany(const std::vector<ItemId>& items) {
    std::lock_guard lock(state_->mutex);
    state_->selection.clear();
    for (ItemId id : items)
        if (Item* item = state_->item(id); item && item->parent) state_->selection.push_back(item);
}

std::vector<ItemId> MemoryTree::selection() const {
    std::lock_guard lock(state_->mutex);
    std::vector<ItemId> out;
    state_->inTreeOrder(state_->root, out);
    return out;
}

}  // namespace orv::helpwindow
