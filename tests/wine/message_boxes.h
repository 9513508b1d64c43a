// Plays the user in front of the message boxes this test program shows: while a watcher
// lives, a thread of its own reads each box that appears and presses its OK button;
// answerNextBox presses a chosen button of the next box, once.
#pragma once

#include <windows.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv::wine {

struct SeenBox {
    std::string caption;
    std::string text;
};

struct AnsweredBox {
    HWND box = nullptr;  // null when none appeared in time
    SeenBox seen;
    int defaultButton = 0;  // the id Enter would press
};

// Waits up to `timeoutMs` for a message box of this process, reads it and posts the
// press of `button` (IDYES, IDNO, ...). Runs on a thread of its own from the call on.
std::future<AnsweredBox> answerNextBox(int button, unsigned timeoutMs = 5000);

// The boxes of a dialogue, one after the other: each is answered with its button once the
// one before it is gone, each waited for up to `timeoutMs`. Stops at the first that does
// not come; the boxes seen, in order.
std::future<std::vector<AnsweredBox>> answerNextBoxes(std::vector<int> buttons, unsigned timeoutMs = 5000);

// Waits up to `timeoutMs` for a visible top-level window of this process of that class.
HWND waitForWindow(const wchar_t* className, unsigned timeoutMs);

// The message box's text and caption.
SeenBox readBox(HWND box);

class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The boxes answered so far, oldest first; forgets them.
    std::vector<SeenBox> take();

private:
    void watch();

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

}  // namespace orv::wine
