// A loopback listener for the Wine suite (Win32 only) that notes the HTTP requests made
// to it: a page that sends one has loaded something remote. Given a page, it answers
// every request with it, as another web site would.
#pragma once

#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orv::wine {

// Connections that send nothing (the browser opens some ahead of a click) are no requests.
class RequestListener {
public:
    explicit RequestListener(std::string page = {}) : page_(std::move(page)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 16) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (;;) {
                SOCKET s = accept(listener_, nullptr, nullptr);
                if (s == INVALID_SOCKET) return;
                std::lock_guard<std::mutex> lock(mutex_);
                readers_.emplace_back([this, s] { readRequest(s); });
            }
        });
    }
    ~RequestListener() {
        closesocket(listener_);
        if (acceptor_.joinable()) acceptor_.join();
        for (std::thread& reader : readers_) reader.join();
        WSACleanup();
    }
    bool listening() const { return port_ != 0; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void readRequest(SOCKET s) {
        DWORD timeout = 3000;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        char buffer[2048];
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n > 0) {
            const std::string head(buffer, static_cast<std::size_t>(n));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head.substr(0, head.find("\r\n")));
            }
            if (!page_.empty()) {
                const std::string out = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                                        std::to_string(page_.size()) + "\r\nConnection: close\r\n\r\n" + page_;
                send(s, out.data(), static_cast<int>(out.size()), 0);
            }
        }
        closesocket(s);
    }

    std::string page_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::thread> readers_;
    std::thread acceptor_;
};

}  // namespace orv::wine
