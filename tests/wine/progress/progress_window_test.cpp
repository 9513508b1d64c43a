// The progress window driven as a person and an operation drive it: opened over an owner
// it disables, steps that move the bar and the time texts, the 停止 question answered
// both ways, a close box that does nothing, the owner given back, cycling, and a whole
// header import stopped from the window; and an operation whose window cannot be made.
#include "forms/forms_support.h"
#include "progress/box_answers.h"

#include "framework/win32/controls.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/screen_scale.h"
#include "framework/win32/window_capture.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/recording_prompter.h"
#include "support/temp_dir.h"
#include "text/win32/wide_text.h"
#include "tools/import_run.h"
#include "tools/win32/progress_window.h"
#include "wine/message_boxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace orv;
using namespace orv::tools;
using namespace orv::forms_test;
using namespace orv::progress_test;

namespace {

// The window that starts the operations; counts the WM_APP messages it is sent.
struct OwnerHandler : framework::FormHandler {
    int appMessages = 0;
    bool onMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_APP) return false;
        ++appMessages;
        result = 0;
        return true;
    }
};

std::wstring childText(HWND form, int id) { return framework::GetControlText(GetDlgItem(form, id)); }

int barPosition(HWND form) { return static_cast<int>(SendDlgItemMessageW(form, kProgressBarId, PBM_GETPOS, 0, 0)); }

std::wstring wide(const char* utf8) { return text::utf8ToWide(utf8); }

// An operation at work: steps at `position` for `ms`, a little work between steps.
void stepFor(ProgressWindow& progress, int position, unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        progress.StepProgress(position);
        Sleep(2);
    }
}

// The same until `done` holds; whether it did within `ms`.
bool stepUntil(ProgressWindow& progress, int position, const std::function<bool()>& done, unsigned ms = 5000) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        progress.StepProgress(position);
        Sleep(2);
    }
    return true;
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const int dpi = expectedDpi()) {
            ASSERT_EQ(framework::ScreenScale().dpiX(), dpi) << "the prefix's dpi";
        }
        framework::FormOptions options;
        options.name = L"ProgressOwner";
        options.caption = L"长操作的窗口";
        options.x = 120;
        options.y = 80;
        options.width = 640;
        options.height = 420;
        auto handler = std::make_unique<OwnerHandler>();
        ownerHandler_ = handler.get();
        owner_ = makeForm(options, std::move(handler));
        ASSERT_NE(owner_, nullptr);
        framework::ShowForm(owner_);
        SetForegroundWindow(owner_);
        framework::WaitDispatching(50);
    }
    void TearDown() override {
        if (IsWindow(owner_)) DestroyWindow(owner_);
        framework::PumpMessages();
    }

    // Clicks 停止 as the operation steps, and answers the question with `button`.
    AnsweredBox pressStop(ProgressWindow& progress, int button) {
        auto answered = answerNextBox(button);
        PostMessageW(GetDlgItem(progress.window(), kProgressStopId), BM_CLICK, 0, 0);
        EXPECT_TRUE(stepUntil(progress, 10, [&] {
            return answered.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        })) << "no question came";
        AnsweredBox box = answered.get();
        // The press is posted: the box is gone once the operation has pumped it away.
        EXPECT_TRUE(stepUntil(progress, 10, [&] { return !IsWindow(box.box); })) << "the box stayed";
        return box;
    }

    HWND owner_ = nullptr;
    OwnerHandler* ownerHandler_ = nullptr;
};

// --- opening -------------------------------------------------------------------------

// The operation may name any window of its owner, the top-level one or a control on it.
struct OwnerCase {
    const char* name;
    bool throughChild;
};

