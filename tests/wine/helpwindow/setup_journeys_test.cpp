// The setup window as a person uses it from the help window, under Wine: the server's
// address typed without its slash and an option cleared, stored with the slash and
// nothing else touched; an account name with "#" refused by the account test. The import
// window it opens: a folder import of the header corpus stopped midway, a query of a
// thousand rows, a statement with a syntax error and a folder that is not there. An
// account registered through the online window against the sync server stand-in, signed
// in with and used for a change.
#include "helpwindow/journey_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/window_capture.h"
#include "helpwindow/menu_states.h"
#include "library/settings.h"
#include "framework/win32/ui_tasks.h"
#include "library/fragment.h"
#include "library/plain_progress.h"
#include "support/recording_prompter.h"
#include "sync/http_client.h"
#include "sync/public_save.h"
#include "setup/win32/setup_window.h"
#include "text/win32/wide_text.h"
#include "tools/backup.h"
#include "tools/win32/import_window.h"
#include "tools/win32/progress_window.h"
#include "tools/win32/query_window.h"
#include "sync/wire_packing.h"

#include <commctrl.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;
using wine::answerNextBox;

namespace {

// A modal window driven from a thread of its own is asked to close when the driving ends,
// however it ends: its loop holds the test's own thread until it does.
struct CloseWhenDone {
    HWND form;
    ~CloseWhenDone() {
        if (IsWindow(form)) PostMessageW(form, WM_CLOSE, 0, 0);
    }
};

class SetupJourney : public HelpWindowJourney {
protected:
    void TearDown() override {
        if (HWND setup = setup::setupWindow()) DestroyWindow(setup);
        HelpWindowJourney::TearDown();
    }

    HWND openSetup() {
        window().clickToolbar(kCmdSetup);
        EXPECT_TRUE(pumpUntil([] { return setup::setupWindow() != nullptr; }, 5000));
        pumpFor(200);
        return setup::setupWindow();
    }

    library::Settings stored() {
        return library::readSettings(*library::makeSettingsStore(settingsFile()));
    }

    static void click(HWND control) {
        RECT r{};
        GetClientRect(control, &r);
        wine::clickAt(control, {8, r.bottom / 2});
    }
};

}  // namespace

TEST_F(SetupJourney, AServerTypedWithoutItsSlashIsStoredWithOneAndNothingElseIsTouched) {
    open();
    const library::Settings before = stored();
    HWND setup = openSetup();
    ASSERT_NE(setup, nullptr);
    HWND server = GetDlgItem(setup, 119);
    EXPECT_EQ(wine::windowText(server), before.server);
    EXPECT_EQ(wine::windowText(GetDlgItem(setup, 103)), before.password) << "the box shows the stored digest";

    click(server);
    wine::pressKey(server, VK_END);
    wine::typeText(server, L"\b\b\b\b\b9999");  // "1314/" becomes "9999"
    EXPECT_EQ(wine::windowText(server), "http://127.0.0.1:9999");
    click(GetDlgItem(setup, 120));  // 当回收站里有被删除的就显示回收站
    pumpFor(200);
    EXPECT_TRUE(framework::SaveWindowPng(setup, forms_test::journeyPicture("setup.png")));

    click(GetDlgItem(setup, 105));  // 确定修改
    ASSERT_TRUE(pumpUntil([] { return setup::setupWindow() == nullptr; }, 5000));
    const library::Settings after = stored();
    EXPECT_EQ(after.server, "http://127.0.0.1:9999/");
    EXPECT_EQ(after.recycle, 0);
    EXPECT_EQ(after.password, before.password) << "an untouched password keeps its digest";
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(after.kill, before.kill);
}

