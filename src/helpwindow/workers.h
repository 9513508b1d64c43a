// Jobs on workers, counted, so that their owner can wait for the last one before it goes
// away. The wait is a plain one: a job only reads and posts, it never waits for the
// thread that waits for it.
#pragma once

#include "helpwindow/window_thread.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace orv::helpwindow {

class Workers {
public:
    // `startJob` is how a job gets its thread (see WindowThread).
    explicit Workers(std::function<bool(Task)> startJob);
    ~Workers() { waitIdle(); }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Runs `job` on a worker; whatever it throws stops there. False when no thread could
    // be had: the job does not run.
    bool start(Task job);
    // Blocks until every started job has ended.
    void waitIdle();

private:
    // Shared with the running jobs: the last of them may still be leaving it after the
    // owner's wait has returned.
    struct Count {
        std::mutex mutex;
        std::condition_variable idle;
        int running = 0;
    };
    std::function<bool(Task)> startJob_;
    std::shared_ptr<Count> count_ = std::make_shared<Count>();
};

// A thread of the standard library for each job: the native builds' way.
bool startStdThread(Task job);

}  // namespace orv::helpwindow