class ProgressOpening : public ProgressWindowTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(ProgressOpening, CoversTheOwnerAndDisablesIt) {
    HWND named = owner_;
    if (GetParam().throughChild) {
        named = CreateWindowExW(0, L"Static", L"child", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, owner_, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(named, nullptr);
    }
    ProgressWindow progress(named);
    progress.OpenProgress("真实删除记录中...", 0, 100, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);

    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    EXPECT_STREQ(cls, kProgressWindowClass);
    EXPECT_EQ(framework::GetControlText(window), wide(kProgressCaption));
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner_);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsWindowEnabled(owner_)) << "the owner is disabled while the window shows";
    EXPECT_EQ(childText(window, kProgressStatusId), wide("真实删除记录中..."));
    EXPECT_EQ(childText(window, kProgressStopId), wide("停止"));
    PBRANGE range{};
    SendDlgItemMessageW(window, kProgressBarId, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, kProgressBarRange);

    // Across the owner's middle, inset 25 units from its sides, 120 units high.
    const framework::DpiScale& s = framework::ScreenScale();
    RECT o{}, r{};
    GetWindowRect(owner_, &o);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, o.left + s.ScaleX(25));
    EXPECT_EQ(r.top, o.top + (o.bottom - o.top) / 2 - s.ScaleY(60));
    EXPECT_EQ(r.right - r.left, (o.right - o.left) - s.ScaleX(50));
    EXPECT_EQ(r.bottom - r.top, s.ScaleY(120));
    // The bar and the button follow the window's width.
    const int w = s.UnscaleX(r.right - r.left);
    const RECT bar = rectInParent(GetDlgItem(window, kProgressBarId));
    EXPECT_EQ(bar.left, s.ScaleX(6));
    EXPECT_EQ(bar.top, s.ScaleY(28));
    EXPECT_EQ(bar.right - bar.left, s.ScaleX(w - 18));
    const RECT stop = rectInParent(GetDlgItem(window, kProgressStopId));
    EXPECT_EQ(stop.left, s.ScaleX(w - 66));
    EXPECT_EQ(stop.top, s.ScaleY(63));
    const RECT time = rectInParent(GetDlgItem(window, kProgressTimeId));
    EXPECT_EQ(time.left, s.ScaleX(11));
    EXPECT_EQ(time.top, s.ScaleY(59));

    progress.CloseProgress();
}

INSTANTIATE_TEST_SUITE_P(Owners, ProgressOpening,
                         ::testing::Values(OwnerCase{"TopLevel", false}, OwnerCase{"ThroughAChild", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- steps ---------------------------------------------------------------------------

TEST_F(ProgressWindowTest, StepsMoveTheBarAndTheTimeTexts) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("第一步", 0, 200, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);

    stepFor(progress, 50, 350);
    EXPECT_EQ(barPosition(window), 2500);
    std::wstring time = childText(window, kProgressTimeId);
    EXPECT_EQ(time.rfind(wide("花费: 0 分 "), 0), 0u) << text::wideToUtf8(time);
    EXPECT_NE(time.find(wide("完成：25.00%\r\n剩余: ")), std::wstring::npos) << text::wideToUtf8(time);
    EXPECT_NE(time.find(wide(" 秒，完成: 20")), std::wstring::npos) << "the finishing time: " << text::wideToUtf8(time);

    progress.SetProgressText("第二步");
    stepFor(progress, 150, 350);
    EXPECT_EQ(childText(window, kProgressStatusId), wide("第二步"));
    EXPECT_EQ(barPosition(window), 7500);
    time = childText(window, kProgressTimeId);
    EXPECT_NE(time.find(wide("完成：75.00%")), std::wstring::npos) << text::wideToUtf8(time);

    const std::string picture = framework::ScreenScale().dpiX() == 96
                                    ? "progress-window.png"
                                    : "progress-window-" + std::to_string(framework::ScreenScale().dpiX()) + "dpi.png";
    std::string error;
    EXPECT_TRUE(framework::SaveWindowPng(window, journeyPicture(picture), &error)) << error;
    progress.CloseProgress();
}

TEST_F(ProgressWindowTest, StepPumpsAtMostOncePerInterval) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("", 0, 100, false);
    ASSERT_NE(progress.window(), nullptr);
    Sleep(kProgressInterval + 20);
    progress.StepProgress(1);  // pumps: the interval has passed

    ASSERT_TRUE(PostMessageW(owner_, WM_APP, 0, 0));
    progress.StepProgress(2);
    EXPECT_EQ(ownerHandler_->appMessages, 0) << "a step right after a pump leaves the queue alone";

    Sleep(kProgressInterval + 20);
    progress.StepProgress(3);
    EXPECT_EQ(ownerHandler_->appMessages, 1) << "the next step after the interval pumps";
    progress.CloseProgress();
}

// --- the stop button -------------------------------------------------------------------

struct StopCase {
    const char* name;
    int button;
    bool stops;
};

class ProgressStop : public ProgressWindowTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ProgressStop, AsksBeforeSettingTheStopFlag) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("导入中...", 0, 100, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);

    const AnsweredBox box = pressStop(progress, GetParam().button);
    ASSERT_NE(box.box, nullptr);
    EXPECT_EQ(box.seen.caption, kStopCaption);
    EXPECT_EQ(box.seen.text, kStopQuestion);
    EXPECT_EQ(box.defaultButton, IDNO) << "No is the default answer";
    EXPECT_EQ(progress.stopRequested(), GetParam().stops);

    // The window stays until the operation, having polled the flag, closes it.
    stepFor(progress, 20, 150);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowEnabled(owner_));
    progress.CloseProgress();
}

