// What the help-window control tests share: a shown form whose notifications reach the
// tree it holds, the events the tree reported, and clicks and keys posted as a user's
// would arrive. Win32 only.
#pragma once

#include "helpwindow/win32/list_control.h"
#include "helpwindow/win32/tree_control.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv::controls_test {

using helpwindow::ItemId;
using helpwindow::ItemImages;

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // An item with a record whose id is `id` and whose name is the text.
    ItemId add(ItemId parent, const std::string& text, long long id = 0, ItemImages images = {}, bool button = false);
    // The texts of the item's children, in order.
    std::vector<std::string> texts(ItemId parent) const;
    std::vector<std::string> textsOf(const std::vector<ItemId>& items) const;

    // The item's text rectangle in the tree's client area, scrolled into view first.
    RECT textRect(ItemId item) const;
    // A left click on the item's text with these keys held (MK_CONTROL, MK_SHIFT), posted
    // and dispatched.
    void click(ItemId item, WPARAM keys = 0);
    void rightClick(ItemId item);
    // A left click on the item's expand button.
    void clickButton(ItemId item);
    void pressKey(UINT key);
    // The image fields the control holds for the item: normal, selected, open.
    ItemImages controlImages(ItemId item) const;

    HWND form = nullptr;
    std::unique_ptr<helpwindow::TreeControl> tree;
    std::vector<std::string> events;  // "expanding:A", "collapsed:A", "selected:A", "click:A", "rclick:A"
    // Runs on every expanding event, as the core would load the level there.
    std::function<void(ItemId)> whenExpanding;
    std::function<void(ItemId)> whenCollapsed;
    std::function<void(ItemId)> whenSelected;
    POINT lastRightClick{};
};

}  // namespace orv::controls_test
