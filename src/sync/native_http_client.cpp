// GET and POST over cpp-httplib: plain HTTP, or TLS with certificate checks for https.
#include "sync/native_http_client.h"

#include <httplib.h>

#include <exception>

namespace orv::sync {

HttpReply NativeHttpClient::request(const std::string& url, const std::string* body, const HttpExtras& extras) {
    UrlParts parts;
    SplitUrl(url, parts);
    if (parts.host.empty()) return HttpReply::failure(HttpOutcome::Failed, "no host in \"" + url + "\"");
    if (parts.port == 0) return HttpReply::failure(HttpOutcome::Failed, "no valid port in \"" + url + "\"");
    try {
        // Each request builds its own client: nothing is shared between threads, and a
        // worker left behind by its waiter owns everything it touches.
        httplib::Client client((parts.secure ? "https://" : "http://") + parts.host + ":" + std::to_string(parts.port));
        client.set_keep_alive(false);
        client.set_follow_location(true);
        client.set_connection_timeout(std::chrono::seconds(30));
        client.set_read_timeout(readLimit_);
        client.set_write_timeout(readLimit_);
        if (!extras.user.empty()) client.set_basic_auth(extras.user, extras.password);

        httplib::Headers headers{{"User-Agent", std::string(kUserAgent)}, {"Accept", "*/*"},
                                 {"Cache-Control", "no-cache"}};
        if (!extras.referrer.empty()) headers.emplace("Referer", extras.referrer);
        const std::string path = "/" + parts.path;
        httplib::Result result = body ? client.Post(path, headers, *body, std::string(kFormContentType))
                                      : client.Get(path, headers);
        if (!result)
            return HttpReply::failure(HttpOutcome::Failed, (body ? "POST " : "GET ") + url + ": " +
                                                           httplib::to_string(result.error()));
        HttpReply reply;
        reply.outcome = HttpOutcome::Ok;
        reply.status = result->status;
        reply.body = std::move(result->body);
        return reply;
    } catch (const std::exception& e) {
        return HttpReply::failure(HttpOutcome::Failed, url + ": " + e.what());
    }
}

HttpReply NativeHttpClient::HttpGet(const std::string& url, const HttpExtras& extras) {
    return request(url, nullptr, extras);
}

HttpReply NativeHttpClient::HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras) {
    return request(url, &body, extras);
}

std::shared_ptr<HttpClient> makeHttpClient() { return std::make_shared<NativeHttpClient>(); }

}  // namespace orv::sync
