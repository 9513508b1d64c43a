// The setup window as a person uses it from the help window, under Wine: the server's
// address typed without its slash and an option cleared, stored with the slash and
// nothing else touched; an account name with "#" refused by the account test.
#include "helpwindow/journey_fixture.h"

#include "forms/forms_support.h"
#include "framework/win32/window_capture.h"
#include "helpwindow/menu_states.h"
#include "library/settings.h"
#include "setup/win32/setup_window.h"
#include "sync/wire_packing.h"

#include <future>

using namespace orv;
using namespace orv::helpwindow;
using namespace orv::helpwindow_test;
using wine::answerNextBox;

namespace {

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