TEST_F(SetupJourney, AnAccountWithAHashIsRefusedByTheAccountTest) {
    open();
    const library::Settings before = stored();
    HWND setup = openSetup();
    ASSERT_NE(setup, nullptr);
    HWND account = GetDlgItem(setup, 102);
    click(account);
    wine::pressKey(account, VK_END);
    wine::typeText(account, L"#1");
    auto box = answerNextBox(IDOK);
    click(GetDlgItem(setup, 114));  // 测试登陆
    ASSERT_TRUE(pumpUntil([&] { return box.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 8000));
    EXPECT_EQ(box.get().seen.text, "帐号名中不可以有特殊字符：#");
    EXPECT_EQ(stored().user, before.user) << "nothing is stored";
    EXPECT_NE(setup::setupWindow(), nullptr);
}

namespace {

// The import window is modal over the setup window: while it is open the test's own
// thread runs its message loop, so a person's steps come from a thread of their own.
class ImportJourney : public SetupJourney {
protected:
    // Runs `steps` (given the import window) beside the window opened by 制作; true when
    // the window came and the steps and the window are done.
    bool withImportWindow(const std::function<void(HWND)>& steps, int ms = 120000) {
        HWND setup = openSetup();
        if (!setup) return false;
        auto driver = std::async(std::launch::async, [&] {
            HWND form = wine::waitForWindow(tools::kImportWindowClass, 10000);
            if (!form) return false;
            // However the steps end, the window is asked to close: its modal loop holds the
            // test's own thread until it does.
            const CloseWhenDone closeWhenDone{form};
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            steps(form);
            return true;
        });
        click(GetDlgItem(setup, 122));  // 制作
        const bool done =
            pumpUntil([&] { return driver.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, ms);
        return done && driver.get() && pumpUntil([] { return tools::importWindow() == nullptr; }, 10000);
    }

    // Replaces a text box's text as typing over a selection does.
    static void retype(HWND box, const std::wstring& text) {
        SendMessageW(box, EM_SETSEL, 0, -1);
        wine::typeText(box, text.empty() ? std::wstring(L"\b") : text);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }

    // The boxes a click leads to, answered in turn (from the driver's thread).
    static std::vector<std::string> clickAnswering(HWND button, std::vector<int> answers, unsigned ms = 10000) {
        auto boxes = wine::answerNextBoxes(std::move(answers), ms);
        click(button);
        std::vector<std::string> said;
        for (const wine::AnsweredBox& box : boxes.get()) said.push_back(box.seen.text);
        return said;
    }
};

// The corpus folder as Wine reaches it, or empty when the shared folder is not there.
std::wstring corpusFolder() {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    if (!shared) return {};
    std::wstring path = L"Z:" + text::utf8ToWide(shared) + L"/corpus/fbc-inc/";
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? path : std::wstring();
}

}  // namespace

TEST_F(ImportJourney, AFolderImportStoppedMidwayStillWritesItsReportAndTheTreeShowsIt) {
    const std::wstring corpus = corpusFolder();
    if (corpus.empty()) GTEST_SKIP() << "the header corpus (ORV_SHARED_DIR/corpus/fbc-inc) is not here";
    open();
    const long long before = count(library::kPrivate, library::tables::KeywordList, "");
    std::vector<std::string> said;
    bool stopped = false;
    ASSERT_TRUE(withImportWindow([&](HWND form) {
        click(GetDlgItem(form, 106));  // 文件夹
        retype(GetDlgItem(form, 109), corpus);
        EXPECT_TRUE(framework::SaveWindowPng(form, forms_test::journeyPicture("import.png")));
        auto boxes = wine::answerNextBoxes({IDYES, IDOK}, 120000);
        auto stopper = std::async(std::launch::async, [] {
            HWND progress = wine::waitForWindow(tools::kProgressWindowClass, 10000);
            if (!progress) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            PostMessageW(GetDlgItem(progress, tools::kProgressStopId), BM_CLICK, 0, 0);
            return true;
        });
        click(GetDlgItem(form, 120));  // 开始制作
        stopped = stopper.get();
        for (const wine::AnsweredBox& box : boxes.get()) said.push_back(box.seen.text);
    }));
    EXPECT_TRUE(stopped) << "the progress window showed";
    EXPECT_EQ(said, (std::vector<std::string>{tools::kStopQuestion, "制作完成！"}));

    const std::string report =
        db_.findOnly(library::kPrivate, library::tables::Directory, "DirName Like '%制作'", "Description", "dID DESC");
    EXPECT_NE(report.find("<strong>提取范围</strong>=文件夹"), std::string::npos) << report;
    const long long added = count(library::kPrivate, library::tables::KeywordList, "") - before;
    EXPECT_GT(added, 0);
    const long long files = library::toInt(report.substr(report.find("提取文件数：<font color=\"#3300ff\">") +
                                                         std::string_view("提取文件数：<font color=\"#3300ff\">").size()));
    EXPECT_LT(files, 1000) << "stopped before the corpus's end";
    EXPECT_TRUE(pumpUntil([&] { return window().selectedText().find("制作") != std::string::npos; }, 10000))
        << "the tree goes to the run's category: " << window().selectedText();
    EXPECT_TRUE(window().waitForPage("制作报告")) << "its page is the report";
}

TEST_F(ImportJourney, AQueryOf1000RowsShows300AndTheCaptionAndBadInputAndAFailedBackupAreTold) {
    {
        library::HostTransaction transaction(db_, library::kPrivate);
        for (int i = 0; i < 1000; ++i)
            ASSERT_GT(db_.addItem(library::kPrivate, library::tables::KeywordList,
                                  "dID=424242,sID=0,DisplayKeyWord='行" + std::to_string(i) + "',nType=1,Sort=" +
                                      std::to_string(i)),
                      0);
        ASSERT_TRUE(transaction.commit());
    }
    open();
    struct Shown {
        std::string caption;
        int rows = 0, columns = 0;
    } keywordList, directory;
    std::vector<std::string> syntaxError, missingFolder, backup, failedBackup;
    const std::filesystem::path settingsFolder = std::filesystem::u8path(folder_) / "Settings";
    const std::filesystem::path privateFolder = std::filesystem::u8path(folder_) / "Private";
    ASSERT_TRUE(withImportWindow([&](HWND form) {
        const std::string schema = wine::windowText(GetDlgItem(form, 102));
        EXPECT_EQ(std::count(schema.begin(), schema.end(), '\n'), 34) << "35 lines of the tables' description";
        retype(GetDlgItem(form, 126), L"dID=424242");
        retype(GetDlgItem(form, 129), L"");
        click(GetDlgItem(form, 136));  // 执行命令
        HWND query = wine::waitForWindow(tools::kQueryWindowClass, 10000);
        if (!query) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        HWND grid = GetDlgItem(query, tools::kQueryGridId);
        const auto shown = [&] {
            return Shown{wine::windowText(query), static_cast<int>(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0)),
                         static_cast<int>(SendMessageW(reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0)),
                                                       HDM_GETITEMCOUNT, 0, 0))};
        };
        keywordList = shown();
        EXPECT_TRUE(framework::SaveWindowPng(query, forms_test::journeyPicture("query.png")));
        // A query of another table reuses the window with that table's columns.
        click(GetDlgItem(form, 133));  // 对分类表操作
        retype(GetDlgItem(form, 126), L"dID=1");
        click(GetDlgItem(form, 136));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        directory = shown();
        EXPECT_EQ(wine::waitForWindow(tools::kQueryWindowClass, 100), query);
        click(GetDlgItem(form, 134));  // 对词条列表操作

        retype(GetDlgItem(form, 126), L"kID=");
        syntaxError = clickAnswering(GetDlgItem(form, 136), {IDOK});
        click(GetDlgItem(form, 106));  // 文件夹
        retype(GetDlgItem(form, 109), L"C:\\no\\such\\folder\\");
        missingFolder = clickAnswering(GetDlgItem(form, 120), {IDOK});

        backup = clickAnswering(GetDlgItem(form, 121), {IDOK});
        // From the next second on, every copy name is taken by a folder: the copies cannot
        // be written.
        const std::time_t next = std::time(nullptr) + 1;
        while (std::time(nullptr) < next) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (std::time_t t = next; t < next + 10; ++t) {
            std::error_code ignored;
            std::filesystem::create_directories(
                settingsFolder / std::filesystem::u8path(tools::backupStamp(*std::localtime(&t)) + "_PubHelp.db"), ignored);
        }
        failedBackup = clickAnswering(GetDlgItem(form, 121), {IDOK});
    }));
    EXPECT_EQ(keywordList.caption, "查询结果（最多显示300行）当前共1000行");
    EXPECT_EQ(keywordList.rows, 300);
    EXPECT_EQ(keywordList.columns, 6) << "KeywordList's columns in the header";
    EXPECT_EQ(directory.caption, "查询结果（最多显示300行）当前共1行");
    EXPECT_EQ(directory.rows, 1);
    EXPECT_EQ(directory.columns, 8) << "Directory's columns in the header";
    ASSERT_EQ(syntaxError.size(), 1u);
    EXPECT_EQ(syntaxError[0].rfind("执行SQL代码失败！", 0), 0u) << syntaxError[0];
    EXPECT_EQ(missingFolder, std::vector<std::string>{"目标文件夹不存在！"});
    ASSERT_EQ(backup.size(), 1u);
    EXPECT_EQ(backup[0].rfind("完成备份！", 0), 0u) << backup[0];
    ASSERT_EQ(failedBackup.size(), 1u);
    EXPECT_EQ(failedBackup[0].rfind("备份失败！", 0), 0u) << failedBackup[0];
    // The copies made beside the libraries go again.
    int copies = 0;
    for (const auto& folder : {settingsFolder, privateFolder})
        for (const auto& file : std::filesystem::directory_iterator(folder)) {
            const std::string name = file.path().filename().u8string();
            if (name.size() > 12 && (name.rfind("_PubHelp.db") == name.size() - 11 ||
                                     name.rfind("_PriHelp.db") == name.size() - 11)) {
                copies += file.is_regular_file();
                std::filesystem::remove_all(file.path());
            }
        }
    EXPECT_GE(copies, 2) << "the first backup's two copies";
    EXPECT_NE(tools::queryWindow(), nullptr) << "the result window outlives the import window";
    if (HWND query = tools::queryWindow()) DestroyWindow(query);
    EXPECT_EQ(count(library::kPrivate, library::tables::Directory, "DirName Like '%制作'"), 0) << "no run took place";
}

