// The help window as a person uses it, under Wine over the stand-in engine (real
// Chromium) and the sample libraries: every step is a click or a keystroke posted to the
// window, every check reads back what the controls, the engine or the libraries hold,
// and each journey leaves a picture in the journeys folder.
#include "helpwindow/journey_fixture.h"

#include "framework/win32/engine_binding.h"
#include "framework/win32/screen_scale.h"
#include "helpwindow/index_search.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/win32/help_window.h"
#include "helpwindow/window_layout.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sample_libraries.h"
#include "support/temp_dir.h"
#include "text/win32/wide_text.h"
#include "wine/message_boxes.h"
#include "wine/user_input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;
using wine::answerNextBox;
using wine::MessageBoxWatcher;

namespace {

const std::string kPrintPage = "在屏幕上输出文字";

// Every item of PopupMenu1 that has a command id was seen in the menu, enabled as the
// core's rule says. ("新建" itself is a submenu: it has no id to be seen by.)
void expectMenuFollowsTheRule(const MenuSeen& menu, const MenuContext& context) {
    int items = 0;
    for (const CommandItem& item : kPopupMenu1Items) {
        if (item.text.empty()) continue;
        ++items;
        const auto seen = menu.enabled.find(item.id);
        ASSERT_NE(seen, menu.enabled.end()) << item.text << " was not in the menu";
        EXPECT_EQ(seen->second, commandEnabled(context, item.id)) << item.text;
    }
    EXPECT_EQ(items, 13);
}
const std::string kDimPage = "声明变量";

}  // namespace

TEST_F(HelpWindowJourney, BrowseTheContentsFollowALinkAndGoBackAndForward) {
    open();
    HelpWindowDriver& w = window();
    EXPECT_EQ(w.childTexts(nullptr), (std::vector<std::string>{"语言参考", "入门", "版本说明", "[私用库]"}));
    HTREEITEM print = w.open({"语言参考", "语句", "PRINT"});
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(w.childTexts(w.child(w.child(nullptr, "语言参考"), "语句")),
              (std::vector<std::string>{"DIM", "FOR...NEXT", "PRINT"}));
    w.click(print);
    ASSERT_TRUE(w.waitForPage(kPrintPage)) << w.pageSource();
    EXPECT_EQ(w.selectedText(), "PRINT");
    EXPECT_FALSE(w.toolbarEnabled(kCmdForward));

    // The word Dim of the highlighted example links to its entry.
    ASSERT_TRUE(w.clickLink(L"Dim")) << "no link Dim on the page";
    ASSERT_TRUE(w.waitForPage(kDimPage)) << w.pageSource();
    EXPECT_TRUE(pumpUntil([&] { return w.selectedText() == "DIM"; }, 5000)) << w.selectedText();
    w.picture("helpwindow-link-followed.png");

    ASSERT_TRUE(w.toolbarEnabled(kCmdBack));
    w.clickToolbar(kCmdBack);
    EXPECT_TRUE(w.waitForPage(kPrintPage));
    EXPECT_TRUE(pumpUntil([&] { return w.selectedText() == "PRINT"; }, 5000)) << w.selectedText();
    ASSERT_TRUE(w.toolbarEnabled(kCmdForward));
    w.clickToolbar(kCmdForward);
    EXPECT_TRUE(w.waitForPage(kDimPage));

    // Home, at once: the tree closed again and the first top-level page shown.
    w.clickToolbar(kCmdHome);
    EXPECT_TRUE(w.waitForPage("FreeBASIC 的关键字、语句、函数与数据类型。"));
    EXPECT_EQ(w.selectedText(), "语言参考");
}

