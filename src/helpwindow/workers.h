// Detached worker threads, counted, so that their owner can wait for the last one before
// it goes away (a user-interface thread keeps its messages flowing meanwhile).
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace orv::helpwindow {

class Workers {
public:
    Workers() = default;
    ~Workers() { waitIdle(); }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Runs `job` on a thread of its own; whatever it throws stops there. False when no
    // thread could be had: the job does not run.
    bool start(std::function<void()> job);
    // Blocks until every started job has ended; `pump` runs between short waits.
    void waitIdle(const std::function<void()>& pump = {});

private:
    void finished();

    std::mutex mutex_;
    std::condition_variable idle_;
    int running_ = 0;
};

}  // namespace orv::helpwindow
