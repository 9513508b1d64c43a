// The contents tree over a common-controls tree view: items with their records and images,
// the user's expand, collapse, select and click turned into events, the core's own
// changes kept quiet, and a multi-selection built from Ctrl and Shift clicks. Win32 only.
#include "helpwindow/win32/tree_control.h"

#include "framework/win32/entry_guard.h"
#include "framework/win32/images.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <unordered_set>

namespace orv::helpwindow {
namespace {

constexpr UINT_PTR kSubclassId = 0x4F54;  // "OT"
// The image list in the order of the Image enum.
constexpr const char* kImageResources[] = {"ICON_BOOK", "ICON_BOOKOPEN", "ICON_FILE", "ICON_TRASH"};
constexpr int kImageSize = 16;  // at 96 dpi

HTREEITEM handleOf(ItemId item) { return reinterpret_cast<HTREEITEM>(item); }
ItemId idOf(HTREEITEM item) { return reinterpret_cast<ItemId>(item); }

HTREEITEM nextItem(HWND tree, UINT which, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(from)));
}

// The tree view's notifications come in the W form to a Unicode form; either is taken.
bool isCode(UINT code, UINT wide, UINT narrow) { return code == wide || code == narrow; }

// Counted so that a notification the core's own change causes inside another is still quiet.
struct Quiet {
    explicit Quiet(int& count) : count_(count) { ++count_; }
    ~Quiet() { --count_; }
    int& count_;
};

}  // namespace

std::unique_ptr<TreeControl> TreeControl::Create(HWND form, framework::ControlOptions options, TreeEvents events,
                                                 std::string& error) {
    if (options.kind.empty()) options.kind = "TREEVIEW";
    HWND window = framework::CreateControl(form, options, error);
    if (!window) return nullptr;
    std::unique_ptr<TreeControl> control(new TreeControl(window, std::move(events)));
    if (!SetWindowSubclass(window, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(control.get()))) {
        control->window_ = nullptr;
        DestroyWindow(window);
        error = "SetWindowSubclass of the contents tree failed";
        return nullptr;
    }
    if (!control->makeImageList(error)) {
        DestroyWindow(window);  // takes the subclass with it (WM_NCDESTROY below)
        return nullptr;
    }
    return control;
}

TreeControl::TreeControl(HWND window, TreeEvents events) : window_(window), events_(std::move(events)) {}

TreeControl::~TreeControl() {
    if (HWND window = window_) {
        // Items and records go together; the tree may outlive this object by a little.
        {
            Quiet quiet(quiet_);
            SendMessageW(window, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        }
        SendMessageW(window, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
        RemoveWindowSubclass(window, subclassProc, kSubclassId);
    }
    if (images_) ImageList_Destroy(images_);
}

bool TreeControl::makeImageList(std::string& error) {
    const int size = framework::ScreenScale().ScaleX(kImageSize);
    images_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0);
    if (!images_) return error = "ImageList_Create failed", false;
    for (int i = 0; i < 4; ++i) {
        HICON icon = framework::LoadIconResource(kImageResources[i], size);
        if (!icon) return error = std::string("the icon resource ") + kImageResources[i] + " is missing", false;
        const int index = ImageList_AddIcon(images_, icon);
        DestroyIcon(icon);
        if (index != i) return error = std::string("ImageList_AddIcon of ") + kImageResources[i] + " failed", false;
    }
    SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    return true;
}

// --- the window's messages ------------------------------------------------------------

LRESULT CALLBACK TreeControl::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
    auto* control = reinterpret_cast<TreeControl*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, subclassProc, kSubclassId);
        control->window_ = nullptr;
        control->items_.clear();
        control->marked_.clear();
        control->multi_ = false;
        control->anchor_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    bool handled = false;
    const LRESULT result = framework::guarded(LRESULT(0), framework::Silent{},
                                              [&] { return control->onMessage(message, wParam, lParam, handled); });
    return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}

