// The HTTP side of the sync server: port.php on a loopback address, handing each request
// to the port script.
#pragma once

#include "port_script.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace httplib {
class Server;
}

namespace orv::server {

class SyncServer {
public:
    explicit SyncServer(PortScript& script);
    ~SyncServer();
    SyncServer(const SyncServer&) = delete;
    SyncServer& operator=(const SyncServer&) = delete;

    // Binds to `host`:`port` (port 0: any free port). The port bound, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); false when serving could not start. Returns at once when
    // stop() came first.
    bool run();
    // Safe from any thread, before, during or after run(); returns once run() is over.
    void stop();

private:
    PortScript& script_;
    std::unique_ptr<httplib::Server> http_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool started_ = false;
    bool stopping_ = false;
    bool done_ = false;
};

// The value of `name` in the query of a request target, as sent: packed text keeps its
// "=" padding, which a form decoder would drop. "%XX" escapes are undone.
std::string rawQueryValue(std::string_view target, std::string_view name);

}  // namespace orv::server
