// Win32 only: the reader thread of the DevTools connection and the routing of replies.
#include "devtools_connection.h"

#include "framework/win32/worker_thread.h"

namespace orv::mb {
namespace {

// How long a closing browser may take before we drop the connection ourselves.
constexpr unsigned long long kCloseGraceMs = 3000;

Json note(const char* method) { return with({{"method", method}}); }

}  // namespace

DevToolsConnection::DevToolsConnection(Wake wake, Inspect inspect)
    : wake_(std::move(wake)), inspect_(std::move(inspect)), arrived_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

DevToolsConnection::~DevToolsConnection() {
    process_.stop();
    if (arrived_) CloseHandle(arrived_);
}

std::string DevToolsConnection::failure() const {
    std::lock_guard<std::mutex> hold(lock_);
    return failure_;
}

bool DevToolsConnection::start(int startupLimitMs, std::string& error) {
    if (!arrived_) {
        error = "CreateEvent failed (" + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!process_.start(error)) return false;
    std::shared_ptr<DevToolsConnection> self = shared_from_this();
    std::string threadError;
    if (!framework::startWorkerThread([self, startupLimitMs] { self->run(startupLimitMs); }, threadError)) {
        error = "cannot start the DevTools reader: " + threadError;
        process_.stop();
        return false;
    }
    return true;
}

void DevToolsConnection::queue(Incoming incoming) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        incoming_.push_back(std::move(incoming));
    }
    SetEvent(arrived_);
    if (wake_) wake_();
}

void DevToolsConnection::fail(const std::string& reason) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (failure_.empty()) failure_ = reason;
        routes_.clear();
    }
    state_ = State::Failed;
    Json message = note("orv.failed");
    message["params"] = with({{"reason", reason}});
    queue(Incoming{std::move(message), nullptr});
}

void DevToolsConnection::run(int startupLimitMs) {
    const unsigned long long begun = GetTickCount64();
    int port = 0;
    std::string path, error;
    if (!process_.waitForEndpoint(startupLimitMs, closing_, port, path, error)) {
        process_.stop();
        fail(error);
        return;
    }
    const unsigned long long spent = GetTickCount64() - begun;
    const int left = spent >= static_cast<unsigned long long>(startupLimitMs) ? 500 : startupLimitMs - static_cast<int>(spent);
    if (!socket_.connect(port, path, left, error)) {
        process_.stop();
        fail("no DevTools connection to " + process_.executable() + ": " + error);
        return;
    }
    state_ = State::Ready;
    queue(Incoming{note("orv.ready"), nullptr});
    readUntilClosed();
    socket_.close();
    process_.stop();
    fail(closing_ ? "the engine was closed" : process_.executable() + " closed the DevTools connection");
}

void DevToolsConnection::readUntilClosed() {
    unsigned long long closeAsked = 0;
    std::string text;
    for (;;) {
        const WebSocketClient::Read r = socket_.receive(text, 1000);
        if (r == WebSocketClient::Read::Closed) return;
        if (closing_ && !closeAsked) closeAsked = GetTickCount64();
        if (closeAsked && GetTickCount64() - closeAsked > kCloseGraceMs) return;
        if (r == WebSocketClient::Read::Timeout) continue;
        Incoming incoming;
        if (!parseMessage(text, incoming.message) || !incoming.message.is_object()) continue;
        if (incoming.message.contains("id")) {
            const std::int64_t id = JsonView(incoming.message)["id"].integer();
            Route route = Route::Drop;
            {
                std::lock_guard<std::mutex> hold(lock_);
                const auto found = routes_.find(id);
                if (found != routes_.end()) {
                    route = found->second;
                    routes_.erase(found);
                    if (route == Route::Wait) replies_[id] = std::move(incoming.message);
                }
            }
            if (route == Route::Wait) SetEvent(arrived_);
            if (route == Route::Queue) queue(std::move(incoming));
            continue;
        }
        if (inspect_) inspect_(*this, incoming);
        if (!incoming.message.is_null()) queue(std::move(incoming));
    }
}

std::int64_t DevToolsConnection::send(const std::string& method, const Json& params, const std::string& session,
                                      Route route) {
    if (state_ != State::Ready) return 0;
    const std::int64_t id = ++nextId_;
    std::string text = "{\"id\":" + std::to_string(id) + ",\"method\":" + jsonQuoted(method) + ",\"params\":";
    if (params.is_null())
        text += "{}";
    else
        appendJsonText(text, params);
    if (!session.empty()) text += ",\"sessionId\":" + jsonQuoted(session);
    text += '}';
    if (route != Route::Drop) {
        std::lock_guard<std::mutex> hold(lock_);
        routes_[id] = route;
    }
    if (!socket_.sendText(text)) {
        forget(id);
        return 0;
    }
    return id;
}

bool DevToolsConnection::takeReply(std::int64_t id, Json& reply) {
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = replies_.find(id);
    if (found == replies_.end()) return false;
    reply = std::move(found->second);
    replies_.erase(found);
    return true;
}

void DevToolsConnection::forget(std::int64_t id) {
    std::lock_guard<std::mutex> hold(lock_);
    routes_.erase(id);
    replies_.erase(id);
}

bool DevToolsConnection::takeIncoming(Incoming& incoming) {
    std::lock_guard<std::mutex> hold(lock_);
    if (incoming_.empty()) return false;
    incoming = std::move(incoming_.front());
    incoming_.pop_front();
    return true;
}

void DevToolsConnection::close() {
    if (closing_.exchange(true)) return;
    if (state_ == State::Ready) send("Browser.close", Json::object(), std::string(), Route::Drop);
    // Under Wine this also tells the wrapper to end Chromium should Browser.close not.
    process_.stop();
}

void DevToolsConnection::closeAtExit() {
    if (state_ == State::Ready && !closing_.exchange(true))
        send("Browser.close", Json::object(), std::string(), Route::Drop);
}

}  // namespace orv::mb