TEST_F(HelpWindowJourney, TheIndexFollowsTypingAndSearchTakesAnApostrophe) {
    open();
    HelpWindowDriver& w = window();
    w.clickTab(kTabIndex);
    EXPECT_TRUE(IsWindowVisible(w.text1()));
    EXPECT_TRUE(IsWindowVisible(w.list()));
    EXPECT_FALSE(IsWindowVisible(w.tree()));
    EXPECT_FALSE(w.toolbarEnabled(kCmdDelete));  // the tree's buttons wait for the contents tab

    SetFocus(w.text1());
    wine::typeText(w.text1(), L"pri");
    ASSERT_TRUE(pumpUntil([&] { return w.listLines() == std::vector<std::string>{"PRINT"}; }))
        << testing::PrintToString(w.listLines());
    EXPECT_EQ(w.listSelection(), LB_ERR);  // a beginning only: nothing chosen for the user
    wine::typeText(w.text1(), L"nt");
    ASSERT_TRUE(pumpUntil([&] {
        const std::vector<std::string> lines = w.listLines();
        const int at = w.listSelection();
        return at >= 0 && at < static_cast<int>(lines.size()) && lines[static_cast<std::size_t>(at)] == "PRINT";
    })) << "the exact match is not selected in " << testing::PrintToString(w.listLines()) << " for "
        << w.text1Text() << ", line " << w.listSelection();
    w.picture("helpwindow-index.png");
    wine::pressKey(w.text1(), VK_RETURN);
    EXPECT_TRUE(w.waitForPage(kPrintPage));

    // The search tab: a word with an apostrophe is a word, not a broken query.
    MessageBoxWatcher boxes;
    w.clickTab(kTabSearch);
    SendMessageW(w.text1(), EM_SETSEL, 0, -1);
    wine::typeText(w.text1(), L"don't");
    wine::pressKey(w.text1(), VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] { return w.listLines() == std::vector<std::string>{std::string(kNothingFound)}; }))
        << (w.listLines().empty() ? "" : w.listLines().front());
    EXPECT_TRUE(boxes.take().empty());
    SendMessageW(w.text1(), EM_SETSEL, 0, -1);
    wine::typeText(w.text1(), L"屏幕");
    wine::pressKey(w.text1(), VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] {
        const std::vector<std::string> lines = w.listLines();
        return std::find(lines.begin(), lines.end(), "PRINT") != lines.end();
    }));
    w.picture("helpwindow-search.png");
}

TEST_F(HelpWindowJourney, AFavoriteIsAddedAndOpenedFromTheFavoritesTab) {
    open();
    HelpWindowDriver& w = window();
    HTREEITEM dim = w.open({"语言参考", "语句", "DIM"});
    ASSERT_NE(dim, nullptr);
    w.click(dim);
    ASSERT_TRUE(w.waitForPage(kDimPage));
    {
        MessageBoxWatcher boxes;
        w.clickToolbar(kCmdFavorite);
        ASSERT_TRUE(pumpUntil([&] { return count(library::kPrivate, "Favorite", "DisplayKeyWord='DIM'") == 1; }));
        pumpFor(300);
        const std::vector<wine::SeenBox> seen = boxes.take();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen.front().text, "添加收藏成功！");
    }
    // The tab fills its list at once, without a button.
    w.clickTab(kTabFavorites);
    std::vector<std::string> lines;
    ASSERT_TRUE(pumpUntil([&] {
        lines = w.listLines();
        return std::find(lines.begin(), lines.end(), "DIM") != lines.end();
    })) << "the favorites list lacks DIM";
    EXPECT_NE(std::find(lines.begin(), lines.end(), "PRINT"), lines.end());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(w.form(), kCommand1)));

    // Back to the start page, then the favorite opens the entry again.
    w.clickToolbar(kCmdHome);
    w.clickTab(kTabFavorites);
    ASSERT_TRUE(pumpUntil([&] { return !w.listLines().empty(); }));
    lines = w.listLines();
    const auto at = std::find(lines.begin(), lines.end(), "DIM") - lines.begin();
    RECT line{};
    SendMessageW(w.list(), LB_GETITEMRECT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&line));
    wine::clickAt(w.list(), {(line.left + line.right) / 2, (line.top + line.bottom) / 2});
    EXPECT_TRUE(w.waitForPage(kDimPage));
    w.picture("helpwindow-favorites.png");
}

