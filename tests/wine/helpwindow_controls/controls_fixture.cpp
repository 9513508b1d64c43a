// The shared form, tree and input helpers of the help-window control tests. Win32 only.
#include "helpwindow_controls/controls_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/form.h"
#include "framework/win32/message_loop.h"

#include <cstring>

namespace orv::controls_test {
namespace {

// The form hands the tree's notifications to it, as the help window does.
struct TreeForm : framework::FormHandler {
    helpwindow::TreeControl* tree = nullptr;
    LRESULT onNotify(HWND, NMHDR& header) override {
        LRESULT result = 0;
        return tree && tree->handleNotify(header, result) ? result : 0;
    }
};

// Long enough for the control's mouse tracking to see the button go up.
constexpr unsigned kInputSettle = 60;

}  // namespace

void TreeFixture::SetUp() {
    auto handler = std::make_unique<TreeForm>();
    TreeForm* forwarding = handler.get();
    framework::FormOptions options;
    options.name = L"TreeForm";
    options.caption = L"目录";
    options.x = 20;
    options.y = 20;
    options.width = 300;
    options.height = 420;
    options.clientSize = true;
    options.exStyle = WS_EX_CONTROLPARENT | WS_EX_TOPMOST;
    form = forms_test::makeForm(options, std::move(handler));
    ASSERT_NE(form, nullptr);

    helpwindow::TreeEvents events;
    auto note = [this](const char* what, ItemId item) { this->events.push_back(std::string(what) + ":" + tree->text(item)); };
    events.onExpanding = [this, note](ItemId item) {
        note("expanding", item);
        if (whenExpanding) whenExpanding(item);
    };
    events.onCollapsed = [this, note](ItemId item) {
        note("collapsed", item);
        if (whenCollapsed) whenCollapsed(item);
    };
    events.onSelected = [this, note](ItemId item) {
        note("selected", item);
        if (whenSelected) whenSelected(item);
    };
    events.onClick = [note](ItemId item) { note("click", item); };
    events.onRightClick = [this, note](ItemId item, POINT at) {
        note("rclick", item);
        lastRightClick = at;
    };
    framework::ControlOptions control;
    control.name = L"mCtrlTreeList1";
    control.id = 120;
    control.x = 5;
    control.y = 5;
    control.width = 290;
    control.height = 410;
    control.font = "Microsoft YaHei,9,0";
    std::string error;
    tree = helpwindow::TreeControl::Create(form, control, std::move(events), error);
    ASSERT_NE(tree, nullptr) << error;
    forwarding->tree = tree.get();
    framework::ShowForm(form);
    SetForegroundWindow(form);
    SetFocus(tree->window());
    framework::WaitDispatching(50);
}

void TreeFixture::TearDown() {
    // The form goes first, as it does when the user closes it: the tree sees its items go.
    if (form && IsWindow(form)) DestroyWindow(form);
    tree.reset();
}

ItemId TreeFixture::add(ItemId parent, const std::string& text, long long id, ItemImages images, bool button) {
    auto record = std::make_unique<library::TreeNode>();
    record->id = id;
    record->name = text;
    const ItemId item = tree->insert(parent, text, std::move(record), images, button);
    EXPECT_NE(item, helpwindow::kNoItem) << text;
    return item;
}

std::vector<std::string> TreeFixture::texts(ItemId parent) const { return textsOf(tree->children(parent)); }

std::vector<std::string> TreeFixture::textsOf(const std::vector<ItemId>& items) const {
    std::vector<std::string> out;
    for (ItemId item : items) out.push_back(tree->text(item));
    return out;
}

RECT TreeFixture::textRect(ItemId item) const {
    SendMessageW(tree->window(), TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(item));
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    RECT rect{};
    const auto handle = reinterpret_cast<HTREEITEM>(item);
    std::memcpy(&rect, &handle, sizeof handle);
    EXPECT_TRUE(SendMessageW(tree->window(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)))
        << "no rectangle for " << tree->text(item);
    return rect;
}

void TreeFixture::post(UINT down, UINT up, WPARAM keys, POINT at) {
    // The cursor goes where the click is, as a hand on the mouse puts it there: the
    // control and its notifications read the position of the message as well.
    POINT screen = at;
    ClientToScreen(tree->window(), &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM position = MAKELPARAM(at.x, at.y);
    const WPARAM button = down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON;
    PostMessageW(tree->window(), down, keys | button, position);
    PostMessageW(tree->window(), up, keys, position);
    framework::WaitDispatching(kInputSettle);
}

void TreeFixture::click(ItemId item, WPARAM keys) {
    const RECT r = textRect(item);
    post(WM_LBUTTONDOWN, WM_LBUTTONUP, keys, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void TreeFixture::rightClick(ItemId item) {
    const RECT r = textRect(item);
    post(WM_RBUTTONDOWN, WM_RBUTTONUP, 0, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void TreeFixture::clickButton(ItemId item) {
    const RECT r = textRect(item);
    const int y = (r.top + r.bottom) / 2;
    // The button lies somewhere left of the text: the control itself says where.
    for (int x = 0; x < r.left; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, y};
        SendMessageW(tree->window(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem == reinterpret_cast<HTREEITEM>(item) && (hit.flags & TVHT_ONITEMBUTTON)) {
            post(WM_LBUTTONDOWN, WM_LBUTTONUP, 0, {x + 2, y});
            return;
        }
    }
    ADD_FAILURE() << "no expand button on " << tree->text(item);
}

void TreeFixture::pressKey(UINT key) {
    PostMessageW(tree->window(), WM_KEYDOWN, key, 1);
    PostMessageW(tree->window(), WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    framework::WaitDispatching(kInputSettle);
}

ItemImages TreeFixture::controlImages(ItemId item) const {
    TVITEMEXW read{};
    read.hItem = reinterpret_cast<HTREEITEM>(item);
    read.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_EXPANDEDIMAGE;
    read.iExpandedImage = -1;
    EXPECT_TRUE(SendMessageW(tree->window(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    return {read.iImage, read.iSelectedImage, read.iExpandedImage};
}

}  // namespace orv::controls_test
