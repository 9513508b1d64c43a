// Counted jobs, and the window-thread seam's ways that need no window.
#include "helpwindow/workers.h"

#include <thread>

namespace orv::helpwindow {

Workers::Workers(std::function<bool(Task)> startJob) : startJob_(std::move(startJob)) {}

bool Workers::start(Task job) {
    {
        std::lock_guard lock(count_->mutex);
        ++count_->running;
    }
    const auto finished = [count = count_] {
        std::lock_guard lock(count->mutex);
        --count->running;
        count->idle.notify_all();
    };
    bool started = false;
    try {
        started = startJob_ && startJob_([job = std::move(job), finished] {
            try {
                job();
            } catch (...) {
                // A job that failed took nothing else with it; the window lives on.
            }
            finished();
        });
    } catch (...) {
        started = false;
    }
    if (!started) finished();
    return started;
}

void Workers::waitIdle() {
    std::unique_lock lock(count_->mutex);
    count_->idle.wait(lock, [&] { return count_->running == 0; });
}

bool startStdThread(Task job) {
    try {
        std::thread(std::move(job)).detach();
        return true;
    } catch (...) {
        return false;
    }
}

WindowThread inlineWindowThread() {
    const auto now = [](Task task) {
        task();
        return true;
    };
    return WindowThread{now, now};
}

}  // namespace orv::helpwindow
