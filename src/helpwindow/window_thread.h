// How the help window's core reads the libraries off the window's thread and takes the
// results back onto it. A job runs on a worker and hands back plain values (a resolved
// link, the lines of a lookup) by posting a task; the task runs on the window's thread,
// which alone owns the tree, the list, their records and the page. Nothing else crosses
// between the threads: no worker waits for the window's thread or holds a lock meanwhile.
#pragma once

#include <functional>
#include <memory>

namespace orv::helpwindow {

using Task = std::function<void()>;

struct WindowThread {
    // Runs `job` on a worker; false when none could be had (the job has not run).
    std::function<bool(Task job)> startJob;
    // Queues `task` for the window's thread, after the message at hand; false when it
    // cannot be queued (the task is dropped unrun).
    std::function<bool(Task task)> post;
};

// Both at once on the calling thread: orvhelp, where one command runs to its end, and
// tests that need no overlap.
WindowThread inlineWindowThread();

// Lets a posted task see, on the window's thread, whether the object it reports to
// still exists. The owner keeps the Lifetime; a task keeps a token. Tokens are checked
// and the owner destroyed on the window's thread only, so the check cannot race.
class Lifetime {
public:
    using Token = std::weak_ptr<const void>;
    Token token() const { return alive_; }
    static bool ended(const Token& token) { return token.expired(); }

private:
    std::shared_ptr<const void> alive_ = std::make_shared<char>(0);
};

}  // namespace orv::helpwindow
