// Counted detached workers.
#include "helpwindow/workers.h"

#include <chrono>
#include <thread>

namespace orv::helpwindow {

bool Workers::start(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        ++running_;
    }
    try {
        std::thread([this, job = std::move(job)] {
            try {
                job();
            } catch (...) {
                // A job that failed took nothing else with it; the window lives on.
            }
            finished();
        }).detach();
        return true;
    } catch (...) {
        finished();
        return false;
    }
}

void Workers::finished() {
    std::lock_guard lock(mutex_);
    --running_;
    idle_.notify_all();
}

void Workers::waitIdle(const std::function<void()>& pump) {
    std::unique_lock lock(mutex_);
    while (running_ > 0) {
        if (pump) {
            lock.unlock();
            pump();
            lock.lock();
        }
        idle_.wait_for(lock, std::chrono::milliseconds(10));
    }
}

}  // namespace orv::helpwindow
