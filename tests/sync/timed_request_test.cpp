// The timed requests: a reply in time, a reply too late, a stop by the user, and the
// shared job freed once by whichever side finishes last.
#include "sync/timed_request.h"
#include "sync/native_http_client.h"
#include "library/plain_progress.h"

#include "loopback_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace orv;
using namespace std::chrono_literals;
using sync::HttpOutcome;

namespace {

// Plays the user who presses stop after a given number of waiting steps.
sync::TimedWait stopAfter(library::PlainProgress& progress, int steps) {
    return {200ms, 10ms, [&progress, steps, left = steps](std::chrono::milliseconds span) mutable {
                if (--left <= 0) progress.stop();
                std::this_thread::sleep_for(span);
            }};
}

class Timed : public ::testing::Test {
protected:
    void SetUp() override {
        server.server.Get("/quick", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("quick", "text/plain");
        });
        // Answers only when the test lets it (or after 5 s, so a failing test still ends).
        server.server.Post("/held", [this](const httplib::Request& req, httplib::Response& res) {
            std::unique_lock<std::mutex> lock(mutex);
            released.wait_for(lock, 5s, [this] { return release; });
            res.set_content("late " + req.body, "text/plain");
        });
        ASSERT_TRUE(server.start());
    }
    void TearDown() override { letGo(); }
    void letGo() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            release = true;
        }
        released.notify_all();
    }
    // True when the last owner let go of the client within two seconds.
    static bool freedSoon(const std::weak_ptr<sync::HttpClient>& client) {
        for (int i = 0; i < 200 && !client.expired(); ++i) std::this_thread::sleep_for(10ms);
        return client.expired();
    }

    test::LoopbackServer server;
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
};

}  // namespace

TEST_F(Timed, ReplyInTimeIsReturnedAndTheJobFreed) {
    auto client = std::make_shared<sync::NativeHttpClient>(5s);
    std::weak_ptr<sync::HttpClient> watch = client;
    library::PlainProgress progress;
    const sync::HttpReply r = sync::TimedGet(client, server.url("quick"), progress, {2000ms, 10ms});
    EXPECT_EQ(r.outcome, HttpOutcome::Ok) << r.error;
    EXPECT_EQ(r.text(), "quick");
    client.reset();
    EXPECT_TRUE(freedSoon(watch));
}

TEST_F(Timed, GivingUpReturnsNothingAndTheWorkerFreesTheJobLater) {
    const struct { const char* name; int stopAfterSteps; HttpOutcome outcome; } cases[] = {
        {"limit", 1000000, HttpOutcome::TimedOut},
        {"stop", 3, HttpOutcome::Stopped},
    };
    for (const auto& c : cases) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            release = false;
        }
        auto client = std::make_shared<sync::NativeHttpClient>(5s);
        std::weak_ptr<sync::HttpClient> watch = client;
        library::PlainProgress progress;
        const auto start = std::chrono::steady_clock::now();
        const sync::HttpReply r =
            sync::TimedPost(client, server.url("held"), "body", progress, stopAfter(progress, c.stopAfterSteps));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << c.name;
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.text(), "") << c.name;
        // The worker still holds the job (and with it the client) until its request ends.
        client.reset();
        EXPECT_FALSE(watch.expired()) << c.name;
        letGo();
        EXPECT_TRUE(freedSoon(watch)) << c.name;
    }
}
