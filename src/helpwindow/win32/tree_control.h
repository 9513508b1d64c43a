// The contents tree on screen: a common-controls tree view that shows what the core puts
// in it, reports what the user does with it, and adds the multi-selection the control
// lacks. Win32 only.
#pragma once

#include "framework/win32/controls.h"
#include "helpwindow/contents_tree.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orv::helpwindow {

// What the user did with the tree, for the window to hand to the core. Each may be empty.
// Only the user's doings are told: what the core does through ContentsTree is not.
struct TreeEvents {
    std::function<void(ItemId)> onExpanding;  // before an item opens (its level may be loaded now)
    std::function<void(ItemId)> onCollapsed;  // after an item closed
    std::function<void(ItemId)> onSelected;   // the focused item changed
    std::function<void(ItemId)> onClick;      // a left click on an item (not on its button)
    // A right click, with the item under the cursor (kNoItem: none) and the cursor's
    // screen position, where a context menu goes.
    std::function<void(ItemId, POINT)> onRightClick;
    // True while a command holds items of the tree across its waits: meanwhile the
    // user's clicks and keys neither open, close nor select items (the command's own
    // changes go on).
    std::function<bool()> heldStill;
};

// The tree view of a form, used on the window's thread only, like the control itself:
// no record it holds is ever handed to another thread.
//
// Selection: a plain click selects one item, as the control does. Ctrl+click adds an item
// to the selection or takes it out, Shift+click selects the items from the anchor (the
// item last clicked) to the clicked one in the order they are shown; either leaves the
// focused item, and so the page, where it was. At most kMaxSelection items are selected.
class TreeControl : public ContentsTree {
public:
    // Creates the tree view on `form` (kind "TREEVIEW" unless `options` names another
    // tree-view kind) with the four images, and subclasses it. Null with `error` saying
    // which step failed.
    static std::unique_ptr<TreeControl> Create(HWND form, framework::ControlOptions options, TreeEvents events,
                                               std::string& error);
    ~TreeControl() override;
    TreeControl(const TreeControl&) = delete;
    TreeControl& operator=(const TreeControl&) = delete;

    HWND window() const { return window_; }
    // For the form's WM_NOTIFY: true when the notification came from this tree, with the
    // answer in `result`.
    bool handleNotify(NMHDR& header, LRESULT& result);

    ItemId root() const override;
    ItemId insert(ItemId parent, std::string_view text, std::unique_ptr<library::TreeNode> record,
                  ItemImages images, bool childButton) override;
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

    // Whether the control draws the open image of an item itself (comctl32 6); otherwise
    // the item's images are switched here as it opens and closes.
    bool drawsExpandedImage() const { return nativeExpandedImage_ == 1; }
    // The items the tree holds a record place for; equal to the control's own count
    // unless an item went without its record (or a record without its item).
    size_t itemCount() const;

private:
    struct Item {
        std::unique_ptr<library::TreeNode> record;
        ItemImages images;
        bool button = false;
    };

    TreeControl(HWND window, TreeEvents events);
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    bool onModifiedClick(WPARAM keys, LPARAM position);
    bool heldStill() const;
    void openMenuAtCaret();
    bool makeImageList(std::string& error);

    // On the window's thread.
    bool known(HTREEITEM item) const;
    void forgetSubtree(HTREEITEM item);
    void showImages(HTREEITEM item);
    void showButton(HTREEITEM item);
    void probeExpandedImage(HTREEITEM item);
    std::vector<HTREEITEM> shownOrder() const;
    void setMarked(std::vector<HTREEITEM> items);
    void markDrawn(HTREEITEM item, bool selected);
    HTREEITEM caret() const;
    LRESULT customDraw(NMTVCUSTOMDRAW& draw);

    HWND window_ = nullptr;  // null once the window is gone
    HIMAGELIST images_ = nullptr;
    TreeEvents events_;
    std::unordered_map<HTREEITEM, Item> items_;
    // While the core changes the tree, the notifications the control sends about it are
    // the core's own doing and are not reported.
    int quiet_ = 0;
    // -1 not known yet, 0 no, 1 yes.
    int nativeExpandedImage_ = -1;
    // The multi-selection: empty while only the focused item is selected.
    std::vector<HTREEITEM> marked_;
    bool multi_ = false;
    HTREEITEM anchor_ = nullptr;
};

}  // namespace orv::helpwindow