LRESULT TreeControl::onMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    // The keyboard's context menu (the menu key, Shift+F10) opens at the focused item, as
    // a right click opens at the mouse.
    const bool menuKey = (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) &&
                         (wParam == VK_APPS || (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)));
    if (menuKey) {
        handled = true;
        if (!heldStill()) openMenuAtCaret();
        return 0;
    }
    if (message != WM_LBUTTONDOWN) return 0;
    if (wParam & (MK_CONTROL | MK_SHIFT)) {
        handled = onModifiedClick(wParam, lParam);
        return 0;
    }
    // A plain click on an item makes a single selection again, also on the focused item,
    // which the control would not report as a change.
    TVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SendMessageW(window_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem && (hit.flags & TVHT_ONITEM)) {
        setMarked({});
        anchor_ = hit.hItem;
    }
    return 0;
}

void TreeControl::openMenuAtCaret() {
    if (!events_.onRightClick) return;
    HTREEITEM item = caret();
    POINT at{0, 0};
    RECT text{};
    std::memcpy(&text, &item, sizeof item);  // the item goes in where the rectangle comes back
    if (item && SendMessageW(window_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
        at = {text.left, text.bottom};
    ClientToScreen(window_, &at);
    events_.onRightClick(item && known(item) ? idOf(item) : kNoItem, at);
}

bool TreeControl::heldStill() const { return !quiet_ && events_.heldStill && events_.heldStill(); }

bool TreeControl::onModifiedClick(WPARAM keys, LPARAM position) {
    if (heldStill()) return true;
    TVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    SendMessageW(window_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || !(hit.flags & TVHT_ONITEM) || !known(hit.hItem)) return false;
    SetFocus(window_);

    if (keys & MK_SHIFT) {
        HTREEITEM from = anchor_ && known(anchor_) ? anchor_ : caret();
        const std::vector<HTREEITEM> order = shownOrder();
        auto at = [&](HTREEITEM item) { return std::find(order.begin(), order.end(), item) - order.begin(); };
        const std::ptrdiff_t to = at(hit.hItem);
        std::ptrdiff_t start = from ? at(from) : to;
        if (start == static_cast<std::ptrdiff_t>(order.size())) start = to;
        // From the anchor towards the click, so that a capped range keeps the anchor.
        std::vector<HTREEITEM> range;
        const std::ptrdiff_t step = to >= start ? 1 : -1;
        for (std::ptrdiff_t i = start; range.size() < kMaxSelection; i += step) {
            range.push_back(order[static_cast<size_t>(i)]);
            if (i == to) break;
        }
        if (!anchor_) anchor_ = order[static_cast<size_t>(start)];
        setMarked(std::move(range));
        return true;
    }

    std::vector<HTREEITEM> now = marked_;
    if (!multi_)
        if (HTREEITEM focused = caret()) now = {focused};
    const auto found = std::find(now.begin(), now.end(), hit.hItem);
    if (found != now.end()) now.erase(found);
    else if (now.size() < kMaxSelection) now.push_back(hit.hItem);
    anchor_ = hit.hItem;
    setMarked(std::move(now));
    return true;
}

bool TreeControl::handleNotify(NMHDR& header, LRESULT& result) {
    if (!window_ || header.hwndFrom != window_) return false;
    result = 0;
    const UINT code = header.code;
    if (code == NM_CUSTOMDRAW) {
        result = customDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
        return true;
    }
    if (code == NM_CLICK || code == NM_RCLICK) {
        if (heldStill()) {
            result = TRUE;
            return true;
        }
        const DWORD at = GetMessagePos();
        POINT screen{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        TVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(window_, &hit.pt);
        SendMessageW(window_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const ItemId item = hit.hItem && (hit.flags & TVHT_ONITEM) && known(hit.hItem) ? idOf(hit.hItem) : kNoItem;
        if (code == NM_CLICK) {
            // A click on a button or beside the items is the control's business alone.
            if (item != kNoItem && events_.onClick) events_.onClick(item);
        } else if (events_.onRightClick) {
            events_.onRightClick(item, screen);
            result = TRUE;  // the menu is shown; no WM_CONTEXTMENU on top of it
        }
        return true;
    }
    auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
    const bool changing = isCode(code, TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDINGA) || isCode(code, TVN_SELCHANGINGW, TVN_SELCHANGINGA);
    if (changing && heldStill()) {
        result = TRUE;  // refused: a command holds the items
        return true;
    }
    if (isCode(code, TVN_DELETEITEMW, TVN_DELETEITEMA)) {
        // Items the control removes on its own (its window going) take their records.
        forgetSubtree(change.itemOld.hItem);
    } else if (isCode(code, TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDINGA)) {
        if (!quiet_ && (change.action & TVE_EXPAND) && known(change.itemNew.hItem) && events_.onExpanding)
            events_.onExpanding(idOf(change.itemNew.hItem));
    } else if (isCode(code, TVN_ITEMEXPANDEDW, TVN_ITEMEXPANDEDA)) {
        HTREEITEM item = change.itemNew.hItem;
        if (known(item)) showImages(item);
        if (!quiet_ && (change.action & TVE_COLLAPSE) && known(item) && events_.onCollapsed)
            events_.onCollapsed(idOf(item));
    } else if (isCode(code, TVN_SELCHANGEDW, TVN_SELCHANGEDA)) {
        if (quiet_) return true;
        setMarked({});
        anchor_ = change.itemNew.hItem;
        if (known(change.itemNew.hItem) && events_.onSelected) events_.onSelected(idOf(change.itemNew.hItem));
    }
    return true;
}

LRESULT TreeControl::customDraw(NMTVCUSTOMDRAW& draw) {
    if (!multi_) return CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    // The control draws only its focused item as selected; the multi-selection decides.
    const auto item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
    const bool selected = std::find(marked_.begin(), marked_.end(), item) != marked_.end();
    draw.clrText = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    draw.clrTextBk = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    return CDRF_NEWFONT;
}

// --- what the window's thread does for the calls --------------------------------------

bool TreeControl::known(HTREEITEM item) const { return item && items_.count(item) != 0; }

HTREEITEM TreeControl::caret() const {
    HTREEITEM item = nextItem(window_, TVGN_CARET, nullptr);
    return known(item) ? item : nullptr;
}

void TreeControl::forgetSubtree(HTREEITEM item) {
    if (!known(item)) return;
    for (HTREEITEM child = nextItem(window_, TVGN_CHILD, item); child; child = nextItem(window_, TVGN_NEXT, child))
        forgetSubtree(child);
    items_.erase(item);
    marked_.erase(std::remove(marked_.begin(), marked_.end(), item), marked_.end());
    if (anchor_ == item) anchor_ = nullptr;
    if (marked_.empty()) multi_ = false;
}

void TreeControl::showImages(HTREEITEM item) {
    const Item& data = items_.at(item);
    TVITEMEXW change{};
    change.hItem = item;
    change.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    if (nativeExpandedImage_ == 1) {
        change.mask |= TVIF_EXPANDEDIMAGE;
        change.iImage = data.images.normal;
        change.iSelectedImage = data.images.selected;
        change.iExpandedImage = data.images.expanded;
    } else {
        // The open image stands for both while the item is open, as the control that
        // draws it itself shows it.
        const bool open = (SendMessageW(window_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                           TVIS_EXPANDED) != 0;
        change.iImage = open ? data.images.expanded : data.images.normal;
        change.iSelectedImage = open ? data.images.expanded : data.images.selected;
    }
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void TreeControl::showButton(HTREEITEM item) {
    // The control takes the button away with an item's last child; here it stays.
    TVITEMW change{};
    change.hItem = item;
    change.mask = TVIF_HANDLE | TVIF_CHILDREN;
    change.cChildren = items_.at(item).button ? 1 : 0;
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void TreeControl::probeExpandedImage(HTREEITEM item) {
    if (nativeExpandedImage_ != -1) return;
    // A control without the open image leaves the field as it was handed over.
    TVITEMEXW read{};
    read.hItem = item;
    read.mask = TVIF_HANDLE | TVIF_EXPANDEDIMAGE;
    read.iExpandedImage = -2;
    SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
    nativeExpandedImage_ = read.iExpandedImage == items_.at(item).images.expanded ? 1 : 0;
}

std::vector<HTREEITEM> TreeControl::shownOrder() const {
    std::vector<HTREEITEM> order;
    for (HTREEITEM item = nextItem(window_, TVGN_ROOT, nullptr); item; item = nextItem(window_, TVGN_NEXTVISIBLE, item))
        order.push_back(item);
    return order;
}

void TreeControl::markDrawn(HTREEITEM item, bool selected) {
    TVITEMW change{};
    change.hItem = item;
    change.mask = TVIF_HANDLE | TVIF_STATE;
    change.stateMask = TVIS_SELECTED;
    change.state = selected ? TVIS_SELECTED : 0;
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void TreeControl::setMarked(std::vector<HTREEITEM> items) {
    if (!multi_ && items.empty()) return;
    const HTREEITEM focused = caret();
    for (HTREEITEM item : marked_)
        if (item != focused && known(item) && std::find(items.begin(), items.end(), item) == items.end())
            markDrawn(item, false);
    for (HTREEITEM item : items)
        if (item != focused) markDrawn(item, true);
    multi_ = !items.empty();
    marked_ = std::move(items);
    InvalidateRect(window_, nullptr, FALSE);
}

// --- ContentsTree ---------------------------------------------------------------------

ItemId TreeControl::root() const { return idOf(TVI_ROOT); }

ItemId TreeControl::insert(ItemId parent, std::string_view text, std::unique_ptr<library::TreeNode> record,
                           ItemImages images, bool childButton) {
    if (!window_) return kNoItem;
    const HTREEITEM under = handleOf(parent);
    if (parent != root() && !known(under)) return kNoItem;
    std::wstring wide = text::utf8ToWide(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = under;
    insert.hInsertAfter = TVI_LAST;
    TVITEMEXW& item = insert.itemex;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    if (nativeExpandedImage_ != 0) item.mask |= TVIF_EXPANDEDIMAGE;
    item.pszText = wide.data();
    item.iImage = images.normal;
    item.iSelectedImage = images.selected;
    item.iExpandedImage = images.expanded;
    item.cChildren = childButton ? 1 : 0;
    auto made = reinterpret_cast<HTREEITEM>(SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!made && nativeExpandedImage_ == -1) {
        // An older control may refuse the field it does not know.
        nativeExpandedImage_ = 0;
        item.mask &= ~TVIF_EXPANDEDIMAGE;
        made = reinterpret_cast<HTREEITEM>(SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    if (!made) return kNoItem;
    try {
        items_[made] = Item{std::move(record), images, childButton};
    } catch (...) {
        Quiet quiet(quiet_);
        SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(made));
        throw;
    }
    probeExpandedImage(made);
    if (nativeExpandedImage_ == 0) showImages(made);
    return idOf(made);
}

void TreeControl::deleteChildren(ItemId id) {
    if (!window_) return;
    const HTREEITEM item = handleOf(id);
    Quiet quiet(quiet_);
    if (id == root()) {
        SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        items_.clear();
        setMarked({});
        anchor_ = nullptr;
        return;
    }
    if (!known(item)) return;
    while (HTREEITEM child = nextItem(window_, TVGN_CHILD, item)) {
        forgetSubtree(child);
        SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    }
    // An item without children shows closed; its button is its own, not the control's
    // guess from the children it has.
    if (SendMessageW(window_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED)
        SendMessageW(window_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    TVITEMW clear{};
    clear.hItem = item;
    clear.mask = TVIF_HANDLE | TVIF_STATE;
    clear.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&clear));
    showButton(item);
    showImages(item);
}

void TreeControl::deleteItem(ItemId id) {
    if (!window_) return;
    const HTREEITEM item = handleOf(id);
    if (!known(item)) return;
    Quiet quiet(quiet_);
    const HTREEITEM above = nextItem(window_, TVGN_PARENT, item);
    forgetSubtree(item);
    SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    if (known(above)) showButton(above);
}

std::vector<ItemId> TreeControl::children(ItemId id) const {
    if (!window_) return {};
    std::vector<ItemId> out;
    HTREEITEM first = nullptr;
    if (id == root()) first = nextItem(window_, TVGN_ROOT, nullptr);
    else if (known(handleOf(id))) first = nextItem(window_, TVGN_CHILD, handleOf(id));
    for (HTREEITEM child = first; child; child = nextItem(window_, TVGN_NEXT, child)) out.push_back(idOf(child));
    return out;
}

ItemId TreeControl::parent(ItemId id) const {
    if (!window_) return kNoItem;
    if (!known(handleOf(id))) return kNoItem;
    const HTREEITEM above = nextItem(window_, TVGN_PARENT, handleOf(id));
    return above ? idOf(above) : root();
}

const library::TreeNode* TreeControl::record(ItemId id) const {
    if (!window_) return nullptr;
    const auto found = items_.find(handleOf(id));
    return found == items_.end() ? nullptr : found->second.record.get();
}

std::string TreeControl::text(ItemId id) const {
    if (!window_) return {};
    if (!known(handleOf(id))) return {};
    // The control cuts the text to the buffer: grow it until the text fits.
    for (size_t size = 256;; size *= 4) {
        std::wstring buffer(size, L'\0');
        TVITEMW read{};
        read.hItem = handleOf(id);
        read.mask = TVIF_HANDLE | TVIF_TEXT;
        read.pszText = buffer.data();
        read.cchTextMax = static_cast<int>(size);
        if (!SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read))) return {};
        buffer.resize(std::wcslen(buffer.c_str()));
        if (buffer.size() + 1 < size || size >= (1u << 20)) return text::wideToUtf8(buffer);
    }
}

ItemImages TreeControl::images(ItemId id) const {
    if (!window_) return {};
    const auto found = items_.find(handleOf(id));
    return found == items_.end() ? ItemImages{} : found->second.images;
}

bool TreeControl::hasChildButton(ItemId id) const {
    if (!window_) return {};
    if (!known(handleOf(id))) return false;
    TVITEMW read{};
    read.hItem = handleOf(id);
    read.mask = TVIF_HANDLE | TVIF_CHILDREN;
    return SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)) && read.cChildren != 0;
}

bool TreeControl::isExpanded(ItemId id) const {
    if (!window_) return {};
    return known(handleOf(id)) &&
           (SendMessageW(window_, TVM_GETITEMSTATE, id, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeControl::setImages(ItemId id, ItemImages images) {
    if (!window_) return;
    const auto found = items_.find(handleOf(id));
    if (found == items_.end()) return;
    found->second.images = images;
    showImages(found->first);
}

void TreeControl::setChildButton(ItemId id, bool button) {
    if (!window_) return;
    const auto found = items_.find(handleOf(id));
    if (found == items_.end()) return;
    found->second.button = button;
    showButton(found->first);
}

void TreeControl::setExpanded(ItemId id, bool expanded) {
    if (!window_) return;
    const HTREEITEM item = handleOf(id);
    if (!known(item)) return;
    Quiet quiet(quiet_);
    SendMessageW(window_, TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    showImages(item);
}

void TreeControl::select(ItemId id) {
    if (!window_) return;
    const HTREEITEM item = id == kNoItem ? nullptr : handleOf(id);
    if (item && !known(item)) return;
    Quiet quiet(quiet_);
    setMarked({});
    SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    anchor_ = item;
}

size_t TreeControl::itemCount() const { return items_.size(); }

std::vector<ItemId> TreeControl::selection() const {
    if (!window_) return {};
    std::vector<ItemId> out;
    if (!multi_) {
        if (HTREEITEM focused = caret()) out.push_back(idOf(focused));
        return out;
    }
    // In tree order: the whole tree is walked, opened levels included.
    const std::unordered_set<HTREEITEM> wanted(marked_.begin(), marked_.end());
    std::vector<HTREEITEM> pending{nextItem(window_, TVGN_ROOT, nullptr)};
    while (!pending.empty() && out.size() < wanted.size()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        if (!item) continue;
        if (wanted.count(item) && known(item)) out.push_back(idOf(item));
        pending.push_back(nextItem(window_, TVGN_NEXT, item));
        pending.push_back(nextItem(window_, TVGN_CHILD, item));
    }
    return out;
}

}  // namespace orv::helpwindow
