// A test that could hang the window thread it runs on cannot report the hang itself: a
// watchdog thread ends the program with a message when the guarded steps take longer
// than they may, so that the suite fails at once instead of waiting for its time limit.
// Win32 only.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace orv::wine {

class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, std::string what) : what_(std::move(what)) {
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (done_.wait_for(lock, limit, [&] { return finished_; })) return;
            std::fprintf(stderr, "watchdog: %s (no answer within %lld s)\n", what_.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            ExitProcess(3);
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string what_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace orv::wine
