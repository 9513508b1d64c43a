// The HTTP seam over cpp-httplib, for the native build (the tool and the tests).
#pragma once

#include "sync/http_client.h"

#include <chrono>

namespace orv::sync {

class NativeHttpClient : public HttpClient {
public:
    // `readLimit` bounds a silent connection, so that a worker whose waiter gave up
    // still ends; the waiting rule itself belongs to the timed requests.
    explicit NativeHttpClient(std::chrono::seconds readLimit = std::chrono::seconds(120))
        : readLimit_(readLimit) {}

    HttpReply HttpGet(const std::string& url, const HttpExtras& extras = {}) override;
    HttpReply HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras = {}) override;

private:
    HttpReply request(const std::string& url, const std::string* body, const HttpExtras& extras);

    std::chrono::seconds readLimit_;
};

}  // namespace orv::sync
