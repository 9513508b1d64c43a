// The contents tree as the core sees it: items that own tree-node records, with images
// and an explicit child button. The Win32 window fills it with a tree control; the
// tests and orvhelp with MemoryTree. The control only shows: loading, expanding and
// selecting with their rules live in the core (Contents).
#pragma once

#include "library/tree_node.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow {

// An item of the tree; kNoItem is "none", and root() the invisible item above the top level.
using ItemId = std::uintptr_t;
inline constexpr ItemId kNoItem = 0;

// Images of the tree's image list, in its order.
enum Image : int { kImageBook = 0, kImageBookOpen = 1, kImageFile = 2, kImageTrash = 3 };

struct ItemImages {
    int normal = kImageFile;
    int selected = kImageFile;
    int expanded = kImageFile;
    bool operator==(const ItemImages& o) const {
        return normal == o.normal && selected == o.selected && expanded == o.expanded;
    }
};

// The most items a multi-selection hands to a command.
inline constexpr size_t kMaxSelection = 1000;

class ContentsTree {
public:
    virtual ~ContentsTree() = default;

    virtual ItemId root() const = 0;
    // Appends an item to the end of `parent`'s children; the tree owns `record` (none for
    // a line that only says something). kNoItem when the control refused it.
    virtual ItemId insert(ItemId parent, std::string_view text, std::unique_ptr<library::TreeNode> record,
                          ItemImages images, bool childButton) = 0;
    // Removes the item's children (freeing their records); the item keeps its button.
    virtual void deleteChildren(ItemId item) = 0;
    // Removes the item with everything below it.
    virtual void deleteItem(ItemId item) = 0;

    virtual std::vector<ItemId> children(ItemId item) const = 0;
    virtual ItemId parent(ItemId item) const = 0;
    // The item's record, null for a line without one (and for the root).
    virtual const library::TreeNode* record(ItemId item) const = 0;
    virtual std::string text(ItemId item) const = 0;
    virtual ItemImages images(ItemId item) const = 0;
    virtual bool hasChildButton(ItemId item) const = 0;
    virtual bool isExpanded(ItemId item) const = 0;

    virtual void setImages(ItemId item, ItemImages images) = 0;
    virtual void setChildButton(ItemId item, bool button) = 0;
    // Shows the item open or closed; loading is the core's business, not the control's.
    virtual void setExpanded(ItemId item, bool expanded) = 0;
    // Makes the item the only selected one (kNoItem: none), without telling anyone.
    virtual void select(ItemId item) = 0;
    // The selected items in tree order (the focused one when only one is selected).
    virtual std::vector<ItemId> selection() const = 0;
};

// The tree in memory: what the tests and orvhelp drive. Safe to use from several threads,
// as the Win32 control is (link workers reach it through its messages).
class MemoryTree : public ContentsTree {
public:
    MemoryTree();
    ~MemoryTree() override;

    ItemId root() const override;
    ItemId insert(ItemId parent, std::string_view text, std::unique_ptr<library::TreeNode> record, ItemImages images,
                  bool childButton) override;
    void deleteChildren(ItemId item) override;
    void deleteItem(ItemId item) override;
    std::vector<ItemId> children(ItemId item) const override;
    ItemId parent(ItemId item) const override;
    const library::TreeNode* record(ItemId item) const override;
    std::string text(ItemId item) const override;
    ItemImages images(ItemId item) const override;
    bool hasChildButton(ItemId item) const override;
    bool isExpanded(ItemId item) const override;
    void setImages(ItemId item, ItemImages images) override;
    void setChildButton(ItemId item, bool button) override;
    void setExpanded(ItemId item, bool expanded) override;
    void select(ItemId item) override;
    std::vector<ItemId> selection() const override;

    // A multi-selection, as Ctrl+click builds one: the items in the order given.
    void selectMany(const std::vector<ItemId>& items);

private:
    struct Item;
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace orv::helpwindow
