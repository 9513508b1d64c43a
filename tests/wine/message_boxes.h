// Plays the user in front of the message boxes this test program shows: while a watcher
// lives, a thread of its own reads each box that appears and presses its OK button.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv::wine {

struct SeenBox {
    std::string caption;
    std::string text;
};

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
