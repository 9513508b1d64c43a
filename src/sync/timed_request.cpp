// The worker thread and the waiting loop behind the timed requests.
#include "sync/timed_request.h"

#include <exception>
#include <mutex>
#include <thread>

namespace orv::sync {
namespace {

// Shared by the waiting thread and the worker. The reply is written only while nobody
// has given up on it, and done and abandoned are decided under one lock, so a reply
// that arrives just as the wait ends is either returned or dropped, never both.
struct TimedJob {
    std::shared_ptr<HttpClient> client;
    std::string url;
    std::string body;
    bool post = false;

    std::mutex mutex;
    bool done = false;
    bool abandoned = false;
    HttpReply reply;
};

void work(const std::shared_ptr<TimedJob>& job) {
    HttpReply reply;
    try {
        reply = job->post ? job->client->HttpPost(job->url, job->body) : job->client->HttpGet(job->url);
    } catch (const std::exception& e) {
        reply = HttpReply::failure(HttpOutcome::Failed, std::string("the request failed: ") + e.what());
    } catch (...) {
        reply = HttpReply::failure(HttpOutcome::Failed, "the request failed");
    }
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->abandoned) return;
    job->reply = std::move(reply);
    job->done = true;
}

// The client's own way to start the worker when it has one, else a detached std::thread.
bool startWorker(const std::shared_ptr<TimedJob>& job, std::string& error) {
    std::function<void()> run = [job] { work(job); };
    if (auto* source = dynamic_cast<WorkerThreadSource*>(job->client.get()))
        return source->startWorker(std::move(run), error);
    std::thread(std::move(run)).detach();
    return true;
}

HttpReply runTimed(const std::shared_ptr<TimedJob>& job, const library::Progress& progress,
                   const TimedWait& wait) {
    if (!job->client) return HttpReply::failure(HttpOutcome::Failed, "no HTTP client");
    try {
        std::string error;
        if (!startWorker(job, error))
            return HttpReply::failure(HttpOutcome::Failed, "could not start the request thread: " + error);
    } catch (const std::exception& e) {
        return HttpReply::failure(HttpOutcome::Failed, std::string("could not start the request thread: ") + e.what());
    }
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const bool stop = progress.stopRequested();
        const bool late = std::chrono::steady_clock::now() - start > wait.limit;
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            if (job->done) return std::move(job->reply);
            if (stop || late) {
                job->abandoned = true;
                return stop ? HttpReply::failure(HttpOutcome::Stopped, "stopped by the user")
                            : HttpReply::failure(HttpOutcome::TimedOut, "no reply within " +
                                                 std::to_string(wait.limit.count()) + " ms");
            }
        }
        if (wait.pause)
            wait.pause(wait.step);
        else
            std::this_thread::sleep_for(wait.step);
    }
}

}  // namespace

HttpReply TimedGet(const std::shared_ptr<HttpClient>& client, const std::string& url,
                   const library::Progress& progress, const TimedWait& wait) {
    auto job = std::make_shared<TimedJob>();
    job->client = client;
    job->url = url;
    return runTimed(job, progress, wait);
}

HttpReply TimedPost(const std::shared_ptr<HttpClient>& client, const std::string& url, const std::string& body,
                    const library::Progress& progress, const TimedWait& wait) {
    auto job = std::make_shared<TimedJob>();
    job->client = client;
    job->url = url;
    job->body = body;
    job->post = true;
    return runTimed(job, progress, wait);
}

}  // namespace orv::sync
