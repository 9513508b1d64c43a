// The shared form, tree and input helpers of the help-window control tests. Win32 only.
#include "helpwindow_controls/controls_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/form.h"
#include "framework/win32/message_loop.h"
#include "wine/user_input.h"

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
    const RECT rect = wine::treeItemRect(tree->window(), reinterpret_cast<HTREEITEM>(item));
    EXPECT_FALSE(IsRectEmpty(&rect)) << "no rectangle for " << tree->text(item);
    return rect;
}

void TreeFixture::click(ItemId item, WPARAM keys) {
    textRect(item);
    wine::clickTreeItem(tree->window(), reinterpret_cast<HTREEITEM>(item), keys);
}

void TreeFixture::rightClick(ItemId item) {
    textRect(item);
    wine::rightClickTreeItem(tree->window(), reinterpret_cast<HTREEITEM>(item));
}

void TreeFixture::clickButton(ItemId item) {
    EXPECT_TRUE(wine::clickTreeButton(tree->window(), reinterpret_cast<HTREEITEM>(item)))
        << "no expand button on " << tree->text(item);
}

void TreeFixture::pressKey(UINT key) { wine::pressKey(tree->window(), key); }

ItemImages TreeFixture::controlImages(ItemId item) const {
    TVITEMEXW read{};
    read.hItem = reinterpret_cast<HTREEITEM>(item);
    read.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_EXPANDEDIMAGE;
    read.iExpandedImage = -1;
    EXPECT_TRUE(SendMessageW(tree->window(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    return {read.iImage, read.iSelectedImage, read.iExpandedImage};
}

}  // namespace orv::controls_test
