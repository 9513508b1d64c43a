// Win32 only: the one DevTools connection to the browser of one Chromium run. A reader
// thread receives replies and events; the UI thread sends commands and takes what came.
// Nothing here calls into the host.
#pragma once

#include "websocket_client.h"  // first: Winsock before <windows.h>

#include "chromium_process.h"
#include "devtools_json.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orv::mb {

// A painted frame, decoded off the UI thread: 32-bit premultiplied BGRA, top row first.
struct DecodedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A message from Chromium (an event, or a reply routed to the queue), or one of our own
// notes about the connection: "orv.ready", "orv.failed" with params.reason.
struct Incoming {
    Json message;
    std::shared_ptr<const DecodedFrame> frame;
};

class DevToolsConnection : public std::enable_shared_from_this<DevToolsConnection> {
public:
    enum class State { Starting, Ready, Failed };
    // Where the reply to a command goes: kept for takeReply, queued with the events, or dropped.
    enum class Route { Wait, Queue, Drop };
    // Called on the reader thread whenever something arrived.
    using Wake = std::function<void()>;
    // Called on the reader thread for each event before it is queued (frames are decoded
    // and acknowledged there); clearing the message drops the event.
    using Inspect = std::function<void(DevToolsConnection&, Incoming&)>;

    DevToolsConnection(Wake wake, Inspect inspect);
    ~DevToolsConnection();

    // Starts Chromium, then connects to it on a thread of its own, giving up after
    // `startupLimitMs`. False at once when Chromium cannot be started.
    bool start(int startupLimitMs, std::string& error);

    State state() const { return state_.load(); }
    std::string failure() const;
    const std::string& executable() const { return process_.executable(); }

    // Sends a command (to a target session when `session` is not empty) and returns its
    // id, 0 when the connection is not open.
    std::int64_t send(const std::string& method, const Json& params, const std::string& session, Route route);
    bool takeReply(std::int64_t id, Json& reply);
    void forget(std::int64_t id);
    bool takeIncoming(Incoming& incoming);
    // Signalled whenever a reply or an event arrives.
    HANDLE arrived() const { return arrived_; }

    // Asks Chromium to close and makes sure it ends. Idempotent; returns at once.
    void close();
    // At process end: one last Browser.close, nothing that waits.
    void closeAtExit();

private:
    void run(int startupLimitMs);
    void readUntilClosed();
    void fail(const std::string& reason);
    void queue(Incoming incoming);

    Wake wake_;
    Inspect inspect_;
    ChromiumProcess process_;
    WebSocketClient socket_;
    HANDLE arrived_ = nullptr;
    std::atomic<State> state_{State::Starting};
    std::atomic<bool> closing_{false};
    std::atomic<std::int64_t> nextId_{0};

    mutable std::mutex lock_;
    std::string failure_;
    std::map<std::int64_t, Route> routes_;
    std::map<std::int64_t, Json> replies_;
    std::deque<Incoming> incoming_;
};

}  // namespace orv::mb
