// The help window when a person does not wait: a command pressed while a link is still
// being resolved, the window closed and a second paste started in the middle of a public
// paste, another window's command meanwhile, a close while the daily check waits for the
// server, typing before an editor's page is in, and a stranger's program sending the
// window messages with wild addresses. Each moment is reached with a latch (a worker's
// read held in the library, a hook called between two rows of a command), not by timing;
// a watchdog ends the program if the window stops answering.
#include "wine/tiny_server.h"  // first: Winsock wants to come before <windows.h>

#include "helpwindow/journey_fixture.h"

#include "editors/win32/editor_windows.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/win32/page_message.h"
#include "library/fragment.h"
#include "library/plain_progress.h"
#include "library/udate.h"
#include "setup/win32/setup_window.h"
#include "support/recording_prompter.h"
#include "sync/http_client.h"
#include "sync/server_protocol.h"
#include "sync/win32/sync_window.h"
#include "sync/wire_packing.h"
#include "tools/win32/progress_window.h"
#include "wine/watchdog.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <future>
#include <sstream>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;
using namespace std::chrono_literals;
using wine::answerNextBox;
using wine::answerNextBoxes;

namespace {

constexpr int kSyncApply = 107;
constexpr int kCategoryName = 201, kCategorySave = 108;

std::string accountSettings(const std::string& server) {
    return "[setup]\r\nuser=demo\r\npassword=" + sync::PasswordDigest("orvdemo") + "\r\nserver=" + server + "\r\n";
}

bool ready(const std::future<std::vector<wine::AnsweredBox>>& boxes) {
    return boxes.wait_for(0ms) == std::future_status::ready;
}

class HurriedJourney : public HelpWindowJourney {
protected:
    void TearDown() override {
        db_.afterAdd = nullptr;
        db_.release();
        for (HWND w : {sync::syncWindow(), editors::categoryEditorWindow(), editors::entryEditorWindow()})
            if (w) DestroyWindow(w);
        HelpWindowJourney::TearDown();
    }

    // The page message as the IDE sends it, with the link in this program's memory.
    void followLink(const std::string& link) {
        SendMessageW(window().form(), kPageMessage, kFollowLink, reinterpret_cast<LPARAM>(link.c_str()));
    }

    std::string value(int lib, std::string_view table, const std::string& where, std::string_view column) {
        return db_.findOnly(lib, table, where, column, "");
    }
};

}  // namespace

// A link into a category is still being resolved (its worker held inside the library)
// when that category is deleted: nothing waits for anything, the delete happens once,
// and the link's target is shown where it now lies, in the bin.
TEST_F(HurriedJourney, DeleteWhileALinkIsResolvedHangsNothingAndDeletesOnce) {
    open(sampleSettings() + "\r\nkill=0\r\nupdate=1\r\n");
    HelpWindowDriver& w = window();
    HTREEITEM notes = w.open({"[私用库]", "笔记"});
    ASSERT_NE(notes, nullptr);
    const std::string notesId = value(library::kPrivate, library::tables::Directory, "DirName='笔记'", "dID");
    const wine::Watchdog watchdog(60s, "the help window stopped answering after a delete during a link");

    db_.holdNextWorkerRead();
    followLink("t画网格");  // by name, so that the worker reads the library; in 笔记 > 草稿
    ASSERT_TRUE(db_.waitHeld(5000)) << "the link's worker never read the library";
    w.click(notes);
    w.clickToolbar(kCmdDelete);  // kill=0: no question
    ASSERT_TRUE(pumpUntil(
        [&] {
            return value(library::kPrivate, library::tables::Directory, "dID=" + notesId, "ParentDir") != "0";
        },
        10000))
        << "the delete did not happen while the link waited";
    db_.release();
    EXPECT_TRUE(w.waitForPage("用 LINE 画出网格")) << "the link's page never came";
    EXPECT_TRUE(pumpUntil([&] { return w.selectedText() == "画网格"; }, 10000)) << w.selectedText();

    const std::string bin = value(library::kPrivate, library::tables::Directory,
                                  "nType=" + std::to_string(library::kCategoryRecycleBin), "dID");
    EXPECT_EQ(count(library::kPrivate, library::tables::Directory, "DirName='笔记'"), 1);
    EXPECT_EQ(value(library::kPrivate, library::tables::Directory, "dID=" + notesId, "ParentDir"), bin);
    EXPECT_EQ(count(library::kPrivate, library::tables::KeywordList, "DisplayKeyWord='画网格'"), 1);
    w.picture("hurried-delete-during-link.png");
}

