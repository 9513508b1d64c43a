// A loopback server that answers port.php as the sync server does (one account, the
// reply frame, packed payloads) and remembers what it was sent, for the protocol tests.
#pragma once

#include "library/fragment.h"
#include "loopback_server.h"
#include "sync/server_reply.h"
#include "sync/wire_packing.h"

#include <mutex>
#include <string>
#include <vector>

namespace orv::test {

class ProtocolServer {
public:
    // The account as typed; clients send it with its apostrophes doubled.
    std::string account = "O'Neil";
    std::string digest = sync::PasswordDigest("secret");
    // What orvut answers for the account: points, remaining and allowed changes.
    std::string loginPayload = "120,7,10";
    // What orvxg answers for an accepted change: user id, id, date, sID.
    std::string submitPayload = "9,501,1700000000,777";
    // The records orvget returns, each packed, joined by "<br>".
    std::vector<std::string> records;
    // When set, every request is answered with exactly this text.
    std::string fixedReply;

    // What the server was sent, unpacked.
    std::vector<std::string> logins, changes, fetches;

    // A good reply around a payload as it travels: packed for orvut and orvxg; orvget's
    // records are packed one by one instead.
    static std::string frame(const std::string& payload, bool pack = true) {
        return std::string(sync::kGoodReplySign) + std::string(sync::kReplyMarker) +
               (pack ? sync::ScrambleText(payload) : payload) + std::string(sync::kReplyMarker);
    }

    bool start() {
        http.server.Get("/port.php", [this](const httplib::Request& req, httplib::Response& res) {
            res.set_content(get(req.target), "text/html; charset=utf-8");
        });
        http.server.Post("/port.php", [this](const httplib::Request& req, httplib::Response& res) {
            res.set_content(post(req.target, req.body), "text/html; charset=utf-8");
        });
        return http.start();
    }
    std::string base() const { return http.url(); }
    int requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<int>(logins.size() + changes.size() + fetches.size());
    }

    LoopbackServer http;

private:
    // The packed argument as sent: everything after "&a=", since packed text may
    // itself hold "=".
    static std::string argument(const std::string& target) {
        const size_t at = target.find("&a=");
        return at == std::string::npos ? "" : sync::UnscrambleText(target.substr(at + 3));
    }
    std::string checkAccount(const std::string& text) {
        const size_t comma = text.find(',');
        if (library::undoubleApostrophes(text.substr(0, comma)) != account) return "会员不存在";
        if (comma == std::string::npos || text.compare(comma + 1, digest.size(), digest) != 0) return "密码错误2";
        return "";
    }
    std::string get(const std::string& target) {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string text = argument(target);
        if (target.find("c=orvut&") != std::string::npos) {
            logins.push_back(text);
            if (!fixedReply.empty()) return fixedReply;
            const std::string refusal = checkAccount(text);
            return refusal.empty() ? frame(loginPayload) : refusal;
        }
        fetches.push_back(text);
        if (!fixedReply.empty()) return fixedReply;
        std::string joined;
        for (const std::string& r : records) joined += sync::ScrambleText(r) + "<br>";
        return frame(joined, false);
    }
    std::string post(const std::string& target, const std::string& body) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (target.find("c=orvxg") == std::string::npos) return "Error";
        const std::string text = sync::UnscrambleText(body);
        changes.push_back(text);
        if (!fixedReply.empty()) return fixedReply;
        const std::string refusal = checkAccount(text);
        return refusal.empty() ? frame(submitPayload) : refusal;
    }

    std::mutex mutex_;
};

}  // namespace orv::test
