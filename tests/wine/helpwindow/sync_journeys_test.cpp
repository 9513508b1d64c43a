// The sync window as a person uses it from the help window, under Wine beside the sync
// server stand-in: a change made in a second IDE folder fetched, looked at and applied
// in this one; records abandoned and set back with the questions answered; more records
// pending than the list shows, all applied; a server that is down, answers garbage or
// keeps the request waiting until the user stops it.
#include "wine/tiny_server.h"  // first: Winsock wants to come before <windows.h>

#include "helpwindow/journey_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/list_view.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/window_capture.h"
#include "library/fragment.h"
#include "helpwindow/menu_states.h"
#include "library/change_log.h"
#include "library/plain_progress.h"
#include "library/udate.h"
#include "sync/public_save.h"
#include "sync/sync_list.h"
#include "sync/win32/sync_window.h"
#include "sync/wire_packing.h"
#include "support/recording_prompter.h"
#include "tools/win32/progress_window.h"
#include <commctrl.h>

#include <future>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;
using wine::answerNextBox;
using wine::answerNextBoxes;

namespace {

constexpr int kCheckPending = 105, kDeleteRecords = 106, kApply = 107, kAbandon = 108, kDetail = 109,
              kSetPending = 110, kFrame3 = 113, kFetch = 114, kList = 103;

class SyncJourney : public HelpWindowJourney {
protected:
    void TearDown() override {
        if (HWND w = sync::syncWindow()) DestroyWindow(w);
        HelpWindowJourney::TearDown();
    }

    static std::string accountSettings(const std::string& user, const std::string& password, const std::string& server) {
        return "[setup]\r\nuser=" + user + "\r\npassword=" + sync::PasswordDigest(password) + "\r\nserver=" + server + "\r\n";
    }

    HWND openSync() {
        window().clickToolbar(kCmdSync);
        EXPECT_TRUE(pumpUntil([] { return sync::syncWindow() != nullptr; }, 5000));
        pumpFor(200);
        return sync::syncWindow();
    }

    static HWND list() { return GetDlgItem(sync::syncWindow(), kList); }
    static std::string detail() { return wine::windowText(GetDlgItem(sync::syncWindow(), kDetail)); }
    static std::string frame3() { return wine::windowText(GetDlgItem(sync::syncWindow(), kFrame3)); }

    static void click(HWND control) {
        RECT r{};
        GetClientRect(control, &r);
        wine::clickAt(control, {r.right / 2, r.bottom / 2});
    }

