// The online window against a hostile server, under Wine: the sync server stand-in's
// hostile pages (an alert flood, a popup, a close request, a way off the site, a claimed
// registration on the first page) and a loopback site of another port that claims a
// registration. A person drives the modal window from a thread of their own; a watchdog
// ends a run that the window would hold for ever.
// Before windows.h, which the fixture brings.
#include <winsock2.h>

#include "helpwindow/journey_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/ui_tasks.h"
#include "framework/win32/window_capture.h"
#include "helpwindow/menu_states.h"
#include "setup/setup_options.h"
#include "setup/win32/online_window.h"
#include "setup/win32/setup_window.h"
#include "text/win32/wide_text.h"
#include "wine/request_listener.h"
#include "wine/watchdog.h"

#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace orv;
using namespace orv::helpwindow_test;

namespace {

constexpr const wchar_t* kOnlineClass = L"ORVWindowClassForm在线";

// A modal window driven from a thread of its own is asked to close when the driving ends,
// however it ends: its loop holds the test's own thread until it does.
struct CloseWhenDone {
    HWND form;
    ~CloseWhenDone() {
        if (IsWindow(form)) PostMessageW(form, WM_CLOSE, 0, 0);
    }
};

// Engine calls run on the window's thread: posted as the plug-in's own workers post, and
// waited for here.
std::wstring onWindowThread(const std::function<std::wstring()>& body) {
    auto result = std::make_shared<std::promise<std::wstring>>();
    std::future<std::wstring> ran = result->get_future();
    if (!framework::PostUiTask([body, result] { result->set_value(body()); })) return std::wstring();
    return ran.wait_for(std::chrono::seconds(20)) == std::future_status::ready ? ran.get() : std::wstring();
}

bool until(const std::function<bool()>& done, int ms = 15000) {
    for (int waited = 0; waited < ms && !done(); waited += 50) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return done();
}

std::wstring viewScript(HWND view, const std::wstring& script) {
    return onWindowThread([&] { return runViewScript(view, script); });
}

bool clickOnPage(HWND view, const std::wstring& findElement) {
    return onWindowThread([&] { return clickElement(view, findElement) ? L"1" : L""; }) == L"1";
}

BOOL CALLBACK countTopLevel(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") != 0)
        ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

// Visible top-level windows of this process other than message boxes.
int topLevelWindows() {
    int count = 0;
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

class OnlineWindowJourney : public HelpWindowJourney {
protected:
    void SetUp() override {
        const char* server = std::getenv("ORV_SYNC_SERVER_URL");
        if (!server) GTEST_SKIP() << "no sync server stand-in (ORV_SYNC_SERVER_URL): the native build is not known";
        server_ = server;
        HelpWindowJourney::SetUp();
    }

    void TearDown() override {
        if (HWND setup = setup::setupWindow()) DestroyWindow(setup);
        HelpWindowJourney::TearDown();
    }

    // The stand-in's hostile page `name` with its query.
    std::string hostile(const std::string& name, const std::string& query = {}) const {
        return server_ + "hostile/" + name + ".htm" + query;
    }

    // Opens the online window over the help window on `url` and lets `person` drive it
    // (the window and its view, once the page is there); false when the window or its
    // page did not come or the person gave up. The window is asked to close when the
    // person is done, unless it went before. What the window handed back in `handedBack`.
    bool drive(const std::string& url, const std::function<bool(HWND, HWND)>& person, std::string& handedBack) {
        auto driving = std::async(std::launch::async, [&] {
            HWND online = wine::waitForWindow(kOnlineClass, 15000);
            if (!online) return false;
            const CloseWhenDone closeWhenDone{online};
            HWND view = nullptr;
            if (!until([&] { return (view = engineViewOf(online)) != nullptr; })) return false;
            if (!until([&] { return viewScript(view, L"return document.readyState;") == L"complete"; })) return false;
            return person(online, view);
        });
        handedBack = setup::runOnlineWindow(window().form(), url, [this](const std::wstring& address) {
            std::lock_guard<std::mutex> lock(openedMutex_);
            opened_.push_back(text::wideToUtf8(address));
        });
        return driving.get();
    }

    std::vector<std::string> opened() {
        std::lock_guard<std::mutex> lock(openedMutex_);
        return opened_;
    }

    static void click(HWND control) {
        RECT r{};
        GetClientRect(control, &r);
        wine::clickAt(control, {8, r.bottom / 2});
    }

    std::string server_;
    std::mutex openedMutex_;
    std::vector<std::string> opened_;  // what went to the outside opener, in order
};

}  // namespace

TEST_F(OnlineWindowJourney, AnAlertFloodShowsOneBoxAndTheWindowStillCloses) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the alert flood held the online window");
    open();
    wine::SeenBox first;
    std::size_t moreBoxes = 0;
    bool closed = false;
    std::string handedBack;
    const bool driven = drive(hostile("alert-flood"), [&](HWND online, HWND) {
        HWND box = wine::waitForWindow(L"#32770", 10000);
        if (!box) return false;
        first = wine::readBox(box);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the person reads it
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-alert-flood.png"));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        if (!until([&] { return !IsWindow(box); }, 5000)) return false;
        // Whatever comes now is answered, and counted.
        wine::MessageBoxWatcher watcher;
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        PostMessageW(online, WM_CLOSE, 0, 0);
        closed = until([&] { return !IsWindow(online); }, 10000);
        moreBoxes = watcher.take().size();
        return true;
    }, handedBack);
    EXPECT_TRUE(driven) << "the page's first alert showed as a message";
    EXPECT_EQ(first.text, "第1个提示");
    EXPECT_EQ(moreBoxes, 0u) << "a flood gives the user one box";
    EXPECT_TRUE(closed) << "the window closes once its box is answered";
    EXPECT_EQ(setup::onlineWindow(), nullptr);
}

TEST_F(OnlineWindowJourney, APopupGoesToTheOutsideOpenerAndNoWindowAppears) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the popup page held the online window");
    open();
    int windowsBefore = 0, windowsAfter = 0;
    std::string pageAfter;
    std::string handedBack;
    const bool driven = drive(hostile("popup"), [&](HWND online, HWND view) {
        windowsBefore = topLevelWindows();
        if (!clickOnPage(view, L"return document.getElementById('open');")) return false;
        until([&] { return !opened().empty(); }, 8000);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // a window would show by now
        windowsAfter = topLevelWindows();
        pageAfter = text::wideToUtf8(viewScript(view, L"return location.pathname;"));
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-popup.png"));
        return true;
    }, handedBack);
    ASSERT_TRUE(driven);
    EXPECT_EQ(opened(), std::vector<std::string>{"http://outside.invalid/terms.htm?from=popup"});
    EXPECT_EQ(windowsAfter, windowsBefore) << "no window of ours or of the engine appears";
    EXPECT_EQ(pageAfter, "/hostile/popup.htm") << "the view keeps the server's page";
}

