// The progress window: its form and controls, the timer that shows the time texts, the
// 停止 question, and the owner it disables while it is open. Win32 only.
#include "tools/win32/progress_window.h"

#include "framework/win32/controls.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"
#include "framework/win32/message_loop.h"
#include "framework/win32/operations.h"
#include "framework/win32/screen_scale.h"
#include "library/udate.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace orv::tools {
namespace {

// Sizes in 96-dpi units.
constexpr int kBaseWidth = 500, kBaseHeight = 128;
constexpr int kPlacedHeight = 120;
constexpr int kOwnerInset = 25;   // from the owner's left and right edges
constexpr int kAboveMiddle = 60;  // the window's top, above the owner's middle
// An owner narrower than this still gets a window whose bar and button fit.
constexpr int kNarrowestWidth = 200;
constexpr const char* kFont = "Microsoft YaHei,9,0";

struct ControlPlace {
    const char* kind;
    const wchar_t* name;
    int id;
    const char* caption;
    int x, y, width, height;
};

constexpr ControlPlace kControls[] = {
    {"LABEL", L"Label1", kProgressStatusId, "进度", 10, 6, 473, 16},
    {"PROGRESSBAR", L"ProgressBar1", kProgressBarId, "", 6, 23, 480, 28},
    {"LABEL", L"Label2", kProgressTimeId, "", 9, 58, 417, 51},
    {"BUTTON", L"Command1", kProgressStopId, "停止", 435, 61, 51, 27},
};

// Takes the error code first: building the text may touch it.
std::runtime_error stepFailed(const char* step) {
    const DWORD code = GetLastError();
    return std::runtime_error(std::string(step) + " 失败（错误 " + std::to_string(code) + "）。");
}

void createControls(HWND form) {
    for (const ControlPlace& place : kControls) {
        framework::ControlOptions options;
        options.kind = place.kind;
        options.name = place.name;
        options.id = place.id;
        options.caption = text::utf8ToWide(place.caption);
        options.x = place.x;
        options.y = place.y;
        options.width = place.width;
        options.height = place.height;
        std::string error;
        if (!framework::CreateControl(form, options, error)) throw std::runtime_error(error);
    }
    SendDlgItemMessageW(form, kProgressBarId, PBM_SETRANGE32, 0, kProgressBarRange);
    SendDlgItemMessageW(form, kProgressBarId, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageW(form, kProgressBarId, PBM_SETPOS, 3000, 0);
}

// Where the window goes when its owner cannot be shown over: the work area of the
// owner's screen (or the main one).
RECT workArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen;
}

void moveChild(HWND form, int id, int x, int y, int width, int height) {
    if (!framework::MoveControl(GetDlgItem(form, id), x, y, width, height)) throw stepFailed("MoveWindow");
}

}  // namespace

// What the form hands on to the window's owner object. Keeps nothing of its own: the
// form may delete it while a call through it is still running (a close during the stop
// question), so nothing here touches it after the call.
class ProgressForm : public framework::FormHandler {
public:
    explicit ProgressForm(ProgressWindow& progress) : progress_(progress) {}

    bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (message == WM_CREATE) {
            progress_.created(form);
            return false;
        }
        if (message == WM_TIMER && wParam == static_cast<WPARAM>(kProgressTimerId)) {
            progress_.tick(form);
            result = 0;
            return true;
        }
        return false;
    }
    void onCommand(HWND form, int id, int code, HWND) override {
        if (id == kProgressStopId && code == BN_CLICKED) progress_.askStop(form);
    }
    int onCloseRequest(HWND) override { return progress_.closePermitted() ? 0 : 1; }
    void onDestroy(HWND form) override { progress_.gone(form); }

private:
    ProgressWindow& progress_;
};

ProgressWindow::ProgressWindow(HWND owner) : requestedOwner_(owner) {}

ProgressWindow::~ProgressWindow() {
    framework::guarded(framework::Silent{}, [this] { destroyNow(); });
}

void ProgressWindow::setOwner(HWND owner) { requestedOwner_ = owner; }

void ProgressWindow::OpenProgress(HWND owner, std::string_view text, int minimum, int maximum, bool cycling) {
    if (depth_ == 0) setOwner(owner);
    OpenProgress(text, minimum, maximum, cycling);
}

