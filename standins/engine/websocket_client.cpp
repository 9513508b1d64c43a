// Win32 only: the WebSocket framing and the opening handshake over a Winsock socket.
#include "websocket_client.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace orv::mb {
namespace {

constexpr int kSendTimeoutMs = 5000;
// A DevTools message is at most a screenshot; anything far bigger is a broken stream.
constexpr unsigned long long kMaxMessage = 256ull * 1024 * 1024;

enum Opcode { kContinuation = 0, kText = 1, kBinary = 2, kClose = 8, kPing = 9, kPong = 10 };

unsigned long long now() { return GetTickCount64(); }

int remainingMs(unsigned long long deadline) {
    const unsigned long long t = now();
    return t >= deadline ? 0 : static_cast<int>(std::min<unsigned long long>(deadline - t, 0x7fffffff));
}

std::string randomKey() {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::random_device device;
    std::string key;
    for (int i = 0; i < 21; ++i) key += kAlphabet[device() % 64];
    return key + "A==";  // 16 random-ish bytes in base64 form
}

}  // namespace

WebSocketClient::~WebSocketClient() {
    close();
    if (wsaStarted_) WSACleanup();
}

bool WebSocketClient::connect(int port, const std::string& path, int timeoutMs, std::string& error) {
    if (!wsaStarted_) {
        WSADATA data;
        if (const int code = WSAStartup(MAKEWORD(2, 2), &data)) {
            error = "WSAStartup failed (" + std::to_string(code) + ")";
            return false;
        }
        wsaStarted_ = true;
    }
    const unsigned long long deadline = now() + static_cast<unsigned long long>(timeoutMs);
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = "socket failed (" + std::to_string(WSAGetLastError()) + ")";
        return false;
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        error = "connect to 127.0.0.1:" + std::to_string(port) + " failed (" + std::to_string(WSAGetLastError()) + ")";
        closesocket(s);
        return false;
    }
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    const int ms = remainingMs(deadline);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    if (select(0, nullptr, &writable, &failed, &wait) != 1 || !FD_ISSET(s, &writable)) {
        error = "no connection to 127.0.0.1:" + std::to_string(port) + " within " + std::to_string(timeoutMs) + " ms";
        closesocket(s);
        return false;
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    const DWORD sendTimeout = kSendTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    socket_ = s;
    pending_.clear();

    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " + randomKey() +
                                "\r\nSec-WebSocket-Version: 13\r\n\r\n";
    if (::send(s, request.data(), static_cast<int>(request.size()), 0) != static_cast<int>(request.size())) {
        error = "sending the WebSocket handshake failed (" + std::to_string(WSAGetLastError()) + ")";
        close();
        return false;
    }
    std::string reply;
    while (reply.find("\r\n\r\n") == std::string::npos) {
        char c;
        if (readExact(&c, 1, deadline) != Read::Message) {
            error = "no WebSocket handshake answer within " + std::to_string(timeoutMs) + " ms";
            close();
            return false;
        }
        reply += c;
        if (reply.size() > 16384) break;
    }
    if (reply.compare(0, 12, "HTTP/1.1 101") != 0) {
        error = "the WebSocket handshake was refused: " + reply.substr(0, reply.find("\r\n"));
        close();
        return false;
    }
    return true;
}

void WebSocketClient::close() {
    std::lock_guard<std::mutex> hold(sendLock_);
    if (socket_ != INVALID_SOCKET) {
        shutdown(socket_, SD_BOTH);
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

bool WebSocketClient::sendFrame(int opcode, const char* data, std::size_t length) {
    std::string frame;
    frame.reserve(length + 14);
    frame += static_cast<char>(0x80 | opcode);
    if (length < 126) {
        frame += static_cast<char>(0x80 | length);
    } else if (length <= 0xFFFF) {
        frame += static_cast<char>(0x80 | 126);
        frame += static_cast<char>(length >> 8);
        frame += static_cast<char>(length & 0xFF);
    } else {
        frame += static_cast<char>(0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>((static_cast<unsigned long long>(length) >> shift) & 0xFF);
    }
    // Clients must mask; the mask protects proxies, not secrets, so any value will do.
    static thread_local std::minstd_rand maskSource(static_cast<unsigned>(GetTickCount64()));
    char mask[4];
    for (char& m : mask) m = static_cast<char>(maskSource() & 0xFF);
    frame.append(mask, 4);
    const std::size_t start = frame.size();
    frame.append(data, length);
    for (std::size_t i = 0; i < length; ++i) frame[start + i] ^= mask[i & 3];

    std::lock_guard<std::mutex> hold(sendLock_);
    if (socket_ == INVALID_SOCKET) return false;
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const int n = ::send(socket_, frame.data() + sent, static_cast<int>(std::min<std::size_t>(frame.size() - sent, 1 << 20)), 0);
        if (n <= 0) {
            shutdown(socket_, SD_BOTH);
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool WebSocketClient::sendText(const std::string& text) { return sendFrame(kText, text.data(), text.size()); }

WebSocketClient::Read WebSocketClient::readExact(char* into, std::size_t length, unsigned long long deadline) {
    while (pending_.size() < length) {
        const SOCKET s = socket_;
        if (s == INVALID_SOCKET) return Read::Closed;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s, &readable);
        const int ms = remainingMs(deadline);
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        const int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready == 0) return Read::Timeout;
        if (ready < 0) return Read::Closed;
        char buffer[65536];
        const int n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return Read::Closed;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    std::memcpy(into, pending_.data(), length);
    pending_.erase(0, length);
    return Read::Message;
}

WebSocketClient::Read WebSocketClient::receive(std::string& message, int timeoutMs) {
    message.clear();
    unsigned long long deadline = now() + static_cast<unsigned long long>(timeoutMs);
    for (;;) {
        unsigned char head[2];
        Read r = readExact(reinterpret_cast<char*>(head), 2, deadline);
        if (r != Read::Message) return r;
        // Once a frame has begun, the rest of it is on its way: give it time of its own.
        const unsigned long long frameDeadline = now() + kSendTimeoutMs;
        const int opcode = head[0] & 0x0F;
        const bool final = (head[0] & 0x80) != 0;
        unsigned long long length = head[1] & 0x7F;
        if (length >= 126) {
            unsigned char extended[8];
            const std::size_t bytes = length == 126 ? 2 : 8;
            if ((r = readExact(reinterpret_cast<char*>(extended), bytes, frameDeadline)) != Read::Message) return Read::Closed;
            length = 0;
            for (std::size_t i = 0; i < bytes; ++i) length = (length << 8) | extended[i];
        }
        char mask[4] = {0, 0, 0, 0};
        const bool masked = (head[1] & 0x80) != 0;
        if (masked && readExact(mask, 4, frameDeadline) != Read::Message) return Read::Closed;
        if (length + message.size() > kMaxMessage) {
            close();
            return Read::Closed;
        }
        std::string payload(static_cast<std::size_t>(length), '\0');
        if (length && readExact(payload.data(), payload.size(), frameDeadline) != Read::Message) return Read::Closed;
        if (masked)
            for (std::size_t i = 0; i < payload.size(); ++i) payload[i] ^= mask[i & 3];
        switch (opcode) {
        case kPing: sendFrame(kPong, payload.data(), payload.size()); continue;
        case kPong: continue;
        case kClose:
            close();
            return Read::Closed;
        case kText:
        case kBinary:
        case kContinuation:
            message += payload;
            if (final) return Read::Message;
            deadline = frameDeadline;
            continue;
        default: close(); return Read::Closed;
        }
    }
}

}  // namespace orv::mb
