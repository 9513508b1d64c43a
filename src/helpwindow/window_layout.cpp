// The help window's geometry and tab rules.
#include "helpwindow/window_layout.h"

#include "helpwindow/index_search.h"

#include <algorithm>
#include <cstddef>

namespace orv::helpwindow {

namespace {

// A window at its minimum leaves room for every control; this only keeps sizes
// that cannot be drawn (a client squeezed below the toolbar) at zero instead of negative.
Rect rect(int x, int y, int width, int height) {
    return Rect{x, y, std::max(0, width), std::max(0, height)};
}

}  // namespace

int limitDividing(int dividing, int width) {
    int d = std::max(dividing, kMinDividing);
    return std::min(d, width - kBrowserMinWidth);
}

const TabPanes& tabPanes(int tab) {
    if (tab < 0 || tab >= static_cast<int>(kTabPanes.size())) return kTabPanes[kTabContents];
    return kTabPanes[static_cast<std::size_t>(tab)];
}

WindowLayout layoutWindow(const LayoutInput& in) {
    const int W = in.width, H = in.height, T = in.toolbarHeight;
    const int D = limitDividing(in.dividing, W);
    WindowLayout out;
    out.dividing = D;
    out.tabStrip = rect(5, T, D - 5, 27);
    out.divider = rect(D, T, 6, H - T);
    out.frame = rect(D + 7, T, W - (D + 13), H - T - 5);
    out.browser = rect(D + 8, T + 1, W - (D + 13) - 3, H - T - 7);

    const Rect tallPane = rect(5, T + 30, D - 5, H - 35 - T);  // the tree, or favorites' list
    const Rect listUnderBox = rect(5, T + 55, D - 5, H - 60 - T);
    switch (in.tab) {  // an unknown tab lays out as the contents tab, as tabPanes shows it
    case kTabIndex:
        out.text1 = rect(5, T + 30, D - 5, 20);
        out.list1 = listUnderBox;
        break;
    case kTabSearch:
        out.text1 = rect(5, T + 30, D - 50, 20);
        out.command1 = rect(D - 40, T + 30, 40, 20);
        out.list1 = listUnderBox;
        break;
    case kTabFavorites:
        out.list1 = tallPane;
        break;
    default:
        out.tree = tallPane;
        out.treeColumnWidth = std::max(0, tallPane.width - in.scrollBarWidth - 3);
        break;
    }
    return out;
}

bool clearsListOnSwitch(int tab, const std::vector<std::string>& lines) {
    if (tab != kTabIndex && tab != kTabSearch) return false;
    return lines.size() == 1 && (lines[0] == kNoFavorites || lines[0] == kNothingFound);
}

}  // namespace orv::helpwindow