namespace {

ProgressState freshState(int minimum, int maximum, bool cycling) {
    ProgressState state;
    state.minimum = minimum;
    state.maximum = maximum;
    state.position = minimum;
    state.lastShown = static_cast<long long>(minimum) - 1;  // the first tick shows the bar
    state.cycling = cycling;
    return state;
}

}  // namespace

void ProgressWindow::OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) {
    if (depth_ > 0) {
        // Inside the open operation: its window stays, showing this step until it closes.
        framework::guarded(framework::Silent{}, [&] {
            outer_.push_back({status_, state_});
            status_ = std::string(text);
        });
        ++depth_;
        state_ = freshState(minimum, maximum, cycling);
        PumpMessages();
        return;
    }
    depth_ = 1;
    stop_ = 0;
    // One window at a time: one an earlier operation left open goes first.
    destroyNow();
    closePermitted_ = false;
    owner_ = requestedOwner_ && IsWindow(requestedOwner_) ? GetAncestor(requestedOwner_, GA_ROOT) : nullptr;
    state_ = freshState(minimum, maximum, cycling);
    startTick_ = GetTickCount64();
    lastPumpTick_ = startTick_;
    framework::guarded(framework::TellUser{owner_, kProgressOpenFailed}, [&] {
        status_ = std::string(text);
        openWindow();
    });
    if (!form_) return;
    // The windows are disabled before anything is dispatched: from the first message on,
    // the owner counts as busy, and nothing of the plug-in can be used or closed under
    // the operation.
    disableWindows();
    // Time for the window to paint before the operation takes the thread.
    framework::WaitDispatching(kProgressInterval);
    lastPumpTick_ = GetTickCount64();
    if (!form_) return;  // gone while it painted: its owner was closed
    framework::guarded(framework::Silent{}, [&] {
        if (!text.empty()) framework::SetControlText(GetDlgItem(form_, kProgressStatusId), text::utf8ToWide(text));
    });
}

void ProgressWindow::openWindow() {
    framework::FormOptions options;
    options.name = L"ProgressBar";
    options.className = kProgressWindowClass;
    options.caption = text::utf8ToWide(kProgressCaption);
    options.owner = owner_;
    options.width = kBaseWidth;
    options.height = kBaseHeight;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    options.font = kFont;
    options.closesDuringOperations = true;
    std::string error;
    HWND form = framework::CreateForm(options, std::make_unique<ProgressForm>(*this), error);
    if (!form) throw std::runtime_error(error);
    form_ = form;
    try {
        placeOverOwner();
    } catch (...) {
        destroyNow();
        throw;
    }
    framework::ShowForm(form_);
}

void ProgressWindow::created(HWND form) {
    createControls(form);
    if (!SetTimer(form, kProgressTimerId, kProgressInterval, nullptr)) throw stepFailed("SetTimer");
}

// Across the owner's middle, inset from its sides; the bar and the button follow the
// width the window gets.
void ProgressWindow::placeOverOwner() {
    RECT area{};
    const bool overOwner = owner_ && IsWindowVisible(owner_) && !IsIconic(owner_) && GetWindowRect(owner_, &area);
    if (!overOwner) area = workArea(owner_ ? owner_ : form_);
    const framework::DpiScale& scale = framework::ScreenScale();
    const int ownerWidth = area.right - area.left, ownerHeight = area.bottom - area.top;
    const int width = std::max(ownerWidth - scale.ScaleX(2 * kOwnerInset), scale.ScaleX(kNarrowestWidth));
    if (!SetWindowPos(form_, nullptr, area.left + scale.ScaleX(kOwnerInset),
                      area.top + ownerHeight / 2 - scale.ScaleY(kAboveMiddle), width, scale.ScaleY(kPlacedHeight),
                      SWP_NOZORDER | SWP_NOACTIVATE))
        throw stepFailed("SetWindowPos");
    const int w = scale.UnscaleX(width);
    moveChild(form_, kProgressBarId, 6, 28, w - 18, 28);
    moveChild(form_, kProgressStopId, w - 66, 63, 51, 27);
    moveChild(form_, kProgressTimeId, 11, 59, 417, 51);
}

