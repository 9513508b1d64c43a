// The WinINet client (Win32 only) against a small loopback HTTP server of this test:
// GET through the timed request, POST, a long reply, and a refused connection.
#include "sync/http_client.h"
#include "sync/timed_request.h"
#include "library/plain_progress.h"
#include "wine/tiny_server.h"

#include <gtest/gtest.h>

#include <string>

using namespace orv;
using orv::wine::TinyServer;

TEST(WinInetHttp, GetAndPostRoundTrips) {
    TinyServer server;
    ASSERT_NE(server.port(), 0);
    const auto client = sync::makeHttpClient();
    library::PlainProgress progress;

    const sync::HttpReply got = sync::TimedGet(client, server.url("/port.php?c=orvut&a=ab/c=="), progress);
    EXPECT_EQ(got.outcome, sync::HttpOutcome::Ok) << got.error;
    EXPECT_EQ(got.text(), "GET /port.php?c=orvut&a=ab/c==  ");

    const std::string body = "1abc/-=\xE6\xBE\x84";
    const sync::HttpReply posted = client->HttpPost(server.url("/port.php?c=orvxg"), body);
    EXPECT_EQ(posted.outcome, sync::HttpOutcome::Ok) << posted.error;
    EXPECT_EQ(posted.text(), "POST /port.php?c=orvxg application/x-www-form-urlencoded " + body);

    const sync::HttpReply long_ = client->HttpGet(server.url("/long"));
    ASSERT_EQ(long_.body.size(), 10000u) << long_.error;
    EXPECT_EQ(long_.body.substr(9984), "abcdefghijklmnop");  // 9984 = 26 * 384
}

TEST(WinInetHttp, ARefusedConnectionIsAFailureThatSaysWhichStep) {
    int port = 0;
    {
        TinyServer gone;
        port = gone.port();
    }
    ASSERT_NE(port, 0);
    const auto client = sync::makeHttpClient();
    const sync::HttpReply r = client->HttpGet("http://127.0.0.1:" + std::to_string(port) + "/port.php");
    EXPECT_EQ(r.outcome, sync::HttpOutcome::Failed);
    EXPECT_EQ(r.text(), "");
    EXPECT_NE(r.error.find("failed (error "), std::string::npos) << r.error;
}