INSTANTIATE_TEST_SUITE_P(Answers, ProgressStop,
                         ::testing::Values(StopCase{"Yes", IDYES, true}, StopCase{"No", IDNO, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressWindowTest, StopFlagLastsUntilTheNextOpen) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("第一个操作", 0, 100, false);
    ASSERT_NE(progress.window(), nullptr);
    ASSERT_NE(pressStop(progress, IDYES).box, nullptr);
    ASSERT_TRUE(progress.stopRequested());
    progress.CloseProgress();
    EXPECT_TRUE(progress.stopRequested()) << "closing keeps the flag";

    progress.OpenProgress("第二个操作", 0, 100, false);
    EXPECT_FALSE(progress.stopRequested()) << "opening clears it";
    progress.CloseProgress();
}

// --- closing -------------------------------------------------------------------------

struct CloseAttempt {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

TEST_F(ProgressWindowTest, CloseBoxSystemMenuAndAltF4DoNothing) {
    const CloseAttempt attempts[] = {
        {"close box", WM_CLOSE, 0, 0},
        {"system menu", WM_SYSCOMMAND, SC_CLOSE, 0},
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1u << 29)},
    };
    ProgressWindow progress(owner_);
    progress.OpenProgress("", 0, 100, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);
    for (const CloseAttempt& attempt : attempts) {
        ASSERT_TRUE(PostMessageW(window, attempt.message, attempt.wParam, attempt.lParam));
        stepFor(progress, 30, 150);
        EXPECT_TRUE(IsWindow(window)) << attempt.name;
        EXPECT_EQ(progress.window(), window) << attempt.name;
        EXPECT_FALSE(IsWindowEnabled(owner_)) << attempt.name;
    }
    progress.CloseProgress();
    EXPECT_FALSE(IsWindow(window));
}

struct OwnerBefore {
    const char* name;
    bool enabled;
};

class ProgressClose : public ProgressWindowTest, public ::testing::WithParamInterface<OwnerBefore> {};

// The owner comes back as it was: one the window disabled is enabled and in front; one
// disabled by someone else stays theirs to enable.
TEST_P(ProgressClose, GivesTheOwnerBackAsItWas) {
    if (!GetParam().enabled) EnableWindow(owner_, FALSE);
    ProgressWindow progress(owner_);
    progress.OpenProgress("", 0, 100, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);
    stepFor(progress, 40, 120);
    EXPECT_EQ(GetActiveWindow(), window);

    progress.CloseProgress();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(progress.window(), nullptr);
    EXPECT_EQ(IsWindowEnabled(owner_) != FALSE, GetParam().enabled);
    if (GetParam().enabled) {
        EXPECT_EQ(GetForegroundWindow(), owner_);
        EXPECT_EQ(GetActiveWindow(), owner_);
    }
    EnableWindow(owner_, TRUE);
}

INSTANTIATE_TEST_SUITE_P(Owners, ProgressClose,
                         ::testing::Values(OwnerBefore{"Enabled", true}, OwnerBefore{"AlreadyDisabled", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressWindowTest, OwnerClosedUnderneathTakesTheWindowAlong) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("", 0, 100, false);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);
    DestroyWindow(owner_);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(progress.window(), nullptr);
    stepFor(progress, 50, 150);  // the operation carries on without a window
    progress.CloseProgress();
}

// --- cycling -------------------------------------------------------------------------

