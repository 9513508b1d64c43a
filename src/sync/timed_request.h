// Requests that run on a worker thread while the caller waits in short steps, keeping
// its user interface alive, until the reply comes, the time limit passes or the user
// stops the wait.
#pragma once

#include "sync/http_client.h"
#include "library/progress.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orv::sync {

// How long the caller waits, how often it looks, and what it does between looks: the
// Win32 shell dispatches its window messages there; without a pause it sleeps.
struct TimedWait {
    std::chrono::milliseconds limit{30000};
    std::chrono::milliseconds step{100};
    std::function<void(std::chrono::milliseconds)> pause = {};
};

// Where a client's timed requests run. A client that implements this starts their
// worker threads itself: the WinINet client does, because it lives in a plug-in that the
// IDE may unload while an abandoned request is still running. Any other client's
// requests run on a detached std::thread.
class WorkerThreadSource {
public:
    // Runs `work` on a new thread that nobody waits for; false with `error` when no thread
    // could be started (the work is then dropped).
    virtual bool startWorker(std::function<void()> work, std::string& error) = 0;

protected:
    ~WorkerThreadSource() = default;
};

// The stop flag of `progress` ends the wait. A request given up on (time limit, stop) keeps running on its worker until the client
// returns; the worker shares the job and the client, so whichever side finishes last
// frees them. The reply is TimedOut or Stopped then, with an empty body.
HttpReply TimedGet(const std::shared_ptr<HttpClient>& client, const std::string& url,
                   const library::Progress& progress, const TimedWait& wait = {});
HttpReply TimedPost(const std::shared_ptr<HttpClient>& client, const std::string& url, const std::string& body,
                    const library::Progress& progress, const TimedWait& wait = {});

}  // namespace orv::sync
