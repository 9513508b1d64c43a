// A person's mouse and keyboard, played by posting the messages their clicks and keys
// produce to the window under the cursor, then letting them be dispatched. Win32 only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace orv::wine {

// Dispatches this thread's messages until `done` or `ms` milliseconds have passed; false
// when the time ran out.
bool pumpUntil(const std::function<bool()>& done, int ms = 15000);
void pumpFor(int ms);

// A left (or right) click at a point of the window's client area, with these keys held
// (MK_CONTROL, MK_SHIFT). The cursor is moved there first, as a hand on the mouse puts it.
void clickAt(HWND window, POINT at, WPARAM keys = 0, bool right = false);
// A press and release of one key, sent to the window.
void pressKey(HWND window, UINT key);
// Characters typed into the window, one WM_CHAR each.
void typeText(HWND window, const std::wstring& text);

// A tree item's text rectangle in the tree's client area, scrolled into view first;
// empty when the control gives none.
RECT treeItemRect(HWND tree, HTREEITEM item);
// Clicks on the item's text (with keys held), or right-clicks it.
void clickTreeItem(HWND tree, HTREEITEM item, WPARAM keys = 0);
void rightClickTreeItem(HWND tree, HTREEITEM item);
// Clicks the item's expand button; false when it has none.
bool clickTreeButton(HWND tree, HTREEITEM item);
// The item's text as the control shows it.
std::string treeItemText(HWND tree, HTREEITEM item);
// A window's text (UTF-8).
std::string windowText(HWND window);

}  // namespace orv::wine
