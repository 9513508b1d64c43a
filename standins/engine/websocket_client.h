// Win32 only: a WebSocket client (RFC 6455, text messages) over Winsock for a DevTools
// endpoint on the loopback interface. Every wait has a time limit.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>

namespace orv::mb {

class WebSocketClient {
public:
    enum class Read { Message, Timeout, Closed };

    WebSocketClient() = default;
    ~WebSocketClient();
    WebSocketClient(const WebSocketClient&) = delete;
    WebSocketClient& operator=(const WebSocketClient&) = delete;

    // Connects to ws://127.0.0.1:<port><path> and completes the opening handshake within
    // `timeoutMs`. False with the failed step in `error`.
    bool connect(int port, const std::string& path, int timeoutMs, std::string& error);

    // Sends one text message; safe from any thread. False (and the connection closed)
    // when the socket refuses it within the send time limit.
    bool sendText(const std::string& text);

    // Waits up to `timeoutMs` for the next whole text message. Pings are answered and
    // control frames consumed on the way. Only one thread reads.
    Read receive(std::string& message, int timeoutMs);

    // Closes the socket; a reader blocked in receive() returns Closed.
    void close();
    bool isOpen() const { return socket_ != INVALID_SOCKET; }

private:
    bool sendFrame(int opcode, const char* data, std::size_t length);
    // Reads exactly `length` bytes, waiting at most until `deadline` (a GetTickCount64 value).
    Read readExact(char* into, std::size_t length, unsigned long long deadline);

    std::atomic<SOCKET> socket_{INVALID_SOCKET};
    std::mutex sendLock_;
    std::string pending_;  // bytes received past what has been handed out
    bool wsaStarted_ = false;
};

}  // namespace orv::mb