    // Clicks a button whose command shows boxes, answering them in turn; what they said.
    static std::vector<std::string> clickAnswering(int id, std::vector<int> buttons, unsigned ms = 15000) {
        const size_t expected = buttons.size();
        auto boxes = answerNextBoxes(std::move(buttons), ms);
        click(GetDlgItem(sync::syncWindow(), id));
        EXPECT_TRUE(pumpUntil([&] { return boxes.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
                              static_cast<int>(ms) * static_cast<int>(expected) + 5000));
        std::vector<std::string> said;
        for (const wine::AnsweredBox& box : boxes.get()) said.push_back(box.seen.text);
        pumpFor(200);
        return said;
    }

    // The row showing record lID, or -1.
    static int rowOf(long long lID) {
        for (int i = 0; i < framework::ListRowCount(list()); ++i)
            if (framework::ListRowData(list(), i) == lID) return i;
        return -1;
    }

    static void clickRow(int row) {
        SendMessageW(list(), LVM_ENSUREVISIBLE, row, FALSE);
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageW(list(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        wine::clickAt(list(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        pumpFor(300);
    }

    // A click on the row's check box.
    static void clickCheck(int row) {
        SendMessageW(list(), LVM_ENSUREVISIBLE, row, FALSE);
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageW(list(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        wine::clickAt(list(), {r.left + framework::ScreenScale().ScaleX(8), (r.top + r.bottom) / 2});
        pumpFor(200);
    }

    long long pending() { return count(library::kPublic, library::tables::UpdateList, "sExecute=0"); }
};

}  // namespace

TEST_F(SyncJourney, AChangeMadeInAnotherIdeFolderIsFetchedShownAndApplied) {
    const char* server = std::getenv("ORV_SYNC_SERVER_URL");
    if (!server) GTEST_SKIP() << "no sync server stand-in (ORV_SYNC_SERVER_URL): the native build is not known";
    // This folder fetched up to a second ago; what other journeys sent before stays behind.
    ASSERT_GT(db_.addItemUtf(library::kPublic, library::tables::UpdateList,
                             "uID=2,uName='demo',sCommand=1,sName='旧记录',sText='',sExecute=2,tID=1,uDate=" +
                                 std::to_string(library::uDateNow() - 1)),
              0);

    // The second IDE folder: the same libraries, where "demo" renames 运算符.
    test::TempDir other;
    std::string error;
    ASSERT_TRUE(samples::makeSampleLibraries(other.path().u8string(), library::ideFile(folder_, "public.rows"),
                                             library::ideFile(folder_, "private.rows"), error))
        << error;
    library::SqliteHostDb otherDb;
    ASSERT_TRUE(otherDb.open(library::kPublic, other.file(std::string(library::kPublicFile)),
                             library::OpenMode::ExistingOnly, error))
        << error;
    library::Settings demo;
    demo.user = "demo";
    demo.password = sync::PasswordDigest("orvdemo");
    demo.server = server;
    test::RecordingPrompter otherPrompter;
    library::PlainProgress otherProgress;
    sync::ServerSession otherSession{demo, otherPrompter, otherProgress, sync::makeHttpClient()};
    const sync::SaveResult sent = sync::SaveIntoLibrary(
        otherSession, otherDb, library::kPublic, sync::PublicChange{1, 5, "运算符", "DirName='运算符号'"}, 0);
    ASSERT_TRUE(sent.saved()) << sync::saveStepText(sent.step) << " " << ::testing::PrintToString(otherPrompter.shown);

    // This folder belongs to "once".
    open(accountSettings("once", "orvonce", server));
    HWND syncForm = openSync();
    ASSERT_NE(syncForm, nullptr);
    EXPECT_EQ(frame3(), "同步");
    EXPECT_EQ(detail().rfind("当网络上有更新", 0), 0u) << detail();

    const std::vector<std::string> said = clickAnswering(kFetch, {IDOK});
    EXPECT_EQ(said, std::vector<std::string>{"同步完成，新增条更新1记录。"});
    EXPECT_EQ(frame3(), "同步(1)");
    EXPECT_EQ(window().toolbarText(kCmdSync), "同步(1)");
    const long long lID = library::toInt(db_.findOnly(library::kPublic, library::tables::UpdateList, "sExecute=0", "lID", ""));
    const int row = rowOf(lID);
    ASSERT_EQ(row, 0) << "pending records come first";
    EXPECT_EQ(framework::ListCellText(list(), row, 0), "修改分类");
    EXPECT_EQ(framework::ListCellText(list(), row, 1), "demo");
    EXPECT_EQ(framework::ListCellText(list(), row, 3), "运算符");
    EXPECT_EQ(framework::ListCellText(list(), row, 4), library::stateText(library::kStatePending));

    clickRow(row);
    EXPECT_NE(detail().find("修改分类，ID=5"), std::string::npos) << detail();
    EXPECT_NE(detail().find("修改内容(sql命令)：\r\nDirName='运算符号'"), std::string::npos) << detail();
    EXPECT_TRUE(window().waitForPage("运算符")) << "the record's category page is shown";
    EXPECT_TRUE(framework::SaveWindowPng(syncForm, forms_test::journeyPicture("sync.png")));

    EXPECT_EQ(clickAnswering(kApply, {IDOK}),
              std::vector<std::string>{"更新公共库完成。共有1条更新记录，成功更新：1条记录。"});
    EXPECT_EQ(db_.findOnly(library::kPublic, library::tables::Directory, "dID=5", "DirName", ""), "运算符号");
    EXPECT_EQ(framework::ListCellText(list(), rowOf(lID), 4), library::stateText(library::kStateApplied));
    EXPECT_EQ(frame3(), "同步");
    EXPECT_EQ(window().toolbarText(kCmdSync), "同步");
    EXPECT_TRUE(window().waitForPage("运算符号")) << "the page shown is built again from the changed row";
    EXPECT_TRUE(pumpUntil([&] { return window().child(window().child(nullptr, "语言参考"), "运算符号") != nullptr; }, 5000))
        << "the tree shows the new name";
}

TEST_F(SyncJourney, RecordsAreAbandonedAndSetBackWithTheQuestionsAnsweredAndAllPendingOnesApplied) {
    // 305 pending renames of 运算符, oldest first named 1 … 305: more than the list shows.
    {
        library::HostTransaction transaction(db_, library::kPublic);
        for (int i = 1; i <= 305; ++i)
            ASSERT_GT(db_.addItemUtf(library::kPublic, library::tables::UpdateList,
                                     "uID=3,uName='李四',sCommand=1,sName='运算符',sText='DirName=''运算符" +
                                         std::to_string(i) + "''',sExecute=0,tID=5,uDate=" + std::to_string(1800000000 + i)),
                      0);
        ASSERT_TRUE(transaction.commit());
    }
    open();
    HWND syncForm = openSync();
    ASSERT_NE(syncForm, nullptr);
    EXPECT_EQ(frame3(), "同步(305)");
    int listedPending = 0;
    for (int i = 0; i < framework::ListRowCount(list()); ++i)
        listedPending += framework::ListCellText(list(), i, 4) == library::stateText(library::kStatePending);
    EXPECT_EQ(listedPending, 300);
    EXPECT_EQ(framework::ListCellText(list(), 0, 2), sync::syncListDate(1800000305)) << "the newest first";

    HWND abandon = GetDlgItem(syncForm, kAbandon);
    EXPECT_FALSE(IsWindowEnabled(abandon)) << "nothing checked";
    clickCheck(0);
    EXPECT_TRUE(ListView_GetCheckState(list(), 0));
    EXPECT_TRUE(IsWindowEnabled(abandon));
    const long long first = static_cast<long long>(framework::ListRowData(list(), 0));

    EXPECT_EQ(clickAnswering(kAbandon, {IDNO}), std::vector<std::string>{"将要把已经选择的记录修改为【放弃】状态吗？"});
    EXPECT_EQ(pending(), 305);
    EXPECT_EQ(clickAnswering(kAbandon, {IDYES, IDOK}),
              (std::vector<std::string>{"将要把已经选择的记录修改为【放弃】状态吗？", "更改记录完成。被更改：1 条记录。"}));
    EXPECT_EQ(pending(), 304);
    EXPECT_EQ(frame3(), "同步(304)");
    EXPECT_EQ(framework::ListCellText(list(), rowOf(first), 4), library::stateText(library::kStateAbandoned));
    EXPECT_FALSE(IsWindowEnabled(abandon)) << "the list was read again, nothing checked";

    clickCheck(rowOf(first));
    EXPECT_EQ(clickAnswering(kSetPending, {IDYES, IDOK}),
              (std::vector<std::string>{"将要把已经选择的记录修改为【未更新】状态吗？", "更改记录完成。被更改：1 条记录。"}));
    EXPECT_EQ(pending(), 305);

    // "未更新" checks the 300 listed pending records; deleting is refused at the question.
    click(GetDlgItem(syncForm, kCheckPending));
    pumpFor(200);
    EXPECT_TRUE(ListView_GetCheckState(list(), 299));
    EXPECT_EQ(clickAnswering(kDeleteRecords, {IDNO}), std::vector<std::string>{"将要删除全部已经选择的记录吗？"});
    EXPECT_EQ(count(library::kPublic, library::tables::UpdateList, ""), 305);

    EXPECT_EQ(clickAnswering(kApply, {IDOK}, 60000),
              std::vector<std::string>{"更新公共库完成。共有305条更新记录，成功更新：305条记录。"});
    EXPECT_EQ(pending(), 0);
    EXPECT_EQ(db_.findOnly(library::kPublic, library::tables::Directory, "dID=5", "DirName", ""), "运算符305")
        << "applied oldest first";
    EXPECT_EQ(frame3(), "同步");

    // A click on the date column's header sorts by it, a second the other way round.
    HWND header = reinterpret_cast<HWND>(SendMessageW(list(), LVM_GETHEADER, 0, 0));
    RECT date{};
    SendMessageW(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&date));
    const POINT middle{(date.left + date.right) / 2, (date.top + date.bottom) / 2};
    wine::clickAt(header, middle);
    pumpFor(300);
    EXPECT_EQ(framework::ListCellText(list(), 0, 2), sync::syncListDate(1800000006)) << "the oldest of the 300 listed";
    wine::clickAt(header, middle);
    pumpFor(300);
    EXPECT_EQ(framework::ListCellText(list(), 0, 2), sync::syncListDate(1800000305));
}

TEST_F(SyncJourney, AServerThatIsDownAnswersGarbageOrKeepsTheRequestWaitingIsToldAndAddsNothing) {
    wine::TinyServer garbage;
    ASSERT_NE(garbage.port(), 0);
    int closedPort = 0;
    {
        wine::TinyServer gone;
        closedPort = gone.port();
    }
    open();
    const long long records = count(library::kPublic, library::tables::UpdateList, "");
    const struct { std::string server; const char* said; } cases[] = {
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/", "网络异常，无法和澄岭的服务器通信。"},
        {garbage.url("/"), "服务器的回答无法识别，没有取得更新记录。"},
    };
    for (const auto& c : cases) {
        test::writeFile(std::filesystem::u8path(settingsFile()), accountSettings("once", "orvonce", c.server));
        if (HWND w = sync::syncWindow()) DestroyWindow(w);
        SendMessageW(helpWindowHandle(), WM_CLOSE, 0, 0);
        pumpFor(100);
        open(accountSettings("once", "orvonce", c.server));
        ASSERT_NE(openSync(), nullptr);
        const std::vector<std::string> said = clickAnswering(kFetch, {IDOK});
        ASSERT_EQ(said.size(), 1u) << c.server;
        EXPECT_EQ(said[0].rfind(c.said, 0), 0u) << c.server << ": " << said[0];
        EXPECT_EQ(count(library::kPublic, library::tables::UpdateList, ""), records);
    }

    // A server that keeps the request: the user stops the wait from the progress window.
    if (HWND w = sync::syncWindow()) DestroyWindow(w);
    SendMessageW(helpWindowHandle(), WM_CLOSE, 0, 0);
    pumpFor(100);
    wine::TinyServer slow;
    open(accountSettings("once", "orvonce", slow.url("/held/")));
    ASSERT_NE(openSync(), nullptr);
    // Meanwhile the person also tries to close the help window: it stays while the
    // request it owns waits.
    HWND help = helpWindowHandle();
    bool helpStayed = false;
    auto stopper = std::async(std::launch::async, [&] {
        HWND progress = wine::waitForWindow(tools::kProgressWindowClass, 10000);
        if (!progress) return false;
        PostMessageW(help, WM_CLOSE, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        helpStayed = IsWindow(help) && IsWindow(progress);
        PostMessageW(GetDlgItem(progress, tools::kProgressStopId), BM_CLICK, 0, 0);
        return true;
    });
    const std::vector<std::string> said = clickAnswering(kFetch, {IDYES, IDOK});
    EXPECT_TRUE(stopper.get()) << "the progress window showed";
    EXPECT_TRUE(helpStayed) << "the help window does not go while its sync window waits";
    EXPECT_EQ(said, (std::vector<std::string>{tools::kStopQuestion, std::string(sync::kFetchStoppedMessage)}));
    EXPECT_EQ(count(library::kPublic, library::tables::UpdateList, ""), records);
    EXPECT_TRUE(IsWindowEnabled(sync::syncWindow())) << "the window is given back";
    slow.release();
}