// In the middle of a public paste, between its first and second item, the person closes
// the help window three ways, pastes again and presses the sync window's 更新公共库. The
// paste keeps its progress window to the end, nothing else runs, the window stays, and
// every item is pasted once, here and on the server.
TEST_F(HurriedJourney, APublicPasteKeepsItsWindowAndItsProgressAndRunsOnce) {
    const char* server = std::getenv("ORV_SYNC_SERVER_URL");
    if (!server) GTEST_SKIP() << "no sync server stand-in (ORV_SYNC_SERVER_URL): the native build is not known";
    // A pending record that 更新公共库 would apply.
    ASSERT_GT(db_.addItemUtf(library::kPublic, library::tables::UpdateList,
                             "uID=2,uName='demo',sCommand=1,sName='运算符',sText='DirName=''运算符号''',sExecute=0,"
                             "tID=5,uDate=" + std::to_string(library::uDateNow() - 100)),
              0);
    open(accountSettings(server));
    HelpWindowDriver& w = window();
    HWND form = w.form();
    w.clickToolbar(kCmdSync);
    ASSERT_TRUE(pumpUntil([] { return sync::syncWindow() != nullptr; }, 5000));
    HWND apply = GetDlgItem(sync::syncWindow(), kSyncApply);

    HTREEITEM print = w.open({"语言参考", "语句", "PRINT"});
    HTREEITEM statements = w.child(w.child(nullptr, "语言参考"), "语句");
    HTREEITEM dim = w.child(statements, "DIM");
    ASSERT_NE(print, nullptr);
    ASSERT_NE(dim, nullptr);
    w.click(print);
    w.click(dim, MK_CONTROL);
    ASSERT_TRUE(w.menuOn(dim, kMenuCopy).chosen);
    HTREEITEM operators = w.child(w.child(nullptr, "语言参考"), "运算符");
    ASSERT_NE(operators, nullptr);
    w.click(operators);

    struct Seen {
        bool hooked = false, progressShown = false, helpDisabled = false, stillThere = false, otherWindowOpened = false,
             treeHeld = false;
        std::vector<std::string> refusals;
    } seen;
    db_.afterAdd = [&](int lib, std::string_view table, std::string_view) {
        if (lib != library::kPublic || table != library::tables::KeywordList) return;
        db_.afterAdd = nullptr;  // between the first item and the second, once
        seen.hooked = true;
        HWND progress = FindWindowW(tools::kProgressWindowClass, nullptr);
        seen.progressShown = progress && IsWindowVisible(progress);
        seen.helpDisabled = !IsWindowEnabled(form);
        auto boxes = answerNextBoxes({IDOK, IDOK, IDOK, IDOK, IDOK}, 5000);
        SendMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageW(form, WM_CLOSE, 0, 0);
        PostMessageW(form, WM_CLOSE, 0, 0);  // met by the paste's next wait
        SendMessageW(form, WM_COMMAND, kMenuPaste, 0);
        SendMessageW(sync::syncWindow(), WM_COMMAND, MAKEWPARAM(kSyncApply, BN_CLICKED), reinterpret_cast<LPARAM>(apply));
        // Windows whose loops would hold the paste below them until closed.
        for (int command : {kMenuMove, kCmdSetup, kMenuNewEntry}) SendMessageW(form, WM_COMMAND, command, 0);
        // A click queued on the tree before the progress window came: the items the
        // paste holds stay where they are.
        wine::clickTreeButton(w.tree(), statements);
        while (!ready(boxes)) wine::pumpFor(20);
        for (const wine::AnsweredBox& box : boxes.get()) seen.refusals.push_back(box.seen.text);
        seen.stillThere = IsWindow(form) != FALSE;
        seen.otherWindowOpened = FindWindowW(L"ORVWindowClassForm选择目录", nullptr) ||
                                 setup::setupWindow() || editors::entryEditorWindow();
        seen.treeHeld = (TreeView_GetItemState(w.tree(), statements, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    };
    const long long started = library::uDateNow();
    const wine::Watchdog watchdog(120s, "the public paste never ended");
    ASSERT_TRUE(w.menuOn(operators, kMenuPaste).chosen);
    ASSERT_TRUE(pumpUntil(
        [&] {
            return count(library::kPublic, library::tables::KeywordList,
                         "dID=5 And DisplayKeyWord In ('PRINT','DIM')") == 2 &&
                   !FindWindowW(tools::kProgressWindowClass, nullptr);
        },
        60000))
        << "the paste did not finish";
    pumpFor(300);

    ASSERT_TRUE(seen.hooked);
    EXPECT_TRUE(seen.progressShown) << "the first item's server request took the paste's progress window away";
    EXPECT_TRUE(seen.helpDisabled) << "the help window was usable in the middle of the paste";
    EXPECT_TRUE(seen.stillThere);
    EXPECT_FALSE(seen.otherWindowOpened) << "a window opened inside the paste";
    EXPECT_TRUE(seen.treeHeld) << "a click closed a category while the paste held its items";
    ASSERT_EQ(seen.refusals.size(), 5u);
    for (const std::string& text : seen.refusals) EXPECT_NE(text.find("“粘贴”还没有结束"), std::string::npos) << text;
    EXPECT_EQ(helpWindowHandle(), form) << "closed under its own paste";
    EXPECT_TRUE(IsWindowEnabled(form));
    EXPECT_EQ(count(library::kPublic, library::tables::KeywordList, "DisplayKeyWord='PRINT' And dID=5"), 1);
    EXPECT_EQ(count(library::kPublic, library::tables::KeywordList, "DisplayKeyWord='DIM' And dID=5"), 1);
    EXPECT_EQ(count(library::kPublic, library::tables::UpdateList, "tID=5 And sExecute=0"), 1)
        << "更新公共库 ran inside the paste";

    // What the server took, as any IDE fetching after it would see it.
    library::Settings demo;
    demo.user = "demo";
    demo.password = sync::PasswordDigest("orvdemo");
    demo.server = server;
    test::RecordingPrompter prompter;
    library::PlainProgress progress;
    sync::ServerSession session{demo, prompter, progress, sync::makeHttpClient()};
    const sync::FetchedRecords fetched = sync::FetchRecords(session, started - 1);
    ASSERT_TRUE(fetched.problem.empty()) << fetched.problem;
    int prints = 0, dims = 0;
    for (const std::string& record : fetched.records) {
        if (record.find("sName='PRINT'") != std::string::npos) ++prints;
        if (record.find("sName='DIM'") != std::string::npos) ++dims;
    }
    EXPECT_EQ(prints, 1) << ::testing::PrintToString(fetched.records);
    EXPECT_EQ(dims, 1) << ::testing::PrintToString(fetched.records);
    w.picture("hurried-public-paste.png");
}

// The daily check's request waits for a server that does not answer: closing the window
// neither waits for it nor leaves anything behind that runs into the closed window.
TEST_F(HurriedJourney, ClosingWhileTheDailyCheckWaitsForTheServerIsImmediate) {
    wine::TinyServer server;
    const std::time_t threeDaysAgo = std::time(nullptr) - 3 * 86400;
    const std::tm then = *std::localtime(&threeDaysAgo);
    open("[orvHelp]\r\nUpdateDate=" + library::timestampText(then) + "\r\n" + accountSettings(server.url("/held/")));
    HWND form = window().form();
    pumpFor(500);  // the check's request is out and held
    const ULONGLONG before = GetTickCount64();
    SendMessageW(form, WM_CLOSE, 0, 0);
    const ULONGLONG took = GetTickCount64() - before;
    EXPECT_FALSE(IsWindow(form));
    // Wine on a display without a window manager takes two seconds to take any window
    // off the screen; the server holds the request for ten.
    EXPECT_LT(took, 5000u) << "closing waited for the daily check's request";
    server.release();
    pumpFor(500);  // the request's end finds the window gone
    EXPECT_EQ(helpWindowHandle(), nullptr);
}

// A new category's name is typed the moment its editor opens, long before the
// description page is in: the name typed is the name saved.
TEST_F(HurriedJourney, ANameTypedBeforeTheEditorsPageIsInIsSaved) {
    open(sampleSettings() + "\r\nupdate=1\r\n");
    HelpWindowDriver& w = window();
    HTREEITEM start = w.child(nullptr, "入门");
    ASSERT_NE(start, nullptr);
    w.click(start);
    PostMessageW(w.form(), WM_COMMAND, kMenuNewCategory, 0);  // 新建 > 新增分类
    ASSERT_TRUE(pumpUntil([] { return editors::categoryEditorWindow() != nullptr; }, 5000));
    HWND editor = editors::categoryEditorWindow();
    HWND name = GetDlgItem(editor, kCategoryName);
    ASSERT_NE(name, nullptr);
    // Sent, not posted: typed before anything else of the editor has run.
    for (wchar_t c : std::wstring(L"急速分类")) SendMessageW(name, WM_CHAR, c, 1);
    ASSERT_EQ(wine::windowText(name), "急速分类");

    pumpFor(2000);  // the page comes in
    wine::MessageBoxWatcher boxes;
    wine::clickAt(GetDlgItem(editor, kCategorySave), {10, 10});
    pumpFor(2000);
    for (auto& b : boxes.take()) ADD_FAILURE() << b.text;
    ASSERT_TRUE(pumpUntil([] { return editors::categoryEditorWindow() == nullptr; }, 10000)) << "the editor stayed";
    EXPECT_EQ(count(library::kPublic, library::tables::Directory, "DirName='急速分类' And ParentDir=6"), 1);
}

// 移动 refuses the private root before it asks anything: no chooser opens.
TEST_F(HurriedJourney, TheRefusalToMoveComesBeforeTheChooser) {
    open(sampleSettings() + "\r\nupdate=1\r\n");
    HelpWindowDriver& w = window();
    HTREEITEM root = w.child(nullptr, "[私用库]");
    ASSERT_NE(root, nullptr);
    w.click(root);
    auto box = answerNextBox(IDOK, 8000);
    w.menuOn(root, kMenuMove);
    ASSERT_TRUE(pumpUntil([&] { return box.wait_for(0ms) == std::future_status::ready; }, 10000));
    EXPECT_EQ(box.get().seen.text, "【私有库】不可以被移动。");
    EXPECT_EQ(FindWindowW(L"ORVWindowClassForm选择目录", nullptr), nullptr);
}

namespace {

// Memory of this program that is not there to read, of every kind a stranger's address
// may fall into, and a text whose end lies beyond what may be read.
struct UnreadableMemory {
    UnreadableMemory() {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        page = info.dwPageSize;
        reserved = VirtualAlloc(nullptr, page, MEM_RESERVE, PAGE_READWRITE);
        noAccess = VirtualAlloc(nullptr, page, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
        guarded = VirtualAlloc(nullptr, page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE | PAGE_GUARD);
        freed = VirtualAlloc(nullptr, page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        VirtualFree(freed, 0, MEM_RELEASE);
        // Two pages: the first full of letters with no end, the second unreadable.
        edge = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        std::memset(edge, 'A', page);
        DWORD old = 0;
        VirtualProtect(edge + page, page, PAGE_NOACCESS, &old);
    }
    ~UnreadableMemory() {
        VirtualFree(reserved, 0, MEM_RELEASE);
        VirtualFree(noAccess, 0, MEM_RELEASE);
        VirtualFree(guarded, 0, MEM_RELEASE);
        VirtualFree(edge, 0, MEM_RELEASE);
    }
    std::vector<std::uintptr_t> addresses() const {
        const auto at = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
        return {1, 0x10, 0xFFFF, at(reserved), at(noAccess), at(guarded), at(freed), at(edge),
                at(edge + page - 8),  // a record running into the unreadable page
                at(edge + page - 2)};
    }
    DWORD page = 4096;
    void *reserved = nullptr, *noAccess = nullptr, *guarded = nullptr, *freed = nullptr;
    char* edge = nullptr;
};

// Runs the stranger's program and keeps this thread's messages flowing until it ends;
// its exit status, or -1 when it could not be started or did not end.
int runStranger(HWND window, const std::vector<std::uintptr_t>& addresses) {
    std::ostringstream command;
    command << std::hex << "wild_sender.exe " << reinterpret_cast<std::uintptr_t>(window);
    for (std::uintptr_t a : addresses) command << ' ' << a;
    std::wstring line = text::utf8ToWide(command.str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD status = static_cast<DWORD>(-1);
    if (pumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 120000))
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

}  // namespace

// Another program sends the page message and the plug-in's registered messages with
// addresses that cannot be read here, or whose text or record runs past what can: nothing
// is read, nothing runs, the window answers every one and shows what it showed. The same
// message with an address this program really holds is followed.
TEST_F(HurriedJourney, WildAddressesFromAnotherProgramReadNothing) {
    open();
    HelpWindowDriver& w = window();
    HTREEITEM print = w.open({"语言参考", "语句", "PRINT"});
    ASSERT_NE(print, nullptr);
    w.click(print);
    ASSERT_TRUE(w.waitForPage("在屏幕上输出文字"));
    const std::string page = w.pageSource();
    const int tab = static_cast<int>(SendMessageW(GetDlgItem(w.form(), 102), TCM_GETCURSEL, 0, 0));

    const UnreadableMemory memory;
    const wine::Watchdog watchdog(180s, "the help window stopped answering a stranger's messages");
    EXPECT_EQ(runStranger(w.form(), memory.addresses()), 0) << "messages the window did not answer";
    pumpFor(500);
    ASSERT_EQ(helpWindowHandle(), w.form());
    EXPECT_EQ(SendMessageW(GetDlgItem(w.form(), 102), TCM_GETCURSEL, 0, 0), tab);
    EXPECT_EQ(w.pageSource(), page);
    EXPECT_EQ(w.selectedText(), "PRINT");

    static const char link[] = "tDIM";
    EXPECT_EQ(runStranger(w.form(), {reinterpret_cast<std::uintptr_t>(link)}), 0);
    EXPECT_TRUE(w.waitForPage("声明变量")) << "a readable link was not followed";
}
