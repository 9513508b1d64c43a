// The help window's person at the keyboard and mouse. Win32 only.
#include "helpwindow/window_driver.h"

#include "forms/forms_support.h"
#include "framework/win32/control_record.h"
#include "framework/win32/engine_binding.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/window_capture.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/window_layout.h"
#include "text/win32/wide_text.h"
#include "wine/user_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace orv::helpwindow_test {
namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU

BOOL CALLBACK findEngineView(HWND child, LPARAM lp) {
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    if (lstrcmpW(cls, L"wkeWebWindow") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lp) = child;
    return FALSE;
}

void noteItems(HMENU menu, MenuSeen& seen) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (HMENU sub = GetSubMenu(menu, i)) {
            seen.submenuPictured[text::wideToUtf8(text)] = info.hbmpItem != nullptr;
            // A submenu's item has no command id: "新建" is noted under its own.
            if (text::wideToUtf8(text) == "新建")
                seen.enabled[helpwindow::kMenuNew] =
                    (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
            noteItems(sub, seen);
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;
        seen.enabled[static_cast<int>(id)] =
            (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
        seen.pictured[static_cast<int>(id)] = info.hbmpItem != nullptr;
    }
}

int positionOf(HMENU menu, int id) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == static_cast<UINT>(id)) return i;
    return -1;
}

}  // namespace

std::future<MenuSeen> chooseFromNextMenu(int id, unsigned timeoutMs, std::string picture) {
    return std::async(std::launch::async, [id, timeoutMs, picture] {
        MenuSeen seen;
        HWND menuWindow = wine::waitForWindow(L"#32768", timeoutMs);
        if (!menuWindow) return seen;
        seen.shown = true;
        if (!picture.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // drawn by now
            framework::SaveWindowPng(menuWindow, forms_test::journeyPicture(picture));
        }
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kMenuGetHandle, 0, 0));
        if (menu) noteItems(menu, seen);
        const int position = menu && id ? positionOf(menu, id) : -1;
        RECT item{};
        if (position >= 0 && GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item)) {
            const POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
            SetCursorPos(at.x, at.y);
            // The menu holds the mouse while it is open and reads the point of a mouse
            // message as a screen point.
            const LPARAM where = MAKELPARAM(at.x, at.y);
            PostMessageW(menuWindow, WM_MOUSEMOVE, 0, where);
            PostMessageW(menuWindow, WM_LBUTTONDOWN, MK_LBUTTON, where);
            PostMessageW(menuWindow, WM_LBUTTONUP, 0, where);
            seen.chosen = true;
        }
        // A menu still open (nothing to choose, or the click went astray) is closed as a
        // person would close it, so the window's thread comes back either way.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
        while (IsWindow(menuWindow) && IsWindowVisible(menuWindow)) {
            if (std::chrono::steady_clock::now() > until) {
                seen.chosen = false;
                PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
                PostMessageW(menuWindow, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return seen;
    });
}

HelpWindowDriver::HelpWindowDriver(HWND form)
    : form_(form),
      tree_(GetDlgItem(form, helpwindow::kTreeList1)),
      list_(GetDlgItem(form, helpwindow::kList1)),
      text1_(GetDlgItem(form, helpwindow::kText1)),
      toolbar_(GetDlgItem(form, helpwindow::kToolBar1)),
      tabs_(GetDlgItem(form, helpwindow::kTabControl1)),
      view_(engineViewOf(form)) {}

HTREEITEM HelpWindowDriver::child(HTREEITEM parent, const std::string& text) const {
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                      reinterpret_cast<LPARAM>(item))))
        if (wine::treeItemText(tree_, item) == text) return item;
    return nullptr;
}

std::vector<std::string> HelpWindowDriver::childTexts(HTREEITEM parent) const {
    std::vector<std::string> out;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                      reinterpret_cast<LPARAM>(item))))
        out.push_back(wine::treeItemText(tree_, item));
    return out;
}

HTREEITEM HelpWindowDriver::selectedItem() const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::string HelpWindowDriver::selectedText() const {
    HTREEITEM item = selectedItem();
    return item ? wine::treeItemText(tree_, item) : std::string();
}

