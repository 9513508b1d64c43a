// A small HTTP server on a free port of 127.0.0.1 for the tests of the HTTP client and
// the server protocol; it serves on its own thread from start() until it is stopped.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace orv::test {

class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Routes are added to server before start().
    httplib::Server server;

    // Binds a free loopback port and serves; false when no port could be bound.
    bool start() {
        port_ = server.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) return false;
        thread_ = std::thread([this] { server.listen_after_bind(); });
        // stop() only reaches a server that is already listening.
        for (int i = 0; i < 500 && !server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return server.is_running();
    }
    void stop() {
        server.stop();
        if (thread_.joinable()) thread_.join();
    }
    int port() const { return port_; }
    std::string url(const std::string& path = "") const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
    }

private:
    int port_ = 0;
    std::thread thread_;
};

}  // namespace orv::test