void ProgressWindow::tick(HWND form) {
    KillTimer(form, kProgressTimerId);
    // Started again however the tick ends: what failed once may well work the next time.
    struct Restart {
        HWND form;
        ~Restart() { SetTimer(form, kProgressTimerId, kProgressInterval, nullptr); }
    } restart{form};
    const ProgressTickResult shown =
        ProgressTick(state_, static_cast<long long>(GetTickCount64() - startTick_), library::uDateNow());
    if (shown.bar) SendDlgItemMessageW(form, kProgressBarId, PBM_SETPOS, static_cast<WPARAM>(*shown.bar), 0);
    framework::SetControlText(GetDlgItem(form, kProgressTimeId), text::utf8ToWide(shown.timeText));
    HWND status = GetDlgItem(form, kProgressStatusId);
    const std::wstring wanted = text::utf8ToWide(status_);
    if (framework::GetControlText(status) != wanted) framework::SetControlText(status, wanted);
}

void ProgressWindow::askStop(HWND form) {
    const int answer = MessageBoxW(form, text::utf8ToWide(kStopQuestion).c_str(), text::utf8ToWide(kStopCaption).c_str(),
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDYES) stop_ = 1;
}

void ProgressWindow::gone(HWND form) {
    if (form != form_) return;
    KillTimer(form, kProgressTimerId);
    form_ = nullptr;
    // Closed some other way than CloseProgress (its owner went): nothing stays disabled.
    enableOwner();
}

namespace {

struct DisableSearch {
    HWND except;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK disableForm(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<DisableSearch*>(lParam);
    if (window == search.except || !framework::IsForm(window) || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    EnableWindow(window, FALSE);
    search.disabled->push_back(window);
    return TRUE;
}

}  // namespace

void ProgressWindow::disableWindows() {
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        disabled_.push_back(owner_);
    }
    DisableSearch search{form_, &disabled_};
    framework::guarded(framework::Silent{}, [&] {
        EnumThreadWindows(GetCurrentThreadId(), disableForm, reinterpret_cast<LPARAM>(&search));
    });
}

void ProgressWindow::enableOwner() {
    // The owner last, so that it is the one the system activates.
    const std::vector<HWND> windows = std::move(disabled_);
    disabled_.clear();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
}

void ProgressWindow::destroyNow() {
    if (!form_) return;
    enableOwner();
    closePermitted_ = true;
    HWND form = form_;
    form_ = nullptr;
    DestroyWindow(form);
}

void ProgressWindow::CloseProgress() {
    if (depth_ > 1) {
        --depth_;
        if (!outer_.empty()) {
            status_ = std::move(outer_.back().status);
            state_ = outer_.back().state;
            state_.lastShown = state_.minimum - 1;  // the bar shows the outer position again
            outer_.pop_back();
        }
        PumpMessages();
        return;
    }
    CloseAll();
}

void ProgressWindow::CloseAll() {
    depth_ = 0;
    outer_.clear();
    closePermitted_ = true;
    if (form_ && !framework::PostCloseRequest(form_)) destroyNow();
    // Enabled while the window still stands, so that the owner is the window the system
    // activates when it goes.
    enableOwner();
    if (owner_ && IsWindow(owner_)) SetForegroundWindow(owner_);
    PumpMessages();
    // A quit message ends the pumping before the close request is reached.
    destroyNow();
}

void ProgressWindow::StepProgress(int position) {
    if (!state_.cycling) state_.position = position;
    const ULONGLONG now = GetTickCount64();
    if (now - lastPumpTick_ <= kProgressInterval) return;
    lastPumpTick_ = now;
    PumpMessages();
}

void ProgressWindow::SetProgressRange(int minimum, int maximum) {
    state_.minimum = minimum;
    state_.maximum = maximum;
    if (state_.position < minimum) state_.position = minimum;
    state_.lastShown = static_cast<long long>(minimum) - 1;
}

void ProgressWindow::SetProgressText(std::string_view text) {
    framework::guarded(framework::Silent{}, [&] { status_ = std::string(text); });
    PumpMessages();
}

void ProgressWindow::PumpMessages() { framework::PumpMessages(); }

ProgressWindow& PluginProgress() {
    static ProgressWindow progress;
    // An operation that ended by an exception left its levels open: the window goes
    // with the operation, and the windows it disabled come back.
    static const bool followsOperations = [] {
        framework::PluginOperations().ended = [] {
            if (progress.depth() > 0) progress.CloseAll();
        };
        return true;
    }();
    (void)followsOperations;
    return progress;
}

}  // namespace orv::tools