TEST_F(HelpWindowJourney, AnEntryGoesToTheBinAndThenForGood) {
    open();
    HelpWindowDriver& w = window();
    HTREEITEM entry = w.open({"[私用库]", "笔记", "草稿", "画网格"});
    ASSERT_NE(entry, nullptr);
    w.click(entry);
    ASSERT_TRUE(w.waitForPage("用 LINE 画出网格"));

    auto question = answerNextBox(IDYES);
    w.clickToolbar(kCmdDelete);
    pumpUntil([&] { return question.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
    const wine::AnsweredBox asked = question.get();
    ASSERT_NE(asked.box, nullptr) << "no question before the delete";
    EXPECT_NE(asked.seen.text.find("删除是直接将它移动到回收站。"), std::string::npos) << asked.seen.text;

    HTREEITEM privateRoot = w.child(nullptr, "[私用库]");
    HTREEITEM bin = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (bin = w.child(privateRoot, std::string(library::kPrivateBinName))) != nullptr; }))
        << "no bin in the tree";
    const long long binId = db_.maxId(library::kPrivate, "Directory", "dID", "nType=" + std::to_string(library::kCategoryRecycleBin));
    EXPECT_EQ(count(library::kPrivate, "KeywordList", "DisplayKeyWord='画网格' And dID=" + std::to_string(binId)), 1);

    HTREEITEM inBin = w.open({"[私用库]", std::string(library::kPrivateBinName), "画网格"});
    ASSERT_NE(inBin, nullptr);
    w.click(inBin);
    question = answerNextBox(IDYES);
    const MenuSeen menu = w.menuOn(inBin, kMenuDelete);
    ASSERT_TRUE(menu.shown);
    EXPECT_TRUE(menu.chosen);
    MenuContext context;
    context.selected = Selected::Entry;
    context.insideBin = true;
    context.type = 0;
    expectMenuFollowsTheRule(menu, context);
    pumpUntil([&] { return question.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
    EXPECT_NE(question.get().seen.text.find("这里是回收站"), std::string::npos);
    EXPECT_TRUE(pumpUntil([&] { return count(library::kPrivate, "KeywordList", "DisplayKeyWord='画网格'") == 0; }));
    EXPECT_EQ(count(library::kPrivate, "KeywordData", "KeyWord='画网格'"), 0);
    w.picture("helpwindow-deleted-for-good.png");
}

TEST_F(HelpWindowJourney, ACategoryIsCopiedIntoAnotherAndCounted) {
    open();
    HelpWindowDriver& w = window();
    HTREEITEM draft = w.open({"[私用库]", "笔记", "草稿"});
    ASSERT_NE(draft, nullptr);
    w.click(draft);
    MenuSeen menu = w.menuOn(draft, kMenuCopy);
    ASSERT_TRUE(menu.chosen);
    EXPECT_FALSE(menu.enabled[kMenuPaste]) << "paste offered with nothing copied";

    HTREEITEM shapes = w.child(w.child(nullptr, "[私用库]"), "shapes.bi");
    ASSERT_NE(shapes, nullptr);
    w.click(shapes);
    MessageBoxWatcher boxes;
    menu = w.menuOn(shapes, kMenuPaste);
    ASSERT_TRUE(menu.chosen);
    EXPECT_TRUE(menu.enabled[kMenuPaste]);
    ASSERT_TRUE(pumpUntil([&] { return count(library::kPrivate, "Directory", "DirName='草稿'") == 2; }));
    EXPECT_EQ(count(library::kPrivate, "KeywordList", "DisplayKeyWord='画网格'"), 2);
    HTREEITEM copied = w.open({"[私用库]", "shapes.bi", "草稿", "画网格"});
    EXPECT_NE(copied, nullptr);

    HTREEITEM notes = w.child(w.child(nullptr, "[私用库]"), "笔记");
    w.click(notes);
    boxes.take();
    menu = w.menuOn(notes, kMenuStatistics);
    ASSERT_TRUE(menu.chosen);
    std::vector<wine::SeenBox> seen;
    ASSERT_TRUE(pumpUntil([&] {
        for (wine::SeenBox& box : boxes.take()) seen.push_back(box);
        return !seen.empty();
    }));
    EXPECT_NE(seen.front().text.find("分类数量："), std::string::npos) << seen.front().text;
    EXPECT_NE(seen.front().text.find("词条数量："), std::string::npos) << seen.front().text;
    w.picture("helpwindow-copied.png");
}

TEST_F(HelpWindowJourney, WithoutASelectionTheMenuOffersOnlyWhatNeedsNone) {
    open();
    HelpWindowDriver& w = window();
    // The tree selects its first item when it takes the focus: a person's click beside
    // the items, after the selection went, finds none.
    SendMessageW(w.tree(), TVM_SELECTITEM, TVGN_CARET, 0);
    ASSERT_EQ(w.selectedItem(), nullptr);
    RECT client{};
    GetClientRect(w.tree(), &client);
    auto seen = chooseFromNextMenu(0, 5000, "helpwindow-tree-menu.png");
    wine::clickAt(w.tree(), {client.right / 2, client.bottom - 5}, 0, true);
    pumpUntil([&] { return seen.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 8000);
    const MenuSeen menu = seen.get();
    ASSERT_TRUE(menu.shown);
    expectMenuFollowsTheRule(menu, MenuContext{});
    EXPECT_FALSE(menu.enabled.at(kMenuDelete));
    // The items that have an icon show it.
    for (const CommandItem& item : kPopupMenu1Items) {
        if (item.text.empty()) continue;
        const bool pictured = item.id == kMenuNew ? menu.submenuPictured.at(std::string(item.text))
                                                  : menu.pictured.at(item.id);
        EXPECT_EQ(pictured, !item.icon.empty()) << item.text;
    }
}

TEST_F(HelpWindowJourney, TheDividerStaysWithinItsLimitsAndIsKept) {
    open("[orvHelp]\r\nLeft=40\r\nTop=40\r\nRight=840\r\nBottom=640\r\nDividing=50\r\n");
    HelpWindowDriver& w = window();
    const framework::DpiScale& scale = framework::ScreenScale();
    HWND divider = GetDlgItem(w.form(), kPicture1);
    const auto dividerLeft = [&] {
        RECT r{};
        GetWindowRect(divider, &r);
        MapWindowPoints(nullptr, w.form(), reinterpret_cast<POINT*>(&r), 2);
        return r.left;
    };
    EXPECT_EQ(dividerLeft(), scale.ScaleX(kMinDividing));

    // Dragged one beyond the right limit, it stops 300 short of the right edge.
    RECT client{};
    GetClientRect(w.form(), &client);
    const int limit = scale.UnscaleX(client.right) - kBrowserMinWidth;
    POINT beyond{scale.ScaleX(limit + 1), 5};
    MapWindowPoints(w.form(), divider, &beyond, 1);
    PostMessageW(divider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    PostMessageW(divider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(beyond.x, beyond.y));
    PostMessageW(divider, WM_LBUTTONUP, 0, MAKELPARAM(beyond.x, beyond.y));
    pumpFor(200);
    EXPECT_EQ(dividerLeft(), scale.ScaleX(limit));
    const std::string saved = test::readFile(std::filesystem::u8path(settingsFile()));
    EXPECT_NE(saved.find("Dividing=" + std::to_string(limit)), std::string::npos) << saved;
    w.picture("helpwindow-divider.png");
}

// The sync button counts the pending change records as the window opens (the button's
// own text says "同步" before anything is counted).
TEST_F(HelpWindowJourney, TheSyncButtonCountsThePendingRecordsAtOnce) {
    struct Case {
        int pending;
        const char* caption;
    };
    for (const Case c : {Case{0, "同步"}, Case{2, "同步(2)"}}) {
        SCOPED_TRACE(c.pending);
        ASSERT_GE(db_.deleteItem(library::kPublic, library::tables::UpdateList, ""), 0);
        for (int i = 0; i < c.pending; ++i)
            ASSERT_GT(db_.addItemUtf(library::kPublic, library::tables::UpdateList,
                                     "uID=2,uName='demo',sCommand=1,sName='运算符',sText='DirName=''x''',sExecute=0,"
                                     "tID=5,uDate=" + std::to_string(1700000000 + i)),
                      0);
        // One already applied, which is not counted.
        ASSERT_GT(db_.addItemUtf(library::kPublic, library::tables::UpdateList,
                                 "uID=2,uName='demo',sCommand=1,sName='运算符',sText='DirName=''y''',sExecute=1,"
                                 "tID=5,uDate=1600000000"),
                  0);
        open();
        EXPECT_EQ(window().toolbarText(kCmdSync), c.caption);
        SendMessageW(window().form(), WM_CLOSE, 0, 0);
        pumpFor(100);
    }
}

// The close box and a plain close request both keep where the window was.
class ClosingTheWindow : public HelpWindowJourney, public ::testing::WithParamInterface<bool> {};

TEST_P(ClosingTheWindow, SavesThePlacement) {
    open();
    HWND form = window().form();
    // Larger than the smallest window at 144 dpi too.
    MoveWindow(form, 60, 70, 800, 640, TRUE);
    if (GetParam())
        SendMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        SendMessageW(form, WM_CLOSE, 0, 0);
    pumpFor(100);
    EXPECT_EQ(helpWindowHandle(), nullptr);
    const std::string saved = test::readFile(std::filesystem::u8path(settingsFile()));
    EXPECT_NE(saved.find("Left=60"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Right=860"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Bottom=710"), std::string::npos) << saved;
}

INSTANTIATE_TEST_SUITE_P(BothWays, ClosingTheWindow, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? std::string("CloseBox") : std::string("CloseRequest"); });
