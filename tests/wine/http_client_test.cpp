// The WinINet client (Win32 only) against a small loopback HTTP server of this test:
// GET through the timed request, POST, a long reply, and a refused connection.
#include "sync/http_client.h"
#include "sync/timed_request.h"
#include "tools/plain_progress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using namespace orv;

namespace {

// Answers every request with one line naming what it was sent (method, target, content
// type, body), or with `longReply` bytes for the target "/long".
class TinyServer {
public:
    explicit TinyServer(size_t longReply = 10000) : longReply_(longReply) {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int size = sizeof address;
        if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TinyServer() { close(); }
    void close() {
        if (listener_ != INVALID_SOCKET) closesocket(listener_);
        listener_ = INVALID_SOCKET;
        if (thread_.joinable()) thread_.join();
        if (started_) WSACleanup();
        started_ = false;
    }
    int port() const { return port_; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    void serve() {
        for (;;) {
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET) return;
            answer(s);
            closesocket(s);
        }
    }
    static std::string header(const std::string& head, const std::string& name) {
        const std::string key = "\r\n" + name + ":";
        size_t at = head.find(key);
        if (at == std::string::npos) return "";
        at += key.size();
        while (at < head.size() && head[at] == ' ') ++at;
        return head.substr(at, head.find("\r\n", at) - at);
    }
    void answer(SOCKET s) {
        std::string in;
        char buffer[4096];
        size_t end = std::string::npos;
        while ((end = in.find("\r\n\r\n")) == std::string::npos) {
            const int n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            in.append(buffer, static_cast<size_t>(n));
        }
        const std::string head = in.substr(0, end);
        std::string body = in.substr(end + 4);
        const size_t length = static_cast<size_t>(std::atoi(header(head, "Content-Length").c_str()));
        while (body.size() < length) {
            const int n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            body.append(buffer, static_cast<size_t>(n));
        }
        const std::string requestLine = head.substr(0, head.find("\r\n"));
        const std::string target = requestLine.substr(requestLine.find(' ') + 1,
                                                      requestLine.rfind(' ') - requestLine.find(' ') - 1);
        std::string reply;
        if (target == "/long") {
            for (size_t i = 0; i < longReply_; ++i) reply += static_cast<char>('a' + i % 26);
        } else {
            reply = requestLine.substr(0, requestLine.find(' ')) + " " + target + " " +
                    header(head, "Content-Type") + " " + body;
        }
        const std::string out = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(reply.size()) +
                                "\r\nConnection: close\r\n\r\n" + reply;
        send(s, out.data(), static_cast<int>(out.size()), 0);
    }

    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    size_t longReply_;
    std::thread thread_;
};

}  // namespace

TEST(WinInetHttp, GetAndPostRoundTrips) {
    TinyServer server;
    ASSERT_NE(server.port(), 0);
    const auto client = sync::makeHttpClient();
    tools::PlainProgress progress;

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
