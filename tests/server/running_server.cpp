// The in-process sync server of the tests and the client side of its wire.
#include "running_server.h"

#include "sync/server_reply.h"
#include "sync/wire_packing.h"

#include <httplib.h>

#include <stdexcept>

namespace orv::test {
namespace {

constexpr const char* kHost = "127.0.0.1";
// A loopback reply that takes longer than this means the server hangs.
constexpr time_t kReplySeconds = 5;

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + separator.size();
    }
}

httplib::Client client(int port) {
    httplib::Client c(kHost, port);
    c.set_connection_timeout(kReplySeconds);
    c.set_read_timeout(kReplySeconds);
    return c;
}

}  // namespace

RunningServer::RunningServer()
    : stateFile_(dir_.file("server.db")), script_(store_, [this] { return now_.load(); }), server_(script_) {
    std::string error;
    if (!store_.open(stateFile_, error)) throw std::runtime_error(error);
    port_ = server_.bind(kHost, 0);
    if (port_ <= 0) throw std::runtime_error("no free loopback port");
    thread_ = std::thread([this] { server_.run(); });
}

RunningServer::~RunningServer() {
    server_.stop();
    thread_.join();
}

long long RunningServer::addAccount(const std::string& name, const std::string& password,
                                     std::optional<long long> allowance, long long points, bool locked) {
    server::Account a;
    a.name = name;
    a.digest = sync::PasswordDigest(password);
    a.allowance = allowance;
    a.points = points;
    a.locked = locked;
    std::string error;
    if (!store_.addAccount(a, error)) throw std::runtime_error(error);
    return store_.account(name)->uID;
}

std::string RunningServer::get(const std::string& pathAndQuery) {
    httplib::Client c = client(port_);
    const httplib::Result r = c.Get(pathAndQuery.c_str());
    return r ? r->body : std::string();
}

std::string RunningServer::post(const std::string& pathAndQuery, const std::string& body) {
    httplib::Client c = client(port_);
    const httplib::Result r = c.Post(pathAndQuery.c_str(), body, "application/x-www-form-urlencoded");
    return r ? r->body : std::string();
}

std::string RunningServer::testAccount(const std::string& name, const std::string& password) {
    return get("/port.php?c=orvut&a=" + sync::ScrambleText(name + "," + sync::PasswordDigest(password)));
}

std::string RunningServer::submit(const std::string& name, const std::string& password, int code,
                                   long long target, const std::string& recordName, const std::string& body) {
    const std::string message = std::to_string(code) + "," + std::to_string(target) + "," + recordName + "," +
                                sync::ScrambleText(body);
    return post("/port.php?c=orvxg",
                sync::ScrambleText(name + "," + sync::PasswordDigest(password) + "," + message));
}

std::string RunningServer::fetch(long long after, const std::string& except) {
    std::string request = "0.5," + std::to_string(after);
    if (!except.empty()) request += "," + except;
    return get("/port.php?c=orvget&a=" + sync::ScrambleText(request));
}

std::vector<std::string> replyFields(const std::string& reply) {
    if (!sync::serverReplyMessage(reply).empty()) return {};
    const std::optional<std::string> payload = sync::tryUnscrambleText(sync::replyPayload(reply));
    if (!payload || payload->empty()) return {};
    return split(*payload, ",");
}

std::vector<std::string> fetchedRecords(const std::string& reply) {
    std::vector<std::string> records;
    const std::string payload = sync::replyPayload(reply);
    if (payload.empty()) return records;
    for (const std::string& piece : split(payload, "<br>")) records.push_back(sync::UnscrambleText(piece));
    return records;
}

}  // namespace orv::test