TEST_F(SetupJourney, AnAccountRegisteredInTheOnlineWindowSignsInAndSubmitsAChange) {
    const char* server = std::getenv("ORV_SYNC_SERVER_URL");
    if (!server) GTEST_SKIP() << "no sync server stand-in (ORV_SYNC_SERVER_URL): the native build is not known";
    open("[setup]\r\nserver=" + std::string(server) + "\r\n");
    HWND setup = openSetup();
    ASSERT_NE(setup, nullptr);

    // The online window is modal: the person fills the server's form from a thread of
    // their own, the page's scripts running on the window's thread.
    std::string title, alert, answer;
    auto person = std::async(std::launch::async, [&] {
        HWND online = wine::waitForWindow(L"ORVWindowClassForm在线", 15000);
        if (!online) return false;
        const CloseWhenDone closeWhenDone{online};  // however the steps end
        // Posted as the plug-in's own workers post, and waited for here.
        const auto onWindowThread = [](const std::function<std::wstring()>& body) {
            auto result = std::make_shared<std::promise<std::wstring>>();
            std::future<std::wstring> ran = result->get_future();
            if (!framework::PostUiTask([body, result] { result->set_value(body()); })) return std::wstring();
            return ran.wait_for(std::chrono::seconds(20)) == std::future_status::ready ? ran.get() : std::wstring();
        };
        const auto until = [](const std::function<bool()>& done) {
            for (int i = 0; i < 300 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return done();
        };
        HWND view = nullptr;
        if (!until([&] { return (view = engineViewOf(online)) != nullptr; })) return false;
        if (!until([&] { return wine::windowText(online) == "注册账号"; })) return false;
        title = wine::windowText(online);
        const auto fill = [&](const wchar_t* id, const std::wstring& text) {
            onWindowThread([&] {
                clickElement(view, std::wstring(L"return document.getElementById('") + id + L"');");
                return std::wstring();
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            wine::typeText(view, text);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        };
        fill(L"uName", L"newcomer");
        fill(L"uPass", L"pw2026");
        // A mistyped second password: the page's own check says so in an alert box.
        fill(L"uPass2", L"pw2027");
        auto alertBox = wine::answerNextBox(IDOK, 10000);
        onWindowThread([&] {
            clickElement(view, L"return document.getElementById('create');");
            return std::wstring();
        });
        alert = alertBox.get().seen.text;
        onWindowThread([&] { return runViewScript(view, L"document.getElementById('uPass2').value = ''; return '';"); });
        fill(L"uPass2", L"pw2026");
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-register.png"));
        onWindowThread([&] {
            clickElement(view, L"return document.getElementById('create');");
            return std::wstring();
        });
        until([&] {
            answer = text::wideToUtf8(onWindowThread([&] {
                return runViewScript(view, L"var s = document.querySelector('.out-ok, .out-err'); return s ? s.textContent : '';");
            }));
            return !answer.empty();
        });
        return true;
    });
    click(GetDlgItem(setup, 112));  // 注册账号
    ASSERT_TRUE(pumpUntil([&] { return person.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 60000));
    ASSERT_TRUE(person.get()) << "the online window showed the registration page";
    EXPECT_EQ(title, "注册账号") << "the caption follows the page's title";
    EXPECT_EQ(alert, "两次输入的密码不一样。") << "the page's alert shows as a message";
    EXPECT_EQ(answer.rfind("注册账号成功！！！", 0), 0u) << answer;
    pumpFor(300);
    HWND account = GetDlgItem(setup, 102), password = GetDlgItem(setup, 103);
    EXPECT_EQ(wine::windowText(account), "newcomer");
    EXPECT_EQ(wine::windowText(password), "");
    EXPECT_EQ(GetFocus(), password);

    wine::typeText(password, L"pw2026");
    auto login = answerNextBox(IDOK, 20000);
    click(GetDlgItem(setup, 114));  // 测试登陆
    ASSERT_TRUE(pumpUntil([&] { return login.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 25000));
    EXPECT_EQ(login.get().seen.text.rfind("测试登陆成功！！！", 0), 0u);
    const library::Settings signedIn = stored();
    EXPECT_EQ(signedIn.user, "newcomer");
    EXPECT_EQ(signedIn.password, sync::PasswordDigest("pw2026"));

    // The new account's change reaches the server and the library.
    test::RecordingPrompter prompter;
    library::PlainProgress progress;
    sync::ServerSession session{signedIn, prompter, progress, sync::makeHttpClient()};
    const sync::SaveResult saved = sync::SaveIntoLibrary(session, db_, library::kPublic,
                                                         sync::PublicChange{1, 4, "数据类型", "Sort=35"}, 0);
    EXPECT_TRUE(saved.saved()) << sync::saveStepText(saved.step) << ::testing::PrintToString(prompter.shown);
    EXPECT_EQ(db_.findOnly(library::kPublic, library::tables::UpdateList, "tID=4 And sCommand=1", "uName", ""), "newcomer");
}