HTREEITEM HelpWindowDriver::open(const std::vector<std::string>& path) {
    HTREEITEM item = nullptr;
    for (std::size_t i = 0; i < path.size(); ++i) {
        HTREEITEM next = nullptr;
        pumpUntil([&] { return (next = child(item, path[i])) != nullptr; }, 5000);
        if (!next) {
            ADD_FAILURE() << "no \"" << path[i] << "\" under \"" << (item ? wine::treeItemText(tree_, item) : "")
                          << "\"";
            return nullptr;
        }
        item = next;
        const bool expanded = SendMessageW(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                              TVIS_EXPANDED;
        if (i + 1 < path.size() && !expanded) {
            EXPECT_TRUE(wine::clickTreeButton(tree_, item)) << path[i];
        }
    }
    return item;
}

void HelpWindowDriver::click(HTREEITEM item, WPARAM keys) { wine::clickTreeItem(tree_, item, keys); }

MenuSeen HelpWindowDriver::menuOn(HTREEITEM item, int id) {
    auto seen = chooseFromNextMenu(id);
    wine::rightClickTreeItem(tree_, item);
    pumpUntil([&] { return seen.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 8000);
    pumpFor(100);
    return seen.get();
}

void HelpWindowDriver::clickTab(int tab) {
    RECT r{};
    SendMessageW(tabs_, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
    wine::clickAt(tabs_, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void HelpWindowDriver::clickToolbar(int id) {
    RECT r{};
    SendMessageW(toolbar_, TB_GETRECT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&r));
    wine::clickAt(toolbar_, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

std::string HelpWindowDriver::toolbarText(int id) const {
    wchar_t buffer[128] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = buffer;
    info.cchText = 128;
    SendMessageW(toolbar_, TB_GETBUTTONINFOW, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
    return text::wideToUtf8(buffer);
}

bool HelpWindowDriver::toolbarEnabled(int id) const {
    return SendMessageW(toolbar_, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0) != 0;
}

std::vector<std::string> HelpWindowDriver::listLines() const {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(list_, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(wcslen(line.c_str()));
        lines.push_back(text::wideToUtf8(line));
    }
    return lines;
}

int HelpWindowDriver::listSelection() const { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }

std::string HelpWindowDriver::text1Text() const {
    wchar_t buffer[512] = {};
    GetWindowTextW(text1_, buffer, 512);
    return text::wideToUtf8(buffer);
}

std::string viewSource(HWND view) {
    const framework::EngineFunctions* engine = framework::Engine();
    const framework::ControlRecord* record = view ? framework::FindRecord(view) : nullptr;
    if (!engine || !engine->wkeGetSource || !record || !record->webView) return {};
    const char* source = engine->wkeGetSource(static_cast<wkeWebView>(record->webView));
    return source ? source : "";
}

HWND engineViewOf(HWND form) {
    HWND view = nullptr;
    EnumChildWindows(form, findEngineView, reinterpret_cast<LPARAM>(&view));
    return view;
}

std::wstring runViewScript(HWND view, const std::wstring& script) {
    const framework::EngineFunctions* engine = framework::Engine();
    const framework::ControlRecord* record = view ? framework::FindRecord(view) : nullptr;
    if (!engine || !engine->wkeRunJSW || !engine->wkeGlobalExec || !engine->jsToStringW || !record) return {};
    const auto webView = static_cast<wkeWebView>(record->webView);
    const jsValue value = engine->wkeRunJSW(webView, script.c_str());
    const wchar_t* textValue = engine->jsToStringW(engine->wkeGlobalExec(webView), value);
    return textValue ? textValue : L"";
}

void settleView(HWND view) {
    pumpUntil([&] { return runViewScript(view, L"return document.readyState;") == L"complete"; }, 5000);
    pumpFor(300);
}

bool clickElement(HWND view, const std::wstring& findElement) {
    const std::wstring at = runViewScript(
        view, L"var a = (function () {" + findElement + L"})();"
              L"if (!a) return '';"
              L"a.scrollIntoView({block: 'center'});"
              L"var r = a.getBoundingClientRect();"
              L"return Math.round(r.left + r.width / 2) + ',' + Math.round(r.top + r.height / 2);");
    const auto comma = at.find(L',');
    if (comma == std::wstring::npos) return false;
    // The page's pixels are the view's at the zoom the view was made with.
    const framework::EngineFunctions* engine = framework::Engine();
    const framework::ControlRecord* record = framework::FindRecord(view);
    float zoom = engine && engine->wkeGetZoomFactor && record
                     ? engine->wkeGetZoomFactor(static_cast<wkeWebView>(record->webView))
                     : 1.0f;
    if (zoom <= 0) zoom = 1.0f;
    wine::clickAt(view, {static_cast<LONG>(std::stoi(at.substr(0, comma)) * zoom),
                         static_cast<LONG>(std::stoi(at.substr(comma + 1)) * zoom)});
    return true;
}

std::string HelpWindowDriver::pageSource() const { return viewSource(view_); }

bool HelpWindowDriver::waitForPage(const std::string& fragment, int ms) const {
    return pumpUntil([&] { return pageSource().find(fragment) != std::string::npos; }, ms);
}

std::wstring HelpWindowDriver::runScript(const std::wstring& script) const { return runViewScript(view_, script); }

void HelpWindowDriver::settle() { settleView(view_); }

bool HelpWindowDriver::clickLink(const std::wstring& text, bool settleFirst) {
    if (settleFirst) settle();
    return clickElement(view_, L"return Array.prototype.find.call(document.querySelectorAll('a'), function (x) {"
                               L"  return x.textContent.trim() === '" + text + L"'; });");
}

void HelpWindowDriver::picture(const std::string& fileName) const {
    pumpFor(300);
    EXPECT_TRUE(framework::SaveWindowPng(form_, forms_test::journeyPicture(fileName))) << fileName;
}

}  // namespace orv::helpwindow_test
