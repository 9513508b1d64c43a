// The help window's geometry and tab rules, free of Win32: where each control goes for a
// client size, divider and tab, and which controls a tab shows. The window only scales.
#pragma once

#include "helpwindow/help_window_view.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow {

// Control ids of the window's children.
inline constexpr int kTabControl1 = 102;
inline constexpr int kToolBar1 = 115;
inline constexpr int kPicture1 = 116;  // the divider
inline constexpr int kText1 = 117;
inline constexpr int kList1 = 118;
inline constexpr int kCommand1 = 119;
inline constexpr int kTreeList1 = 120;
inline constexpr int kShape1 = 121;
inline constexpr int kMiniblink1 = 122;
// The notice that stands where the page would when the engine cannot give a view: an id
// apart from every command, so that nothing it sends reads as one.
inline constexpr int kEngineNotice = 200;

inline constexpr std::array<std::string_view, 4> kTabCaptions{"目录", "索引", "搜索", "收藏"};
inline constexpr std::string_view kTreeColumnCaption = "目录";
inline constexpr std::string_view kCommand1Caption = "搜索";

// Everything below is in design pixels (96 dots per inch): the window divides what it
// measures by its scale before asking and multiplies the answer back. The divider limit
// compares with the width in these units, so it does not move with the screen's DPI.
inline constexpr int kDesignWidth = 654;  // window size at creation
inline constexpr int kDesignHeight = 587;
inline constexpr int kMinWindowWidth = 500;  // smallest window the user can drag to
inline constexpr int kMinWindowHeight = 400;
inline constexpr int kMinDividing = 100;
inline constexpr int kBrowserMinWidth = 300;  // the divider stops this far from the right
inline constexpr int kTreeColumnStartWidth = 100;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
};

struct LayoutInput {
    int width = 0;            // client area
    int height = 0;
    int toolbarHeight = 0;    // the toolbar sizes itself along the top
    int dividing = 0;         // the setting as stored, not yet limited
    int tab = kTabContents;
    int scrollBarWidth = 0;   // a vertical scroll bar, for the tree's one column
};

// Where each control goes. A pane control the tab hides is not moved (nullopt): it keeps
// its place until its tab comes back and lays it out again.
struct WindowLayout {
    int dividing = 0;  // the divider after the limits
    Rect tabStrip;
    Rect divider;
    Rect frame;    // Shape1
    Rect browser;  // Miniblink1
    std::optional<Rect> tree;
    int treeColumnWidth = 0;  // only with the tree
    std::optional<Rect> text1;
    std::optional<Rect> command1;
    std::optional<Rect> list1;
};

// Raised to 100, then lowered to width - 300: on a window too narrow for both, the
// browser's share wins.
int limitDividing(int dividing, int width);

WindowLayout layoutWindow(const LayoutInput& in);

// What a tab shows and where the focus goes when it becomes active.
struct TabPanes {
    bool tree;
    bool text1;
    bool command1;
    bool list1;
    int focus;  // control id
};
inline constexpr std::array<TabPanes, 4> kTabPanes{{
    {true, false, false, false, kTreeList1},   // contents
    {false, true, false, true, kText1},        // index
    {false, true, true, true, kText1},         // search
    {false, false, false, true, kList1},       // favorites
}};

// The panes of a tab; an unknown tab shows the contents tab's.
const TabPanes& tabPanes(int tab);

// The favorites tab fills its list as soon as it is chosen; the others wait for a word.
constexpr bool tabFillsListAtOnce(int tab) { return tab == kTabFavorites; }

// On switching to the index or search tab, a list that holds nothing but one of the
// placeholder lines (left from favorites or a failed search) is cleared.
bool clearsListOnSwitch(int tab, const std::vector<std::string>& lines);

}  // namespace orv::helpwindow
