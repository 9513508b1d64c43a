// Posting a person's clicks and keys. Win32 only.
#include "wine/user_input.h"

#include "framework/win32/message_loop.h"
#include "text/win32/wide_text.h"

#include <chrono>
#include <cstring>

namespace orv::wine {
namespace {

// Long enough for a control's mouse tracking to see the button go up.
constexpr unsigned kInputSettle = 60;

}  // namespace

bool pumpUntil(const std::function<bool()>& done, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        framework::WaitDispatching(5);
    }
    return true;
}

void pumpFor(int ms) { framework::WaitDispatching(static_cast<unsigned>(ms)); }

void clickAt(HWND window, POINT at, WPARAM keys, bool right) {
    POINT screen = at;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM position = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_MOUSEMOVE, keys, position);
    PostMessageW(window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, keys | (right ? MK_RBUTTON : MK_LBUTTON), position);
    PostMessageW(window, right ? WM_RBUTTONUP : WM_LBUTTONUP, keys, position);
    framework::WaitDispatching(kInputSettle);
}

void pressKey(HWND window, UINT key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    framework::WaitDispatching(kInputSettle);
}

void typeText(HWND window, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
    framework::WaitDispatching(kInputSettle);
}

RECT treeItemRect(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);
    if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) return RECT{};
    return rect;
}

void clickTreeItem(HWND tree, HTREEITEM item, WPARAM keys) {
    const RECT r = treeItemRect(tree, item);
    clickAt(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, keys);
}

void rightClickTreeItem(HWND tree, HTREEITEM item) {
    const RECT r = treeItemRect(tree, item);
    clickAt(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 0, true);
}

bool clickTreeButton(HWND tree, HTREEITEM item) {
    const RECT r = treeItemRect(tree, item);
    const int y = (r.top + r.bottom) / 2;
    // The button lies somewhere left of the text: the control itself says where.
    for (int x = 0; x < r.left; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, y};
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem == item && (hit.flags & TVHT_ONITEMBUTTON)) {
            clickAt(tree, {x + 2, y});
            return true;
        }
    }
    return false;
}

std::string treeItemText(HWND tree, HTREEITEM item) {
    wchar_t buffer[512] = {};
    TVITEMW read{};
    read.mask = TVIF_TEXT | TVIF_HANDLE;
    read.hItem = item;
    read.pszText = buffer;
    read.cchTextMax = 512;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read))) return {};
    return text::wideToUtf8(buffer);
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text::wideToUtf8(text);
}

}  // namespace orv::wine
