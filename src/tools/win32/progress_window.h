// The progress window of long operations (form ProgressBar): the Win32 side of the
// progress seam, shown over the window that started the operation. Win32 only.
#pragma once

#include "library/progress.h"
#include "tools/progress_tick.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv::tools {

inline constexpr const wchar_t* kProgressWindowClass = L"OrvintaHelp_ProgressBar";
inline constexpr const char* kProgressCaption = "  工作进度指示";
// Child window ids: the bar, the button and the timer keep the ids the form always had;
// the two labels take the free ones between them.
inline constexpr int kProgressStatusId = 101;  // Label1, the status text
inline constexpr int kProgressBarId = 102;     // ProgressBar1
inline constexpr int kProgressTimeId = 103;    // Label2, the time text
inline constexpr int kProgressStopId = 104;    // Command1, 停止
inline constexpr int kProgressTimerId = 106;   // Timer1
inline constexpr unsigned kProgressInterval = 100;  // ms between ticks, and between pumps
inline constexpr const char* kStopQuestion = "你真的要终止操作吗？";
inline constexpr const char* kStopCaption = "终止操作";
inline constexpr const char* kProgressOpenFailed = "无法打开进度窗口。";

class ProgressForm;

// One progress window at a time, for operations on the user-interface thread. The
// operation runs its own loop and calls StepProgress; the window's timer, its 停止
// button and painting run while StepProgress, SetProgressText, OpenProgress or
// CloseProgress pump messages. Nothing here throws into the operation: a window that
// cannot be opened is reported to the user and the operation runs without one.
//
// While it is open its owner and every other window of the plug-in on the thread are
// disabled, so that nothing else can be started or closed under the operation. An
// OpenProgress while open nests (see library::Progress): the window stays, shows the
// inner text and range, and its owner stays the outer one's.
class ProgressWindow : public library::Progress {
public:
    explicit ProgressWindow(HWND owner = nullptr);
    // An open window is closed and its owner given back.
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // The window the next OpenProgress shows over and disables; a child window stands for
    // its top-level window. Null: over the screen's work area, disabling nothing.
    void setOwner(HWND owner);

    using library::Progress::OpenProgress;
    void OpenProgress(HWND owner, std::string_view text, int minimum, int maximum, bool cycling);
    void OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) override;
    void CloseProgress() override;
    // Costs one tick-count read, and a pump of messages at most every kProgressInterval.
    void StepProgress(int position) override;
    void SetProgressText(std::string_view text) override;
    void SetProgressRange(int minimum, int maximum) override;
    bool stopRequested() const override { return stop_ != 0; }

    // Closes the window whatever was left open inside it (an operation that ended by an
    // exception closes nothing).
    void CloseAll();
    // Levels open now (0: the window is not shown for anyone).
    int depth() const { return depth_; }

    // Everything waiting in the thread's queue, dispatched now.
    void PumpMessages();

    // The open window, else null.
    HWND window() const { return form_; }

private:
    friend class ProgressForm;

    // What the form hands on.
    void created(HWND form);
    void tick(HWND form);
    void askStop(HWND form);
    bool closePermitted() const { return closePermitted_; }
    void gone(HWND form);

    void openWindow();
    void placeOverOwner();
    // Disables the owner and the plug-in's other windows; enables again what it disabled.
    void disableWindows();
    void enableOwner();
    // Destroys a window that is still there; the owner is given back first, so that it
    // is the window the system activates.
    void destroyNow();

    struct Level {
        std::string status;
        ProgressState state;
    };

    HWND requestedOwner_ = nullptr;
    HWND owner_ = nullptr;  // the top-level window of the open window's owner
    HWND form_ = nullptr;
    int stop_ = 0;               // 1 once the user confirmed stopping; a plain int of the UI thread
    int depth_ = 0;
    std::vector<Level> outer_;   // the levels the open one opened inside, innermost last
    std::vector<HWND> disabled_;  // by us, so ours to enable again
    bool closePermitted_ = false;
    ProgressState state_;
    ULONGLONG startTick_ = 0;
    ULONGLONG lastPumpTick_ = 0;
    std::string status_;  // Label1's text, brought onto the label by the next tick
};

// The plug-in's one progress window, shared by every window of it so that an operation's
// server requests show inside the operation's progress instead of replacing it.
ProgressWindow& PluginProgress();

// A window's way to the plug-in's progress window: what it opens is shown over `owner`
// (a nested opening keeps the outer one's owner).
class ProgressOver : public library::Progress {
public:
    explicit ProgressOver(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) override {
        PluginProgress().OpenProgress(owner_, text, minimum, maximum, cycling);
    }
    void CloseProgress() override { PluginProgress().CloseProgress(); }
    void StepProgress(int position) override { PluginProgress().StepProgress(position); }
    void SetProgressText(std::string_view text) override { PluginProgress().SetProgressText(text); }
    void SetProgressRange(int minimum, int maximum) override { PluginProgress().SetProgressRange(minimum, maximum); }
    bool stopRequested() const override { return PluginProgress().stopRequested(); }

private:
    HWND owner_;
};

}  // namespace orv::tools
