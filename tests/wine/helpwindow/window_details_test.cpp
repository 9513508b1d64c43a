// The help window's details a person meets every day: the search word marked on the page
// a search result opens, the toolbar's tooltips, the tree's menu from the keyboard, a
// double click on the divider, and a category page of real entry names at the window's
// own size.
#include "helpwindow/journey_fixture.h"

#include "helpwindow/menu_states.h"
#include "helpwindow/win32/page_message.h"
#include "helpwindow/window_layout.h"
#include "library/paths.h"
#include "setup/win32/setup_window.h"
#include "wine/message_boxes.h"
#include "wine/user_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;

namespace {

// The text the toolbar's tooltip asks the window for, as the toolbar itself asks it.
std::wstring tooltipOf(HelpWindowDriver& w, int id) {
    HWND tips = reinterpret_cast<HWND>(SendMessageW(w.toolbar(), TB_GETTOOLTIPS, 0, 0));
    if (!tips) return L"(no tooltip control)";
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = tips;
    request.hdr.idFrom = static_cast<UINT_PTR>(id);
    request.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(w.form(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&request));
    return request.lpszText ? std::wstring(request.lpszText) : L"(no answer)";
}

bool menuShown(std::future<MenuSeen>& seen) {
    pumpUntil([&] { return seen.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 8000);
    return seen.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready && seen.get().shown;
}

// The manual library as Wine reaches it, or empty when the shared folder is not there.
std::filesystem::path manualFixture() {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    if (!shared) return {};
    std::wstring path = L"Z:" + text::utf8ToWide(shared) + L"/fixtures/PubHelp-fbmanual.db";
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? std::filesystem::path(path)
                                                                       : std::filesystem::path();
}

}  // namespace

// A page opened from the search results marks the search word, as long as the search tab
// is the one shown.
TEST_F(HelpWindowJourney, APageOpenedFromASearchMarksTheSearchWord) {
    open();
    HelpWindowDriver& w = window();
    w.clickTab(kTabSearch);
    SetFocus(w.text1());
    wine::typeText(w.text1(), L"屏幕");
    wine::pressKey(w.text1(), VK_RETURN);
    int line = -1;
    ASSERT_TRUE(pumpUntil([&] {
        const std::vector<std::string> lines = w.listLines();
        const auto at = std::find(lines.begin(), lines.end(), "PRINT");
        line = at == lines.end() ? -1 : static_cast<int>(at - lines.begin());
        return line >= 0;
    })) << testing::PrintToString(w.listLines());
    RECT rect{};
    SendMessageW(w.list(), LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&rect));
    wine::clickAt(w.list(), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    EXPECT_TRUE(w.waitForPage("<span class=\"highlight\">屏幕</span>")) << w.pageSource();
    w.picture("helpwindow-search-marked.png");

    // On the contents tab the same page is not marked.
    w.clickTab(kTabContents);
    HTREEITEM print = w.open({"语言参考", "语句", "PRINT"});
    ASSERT_NE(print, nullptr);
    w.click(w.child(TreeView_GetParent(w.tree(), print), "DIM"));
    ASSERT_TRUE(w.waitForPage("声明变量"));
    w.click(print);
    ASSERT_TRUE(w.waitForPage("在屏幕上输出文字")) << w.pageSource();
    EXPECT_EQ(w.pageSource().find("class=\"highlight\""), std::string::npos);
}

// Every toolbar button's tooltip is its text, the sync button's count included.
TEST_F(HelpWindowJourney, TheToolbarsTooltipsAreItsButtonsTexts) {
    open();
    HelpWindowDriver& w = window();
    for (const CommandItem& button : kToolbarButtons) {
        if (button.text.empty()) continue;
        SCOPED_TRACE(std::string(button.text));
        EXPECT_EQ(text::wideToUtf8(tooltipOf(w, button.id)), w.toolbarText(button.id));
    }
    EXPECT_EQ(text::wideToUtf8(tooltipOf(w, kCmdHome)), "主页");
}

// The menu key and Shift+F10 open the tree's menu at the selected item, as a right click
// opens it at the mouse.
TEST_F(HelpWindowJourney, TheTreesMenuOpensFromTheKeyboard) {
    open();
    HelpWindowDriver& w = window();
    HTREEITEM print = w.open({"语言参考", "语句", "PRINT"});
    ASSERT_NE(print, nullptr);
    w.click(print);
    SetFocus(w.tree());

    auto byMenuKey = chooseFromNextMenu(0, 5000, "helpwindow-tree-menu-key.png");
    wine::pressKey(w.tree(), VK_APPS);
    EXPECT_TRUE(menuShown(byMenuKey)) << "the menu key opened no menu";

    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    BYTE shifted[256];
    std::copy(std::begin(keys), std::end(keys), shifted);
    shifted[VK_SHIFT] = shifted[VK_LSHIFT] = 0x80;
    SetKeyboardState(shifted);
    auto byShiftF10 = chooseFromNextMenu(0, 5000);
    PostMessageW(w.tree(), WM_SYSKEYDOWN, VK_F10, 1);
    pumpUntil([&] { return byShiftF10.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 8000);
    SetKeyboardState(keys);
    EXPECT_TRUE(byShiftF10.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready && byShiftF10.get().shown)
        << "Shift+F10 opened no menu";
}

// A double click on the divider is no command: nothing is said, nothing runs.
TEST_F(HelpWindowJourney, ADoubleClickOnTheDividerSaysNothing) {
    open();
    HelpWindowDriver& w = window();
    wine::MessageBoxWatcher boxes;
    HWND divider = GetDlgItem(w.form(), kPicture1);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(divider, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(2, 20));
    pumpFor(500);
    const std::vector<wine::SeenBox> said = boxes.take();
    EXPECT_TRUE(said.empty()) << (said.empty() ? "" : said.front().text);
}

// A category page of the FreeBASIC manual at the window's own size: long entry names
// wrap, descriptions keep a readable width, and nothing runs off the page.
TEST_F(HelpWindowJourney, ACategoryPageOfRealNamesFitsTheWindow) {
    const std::filesystem::path manual = manualFixture();
    if (manual.empty()) GTEST_SKIP() << "the manual library (ORV_SHARED_DIR/fixtures) is not here";
    const std::filesystem::path copy = std::filesystem::u8path(library::ideFile(folder_, "Settings/manual-copy.db"));
    ASSERT_TRUE(CopyFileW(manual.wstring().c_str(), copy.wstring().c_str(), FALSE)) << GetLastError();
    std::string error;
    ASSERT_TRUE(db_.open(library::kPublic, copy.u8string(), library::OpenMode::CreateMissing, error)) << error;
    open();
    HelpWindowDriver& w = window();
    const std::string id = db_.findOnly(library::kPublic, library::tables::Directory,
                                        "DirName='Keywords - Alphabetical'", "dID", "");
    ASSERT_FALSE(id.empty());
    const std::string link = "r0" + id;
    SendMessageW(w.form(), kPageMessage, kFollowLink, reinterpret_cast<LPARAM>(link.c_str()));
    ASSERT_TRUE(w.waitForPage("Operator ANDALSO")) << w.pageSource().substr(0, 400);
    w.settle();
    const std::wstring overflow = w.runScript(
        L"var e = document.documentElement; return String(e.scrollWidth - e.clientWidth);");
    EXPECT_EQ(overflow, L"0") << "the page runs off to the right by " << text::wideToUtf8(overflow) << " px";
    // The narrowest description of the entries' panel, in hundredths of its table's width
    // (the page is as wide as the window and the screen's dpi make it): the names take
    // two fifths at most, less the cells' padding on a narrow page; squeezed, as before,
    // a description was a letter wide.
    const std::wstring narrowest = w.runScript(
        L"var cells = document.querySelectorAll('.panel-body td:nth-child(2)'), least = 100000;"
        L"for (var i = 0; i < cells.length; ++i) if (cells[i].parentNode.cells.length == 2)"
        L"  least = Math.min(least, 100 * cells[i].getBoundingClientRect().width /"
        L"                          cells[i].parentNode.parentNode.getBoundingClientRect().width);"
        L"return String(Math.round(least));");
    EXPECT_GE(std::stoi(narrowest), 40) << "a description is squeezed to " << text::wideToUtf8(narrowest) << "% of its row";
    w.picture("helpwindow-real-category-page.png");
}

namespace {

// The IDE's own message loop, which knows nothing of our windows: no dialog navigation,
// no accelerators, only translate and dispatch.
void runIdeLoop(int ms) {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (GetTickCount64() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void pressUnderIdeLoop(HWND window, UINT key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), held);
    held[VK_SHIFT] = held[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(held);
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    runIdeLoop(300);
    SetKeyboardState(keys);
}

}  // namespace

// Under the IDE's loop, Tab and Shift+Tab move between the fields of a modeless window of
// ours and Enter presses the focused button.
TEST_F(HelpWindowJourney, TheModelessWindowsKeepTheirDialogKeysUnderTheIdesLoop) {
    open();
    HelpWindowDriver& w = window();
    w.clickToolbar(kCmdSetup);
    ASSERT_TRUE(pumpUntil([] { return setup::setupWindow() != nullptr; }, 5000));
    HWND setupForm = setup::setupWindow();
    runIdeLoop(300);
    HWND first = nullptr;
    for (HWND child = GetWindow(setupForm, GW_CHILD); child && !first; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            first = child;
    ASSERT_NE(first, nullptr);
    SetFocus(first);
    pressUnderIdeLoop(first, VK_TAB);
    HWND second = GetFocus();
    EXPECT_NE(second, first) << "Tab moved nothing";
    EXPECT_TRUE(IsChild(setupForm, second));
    pressUnderIdeLoop(second, VK_TAB, true);
    EXPECT_EQ(GetFocus(), first) << "Shift+Tab did not come back";

    // Enter on the focused 取消 closes the window, as a click would.
    HWND cancel = nullptr;
    for (HWND child = GetWindow(setupForm, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (wine::windowText(child) == "取消") cancel = child;
    ASSERT_NE(cancel, nullptr);
    SetFocus(cancel);
    pressUnderIdeLoop(cancel, VK_RETURN);
    runIdeLoop(300);
    EXPECT_EQ(setup::setupWindow(), nullptr) << "Enter did not press the focused button";
}
