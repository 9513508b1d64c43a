// A small loopback HTTP server for the Wine suite (Win32 only): enough of HTTP/1.1 to
// answer WinINet, one connection at a time, with a request that waits to be released.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace orv::wine {

// Answers every request with one line naming what it was sent (method, target, content
// type, body), with `longReply` bytes for the target "/long", and for targets beginning
// "/held" only once release() was called (or after ten seconds, so a failing test still ends).
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
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        releasedChanged_.notify_all();
    }
    void close() {
        release();
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
        if (target.rfind("/held", 0) == 0) {
            std::unique_lock<std::mutex> lock(mutex_);
            releasedChanged_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
            reply = "released";
        } else if (target == "/long") {
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
    std::mutex mutex_;
    std::condition_variable releasedChanged_;
    bool released_ = false;
    std::thread thread_;
};

}  // namespace orv::wine