// The engine asks its host whether a view may close ("WINDOWCLOSING"); the stand-in
// engine asks when its view window is told to close. The form closes, taking the view
// along, instead of the engine destroying the view under a form that stays open.
TEST_F(OnlineWindowJourney, TheEnginesCloseRequestClosesTheWindow) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the closing page held the online window");
    open();
    bool closed = false, viewGoneFirst = false;
    std::string handedBack;
    const bool driven = drive(hostile("close"), [&](HWND online, HWND view) {
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-close.png"));
        PostMessageW(view, WM_CLOSE, 0, 0);
        closed = until([&] {
            if (!IsWindow(view) && IsWindow(online)) viewGoneFirst = true;
            return !IsWindow(online);
        }, 10000);
        return true;
    }, handedBack);
    ASSERT_TRUE(driven);
    EXPECT_TRUE(closed) << "the close request closes the online window";
    EXPECT_FALSE(viewGoneFirst) << "the view goes with its form";
    EXPECT_EQ(setup::onlineWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window().form())) << "the help window is usable again";
}

// window.close() in the page: the engine asks through "WINDOWCLOSING".
TEST_F(OnlineWindowJourney, APageThatCallsWindowCloseClosesTheWindow) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the closing page held the online window");
    open();
    bool closedByPage = false;
    std::string handedBack;
    const bool driven = drive(hostile("close"), [&](HWND online, HWND view) {
        if (!clickOnPage(view, L"return document.getElementById('close');")) return false;
        closedByPage = until([&] { return !IsWindow(online); }, 10000);
        return true;
    }, handedBack);
    ASSERT_TRUE(driven);
    EXPECT_TRUE(closedByPage) << "window.close() closes the online window";
    EXPECT_EQ(setup::onlineWindow(), nullptr);
}