TEST_F(ProgressWindowTest, CyclingMovesTheBarByItselfAndWraps) {
    ProgressWindow progress(owner_);
    progress.OpenProgress("联网测试账号中...", 0, 20, true);
    HWND window = progress.window();
    ASSERT_NE(window, nullptr);

    // The operation's own positions are not shown: 7 of 20 would be 3500.
    std::vector<int> shown{barPosition(window)};
    const ULONGLONG end = GetTickCount64() + 2000;
    while (GetTickCount64() < end) {
        progress.StepProgress(7);
        Sleep(2);
        const int now = barPosition(window);
        if (now != shown.back()) shown.push_back(now);
    }
    int steps = 0, wraps = 0;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        if (shown[i - 1] == 3000) continue;  // the bar as created, before the first tick
        if (shown[i] == shown[i - 1] + 2500) ++steps;
        else if (shown[i - 1] == kProgressBarRange && shown[i] == 0) ++wraps;
        else ADD_FAILURE() << "the bar jumped from " << shown[i - 1] << " to " << shown[i];
    }
    EXPECT_GE(steps, 4) << "five positions a tick, a quarter of the range";
    EXPECT_GE(wraps, 1) << "past the maximum it starts again at the minimum";
    const std::wstring time = childText(window, kProgressTimeId);
    EXPECT_NE(time.find(wide("剩余: 未知")), std::wstring::npos) << text::wideToUtf8(time);
    progress.CloseProgress();
}

// --- a core operation behind the window ------------------------------------------------

TEST_F(ProgressWindowTest, ImportStoppedFromTheWindowEndsEarlyAndGivesTheOwnerBack) {
    test::TempDir folder;
    constexpr int kFiles = 300;
    for (int i = 0; i < kFiles; ++i)
        test::writeFile(folder.path() / ("part" + std::to_string(i) + ".bi"),
                        "Declare Function Part" + std::to_string(i) + " (ByVal n As Integer) As Integer\n"
                        "Const PART" + std::to_string(i) + "_SIZE = " + std::to_string(i) + "\n");
    library::SqliteHostDb db;
    std::string error;
    ASSERT_TRUE(db.openInMemory(library::kPublic, library::kPublic, error)) << error;
    ASSERT_TRUE(db.openInMemory(library::kPrivate, library::kPrivate, error)) << error;
    test::RecordingPrompter prompter;
    ProgressWindow progress(owner_);
    ImportRequest request;
    request.scope = ImportScope::Folder;
    request.path = folder.path().string() + "\\";

    auto answered = pressStopWhenShown(IDYES, 20000);
    const ImportOutcome outcome = RunImport(db, prompter, progress, request);
    const AnsweredBox box = answered.get();

    ASSERT_NE(box.box, nullptr) << "the stop question never came";
    EXPECT_EQ(box.seen.text, kStopQuestion);
    EXPECT_TRUE(progress.stopRequested());
    EXPECT_EQ(outcome.rejection, ImportRejection::None);
    EXPECT_LT(outcome.statistics.filesRead, kFiles) << "the run went on after the stop";
    EXPECT_TRUE(outcome.committed);
    EXPECT_EQ(progress.window(), nullptr) << "the run closed its window";
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

// --- no window to be had ----------------------------------------------------------------

// Runs in a process of its own: the window class is taken by another window procedure
// before the progress window ever registers it, so no progress window can be made.
TEST(ProgressWindowUnavailable, UserIsToldAndTheOperationRunsOn) {
    WNDCLASSEXW taken{};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = DefWindowProcW;
    taken.hInstance = GetModuleHandleW(nullptr);
    taken.lpszClassName = kProgressWindowClass;
    ASSERT_NE(RegisterClassExW(&taken), 0);
    framework::FormOptions options;
    options.name = L"UnavailableOwner";
    HWND owner = makeForm(options);
    ASSERT_NE(owner, nullptr);
    framework::ShowForm(owner);

    wine::MessageBoxWatcher watcher;
    ProgressWindow progress(owner);
    progress.OpenProgress("处理中...", 0, 10, false);
    EXPECT_EQ(progress.window(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "nothing is disabled that no window would give back";
    const std::vector<wine::SeenBox> boxes = watcher.take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(kProgressOpenFailed, 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("OrvintaHelp_ProgressBar"), std::string::npos) << "why: " << boxes[0].text;

    for (int i = 0; i <= 10; ++i) {
        progress.SetProgressText("第 " + std::to_string(i) + " 项");
        progress.StepProgress(i);
    }
    EXPECT_FALSE(progress.stopRequested());
    progress.CloseProgress();
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

}  // namespace
