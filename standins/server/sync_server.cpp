// Serving port.php over HTTP with cpp-httplib, and stopping without a race against start-up.
#include "sync_server.h"

#include "hostile_pages.h"
#include "setup/setup_options.h"
#include "text/ascii.h"

#include <httplib.h>

#include <chrono>

namespace orv::server {
namespace {

// Entries carry their source code and pages; anything far larger is not a change.
constexpr size_t kMaxBodyBytes = 8 * 1024 * 1024;
constexpr auto kStopRetry = std::chrono::milliseconds(10);
// "user-create2.htm": the page the setup window opens, without its "?".
constexpr std::string_view kRegistrationQuery = setup::kRegistrationPage.substr(1);

}  // namespace

std::string rawQueryValue(std::string_view target, std::string_view name) {
    const size_t question = target.find('?');
    if (question == std::string_view::npos) return {};
    std::string_view query = target.substr(question + 1);
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const size_t eq = pair.find('=');
        if (eq != std::string_view::npos && pair.substr(0, eq) == name) return text::percentDecoded(pair.substr(eq + 1));
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return {};
}

SyncServer::SyncServer(PortScript& script) : script_(script), http_(std::make_unique<httplib::Server>()) {
    http_->set_payload_max_length(kMaxBodyBytes);
    const auto serve = [this](bool post) {
        return [this, post](const httplib::Request& req, httplib::Response& res) {
            const std::string command = rawQueryValue(req.target, "c");
            const std::string packed =
                post ? std::string(text::trimBlanks(req.body)) : rawQueryValue(req.target, "a");
            res.set_content(script_.answer(command, post, packed), "text/html; charset=utf-8");
        };
    };
    http_->Get("/port.php", serve(false));
    http_->Post("/port.php", serve(true));
    // The registration page is the site's root with the page's name as its query.
    const auto registration = [this](bool post) {
        return [this, post](const httplib::Request& req, httplib::Response& res) {
            const size_t question = req.target.find('?');
            if (question == std::string::npos || req.target.substr(question + 1) != kRegistrationQuery) {
                res.status = 404;
                return;
            }
            const Registration form{req.get_param_value("uName"), req.get_param_value("uPass"),
                                    req.get_param_value("uPass2")};
            res.set_content(script_.registrationPage(post, form), "text/html; charset=utf-8");
        };
    };
    http_->Get("/", registration(false));
    http_->Post("/", registration(true));
    // Pages of a hostile server, for trying the online window's defences.
    http_->Get(std::string(kHostilePrefix) + "([a-z-]+)\\.htm", [](const httplib::Request& req, httplib::Response& res) {
        const std::optional<std::string> page = hostilePage(req.matches[1].str());
        if (!page) {
            res.status = 404;
            return;
        }
        res.set_content(*page, "text/html; charset=utf-8");
    });
}

SyncServer::~SyncServer() { stop(); }

int SyncServer::bind(const std::string& host, int port) {
    if (port == 0) return http_->bind_to_any_port(host);
    return http_->bind_to_port(host, port) ? port : -1;
}

bool SyncServer::run() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return true;
        started_ = true;
    }
    const bool served = http_->listen_after_bind();
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    finished_.notify_all();
    return served;
}

void SyncServer::stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    stopping_ = true;
    // Until the listener is up, a stop of the HTTP server has nothing to stop: repeat it.
    while (started_ && !done_) {
        http_->stop();
        finished_.wait_for(lock, kStopRetry);
    }
}

}  // namespace orv::server