TEST_F(OnlineWindowJourney, ALinkOrScriptToAnotherSiteIsNotFollowedInsideTheWindow) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the page leading away held the online window");
    open();
    wine::RequestListener other("<html><head><title>别处</title></head><body>别处的页面</body></html>");
    ASSERT_TRUE(other.listening());
    const std::string away = other.url("/elsewhere.htm");
    std::string afterClick, afterScript, pageText;
    std::string handedBack;
    const bool driven = drive(hostile("leave", "?to=" + away), [&](HWND online, HWND view) {
        if (!clickOnPage(view, L"return document.getElementById('away');")) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        afterClick = text::wideToUtf8(viewScript(view, L"return location.href;"));
        viewScript(view, L"return leave();");
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        afterScript = text::wideToUtf8(viewScript(view, L"return location.href;"));
        pageText = text::wideToUtf8(viewScript(view, L"return document.body ? document.body.innerText : '';"));
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-leave.png"));
        return true;
    }, handedBack);
    ASSERT_TRUE(driven);
    EXPECT_TRUE(other.requests().empty()) << ::testing::PrintToString(other.requests());
    const std::string leavePage = hostile("leave", "?to=" + away);
    EXPECT_EQ(afterClick, leavePage) << "a clicked link keeps the view on the server's page";
    EXPECT_EQ(afterScript, leavePage) << "a script's navigation keeps the view on the server's page";
    EXPECT_NE(pageText.find("别处"), std::string::npos) << pageText;
    EXPECT_EQ(opened(), std::vector<std::string>{away}) << "only the address the user clicked goes outside";
}

TEST_F(OnlineWindowJourney, AnotherSiteClaimingARegistrationLeavesTheAccountBoxAlone) {
    const wine::Watchdog watchdog(std::chrono::seconds(120), "the claiming site held the online window");
    wine::RequestListener other("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>注册账号</title></head><body>" +
                    std::string(setup::kRegisteredMark) + std::string(setup::kRegisteredName) +
                    "intruder<br>积分：0</span></body></html>");
    ASSERT_TRUE(other.listening());
    open("[setup]\r\nserver=" + server_ + "\r\nuser=demo\r\n");
    window().clickToolbar(helpwindow::kCmdSetup);
    ASSERT_TRUE(pumpUntil([] { return setup::setupWindow() != nullptr; }, 5000));
    pumpFor(200);
    HWND setupForm = setup::setupWindow();
    HWND account = GetDlgItem(setupForm, 102);
    const std::string accountBefore = wine::windowText(account);
    ASSERT_EQ(accountBefore, "demo");

    std::string pageAfter;
    auto person = std::async(std::launch::async, [&] {
        HWND online = wine::waitForWindow(kOnlineClass, 15000);
        if (!online) return false;
        const CloseWhenDone closeWhenDone{online};
        HWND view = nullptr;
        if (!until([&] { return (view = engineViewOf(online)) != nullptr; })) return false;
        if (!until([&] { return wine::windowText(online) == "注册账号"; })) return false;
        // The server's form, then a script sending the view to a page of another site.
        viewScript(view, L"location.href = '" + text::utf8ToWide(other.url("/claim.htm")) + L"'; return '';");
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        pageAfter = text::wideToUtf8(viewScript(view, L"return location.href;"));
        framework::SaveWindowPng(online, forms_test::journeyPicture("online-claim.png"));
        return true;
    });
    click(GetDlgItem(setupForm, 112));  // 注册账号
    ASSERT_TRUE(pumpUntil([&] { return person.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 60000));
    ASSERT_TRUE(person.get()) << "the online window showed the registration page";
    ASSERT_TRUE(pumpUntil([] { return setup::onlineWindow() == nullptr; }, 10000));
    pumpFor(300);
    EXPECT_EQ(pageAfter, setup::registrationUrl(server_)) << "the view stays on the server's site";
    EXPECT_EQ(wine::windowText(account), accountBefore) << "the account box keeps what it had";
}

TEST_F(OnlineWindowJourney, AClaimOnTheFirstPageIsNoAnswerToAForm) {
    const wine::Watchdog watchdog(std::chrono::seconds(90), "the claiming page held the online window");
    open();
    std::string handedBack;
    const bool driven = drive(hostile("claim"), [&](HWND, HWND view) {
        return viewScript(view, L"return document.title;") == L"注册账号";
    }, handedBack);
    ASSERT_TRUE(driven);
    EXPECT_EQ(handedBack, "") << "the server's first page is the form, never its answer";
    EXPECT_FALSE(setup::RegisteredAccount(handedBack).has_value());
}
