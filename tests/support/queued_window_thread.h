// The window's thread as a test plays it: jobs run on threads of their own, or are held
// until the test runs them in the order it chooses; posted tasks wait in a queue until
// the test, standing for the window's thread, runs them.
#pragma once

#include "helpwindow/window_thread.h"
#include "helpwindow/workers.h"

#include <deque>
#include <mutex>

namespace orv::test {

class QueuedWindowThread {
public:
    enum class Jobs { OnThreads, Held };
    explicit QueuedWindowThread(Jobs jobs = Jobs::OnThreads) : jobs_(jobs) {}

    helpwindow::WindowThread seam() {
        return {[this](helpwindow::Task job) {
                    if (jobs_ == Jobs::OnThreads) return helpwindow::startStdThread(std::move(job));
                    std::lock_guard lock(mutex_);
                    held_.push_back(std::move(job));
                    return true;
                },
                [this](helpwindow::Task task) {
                    std::lock_guard lock(mutex_);
                    if (closed_) return false;
                    posted_.push_back(std::move(task));
                    return true;
                }};
    }

    // Runs the tasks posted so far and those they post, in order; how many ran.
    int runPosted() {
        int ran = 0;
        while (helpwindow::Task task = take(posted_)) {
            task();
            ++ran;
        }
        return ran;
    }
    // Runs the held job `index` (0: the oldest still held) on the calling thread.
    bool runHeldJob(size_t index = 0) {
        helpwindow::Task job;
        {
            std::lock_guard lock(mutex_);
            if (index >= held_.size()) return false;
            job = std::move(held_[index]);
            held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(index));
        }
        job();
        return true;
    }
    size_t heldJobs() const {
        std::lock_guard lock(mutex_);
        return held_.size();
    }
    size_t postedTasks() const {
        std::lock_guard lock(mutex_);
        return posted_.size();
    }
    // The window's thread is gone: later posts fail, as they do once the window closed.
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }

private:
    helpwindow::Task take(std::deque<helpwindow::Task>& from) {
        std::lock_guard lock(mutex_);
        if (from.empty()) return {};
        helpwindow::Task task = std::move(from.front());
        from.pop_front();
        return task;
    }

    Jobs jobs_;
    mutable std::mutex mutex_;
    std::deque<helpwindow::Task> held_;
    std::deque<helpwindow::Task> posted_;
    bool closed_ = false;
};

}  // namespace orv::test
