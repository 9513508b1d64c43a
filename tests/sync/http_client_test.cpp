// Splitting URLs, and the native HTTP client against a loopback server.
#include "sync/http_client.h"
#include "sync/native_http_client.h"

#include "loopback_server.h"

#include <gtest/gtest.h>

using namespace orv;
using sync::HttpOutcome;

TEST(SplitUrl, AbsoluteAndRelativeUrls) {
    const struct {
        const char* url;
        const char* hostIn;
        std::uint16_t portIn;
        const char* host;
        const char* path;
        std::uint16_t port;
        bool secure;
    } cases[] = {
        {"http://example.org:1314/port.php?c=orvut&a=x/y", "", 0, "example.org", "port.php?c=orvut&a=x/y", 1314, false},
        {"  HTTP://Example.org/a/b  ", "", 0, "Example.org", "a/b", 80, false},
        {"http://example.org", "", 0, "example.org", "", 80, false},
        {"http://example.org/", "", 0, "example.org", "", 80, false},
        {"https://example.org/x", "", 0, "example.org", "x", 443, true},
        {"hTTps://example.org:8443/x", "", 0, "example.org", "x", 8443, true},
        // Relative: the host given is kept, one leading "/" goes.
        {"/port.php?c=orvget", "server.lan", 0, "server.lan", "port.php?c=orvget", 80, false},
        {"port.php", "server.lan", 1314, "server.lan", "port.php", 1314, false},
        // Relative without a host: the host is the text before the first "/".
        {"server.lan:99/x/y", "", 0, "server.lan", "x/y", 99, false},
        // A port that is no port reads as 0, which no request accepts.
        {"http://example.org:http/x", "", 0, "example.org", "x", 0, false},
        {"http://example.org:70000/x", "", 0, "example.org", "x", 0, false},
        {"http://example.org:/x", "", 0, "example.org", "x", 0, false},
    };
    for (const auto& c : cases) {
        sync::UrlParts parts;
        parts.host = c.hostIn;
        parts.port = c.portIn;
        sync::SplitUrl(c.url, parts);
        EXPECT_EQ(parts.host, c.host) << c.url;
        EXPECT_EQ(parts.path, c.path) << c.url;
        EXPECT_EQ(parts.port, c.port) << c.url;
        EXPECT_EQ(parts.secure, c.secure) << c.url;
    }
}

class NativeHttp : public ::testing::Test {
protected:
    void SetUp() override {
        server.server.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.status = 404;  // an error page is a reply like any other
            res.set_content("GET " + req.target + " " + req.get_header_value("User-Agent"), "text/plain");
        });
        server.server.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("POST " + req.get_header_value("Content-Type") + " " + req.body, "text/plain");
        });
        ASSERT_TRUE(server.start());
    }
    test::LoopbackServer server;
    sync::NativeHttpClient client{std::chrono::seconds(5)};
};

TEST_F(NativeHttp, GetAndPostRoundTrips) {
    const sync::HttpReply got = client.HttpGet(server.url("echo?a=x/y=="));
    EXPECT_EQ(got.outcome, HttpOutcome::Ok) << got.error;
    EXPECT_EQ(got.status, 404);
    EXPECT_EQ(got.text(), "GET /echo?a=x/y== " + std::string(sync::kUserAgent));

    const std::string body = "5abc/+=\xE6\xBE\x84";
    const sync::HttpReply posted = client.HttpPost(server.url("echo"), body);
    EXPECT_EQ(posted.outcome, HttpOutcome::Ok) << posted.error;
    EXPECT_EQ(posted.text(), "POST application/x-www-form-urlencoded " + body);
}

TEST_F(NativeHttp, FailuresSayWhatFailedAndCarryNoReply) {
    // A port nobody listens on: bound, then closed again.
    int closedPort = 0;
    {
        test::LoopbackServer gone;
        ASSERT_TRUE(gone.start());
        closedPort = gone.port();
    }
    const std::string urls[] = {
        "http://127.0.0.1:" + std::to_string(closedPort) + "/echo",
        "http://127.0.0.1:notaport/echo",
        "http:///echo",
        // https speaks TLS, which a plain HTTP server cannot answer.
        "https://127.0.0.1:" + std::to_string(server.port()) + "/echo",
    };
    for (const std::string& url : urls) {
        const sync::HttpReply r = client.HttpGet(url);
        EXPECT_EQ(r.outcome, HttpOutcome::Failed) << url;
        EXPECT_FALSE(r.error.empty()) << url;
        EXPECT_EQ(r.text(), "") << url;
    }
}
