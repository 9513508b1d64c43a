// GET and POST through WinINet (Win32 only): one internet, connection and request
// handle per call, each step checked and named when it fails; timed requests run on
// threads that keep the module loaded.
#include "sync/win32/wininet_http_client.h"

#include "framework/win32/worker_thread.h"

#include <windows.h>
#include <wininet.h>

namespace orv::sync {
namespace {

// Closes whatever was opened, innermost first, however the request ends.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h = nullptr) : h_(h) {}
    ~InternetHandle() { if (h_) InternetCloseHandle(h_); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

std::string stepFailed(const char* step, const std::string& url) {
    return std::string(step) + " failed (error " + std::to_string(GetLastError()) + ") for " + url;
}

const char* nullIfEmpty(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

HttpReply request(const std::string& url, const char* verb, const std::string* body, const HttpExtras& extras) {
    UrlParts parts;
    SplitUrl(url, parts);
    if (parts.host.empty()) return HttpReply::failure(HttpOutcome::Failed, "no host in \"" + url + "\"");
    if (parts.port == 0) return HttpReply::failure(HttpOutcome::Failed, "no valid port in \"" + url + "\"");

    const std::string agent(kUserAgent);
    InternetHandle internet(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return HttpReply::failure(HttpOutcome::Failed, stepFailed("InternetOpenA", url));
    InternetHandle connection(InternetConnectA(internet.get(), parts.host.c_str(), parts.port,
                                               nullIfEmpty(extras.user), nullIfEmpty(extras.password),
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return HttpReply::failure(HttpOutcome::Failed, stepFailed("InternetConnectA", url));

    const char* accept[] = {"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD;
    if (parts.secure) flags |= INTERNET_FLAG_SECURE;
    const std::string object = "/" + parts.path;
    InternetHandle req(HttpOpenRequestA(connection.get(), verb, object.c_str(), "HTTP/1.1",
                                        nullIfEmpty(extras.referrer), accept, flags, 0));
    if (!req) return HttpReply::failure(HttpOutcome::Failed, stepFailed("HttpOpenRequestA", url));

    BOOL sent = FALSE;
    if (body) {
        const std::string header = "Content-Type: " + std::string(kFormContentType) + "\r\n";
        sent = HttpSendRequestA(req.get(), header.c_str(), static_cast<DWORD>(header.size()),
                                const_cast<char*>(body->data()), static_cast<DWORD>(body->size()));
    } else {
        sent = HttpSendRequestA(req.get(), nullptr, 0, nullptr, 0);
    }
    if (!sent) return HttpReply::failure(HttpOutcome::Failed, stepFailed("HttpSendRequestA", url));

    // The status is not read: an error page is a reply like any other, and the
    // protocol judges replies by their text.
    HttpReply reply;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(req.get(), chunk, sizeof chunk, &read)) {
            reply.outcome = HttpOutcome::Failed;
            reply.error = stepFailed("InternetReadFile", url);
            return reply;
        }
        if (read == 0) break;
        reply.body.append(chunk, read);
    }
    reply.outcome = HttpOutcome::Ok;
    return reply;
}

}  // namespace

HttpReply WinInetHttpClient::HttpGet(const std::string& url, const HttpExtras& extras) {
    return request(url, "GET", nullptr, extras);
}

HttpReply WinInetHttpClient::HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras) {
    return request(url, "POST", &body, extras);
}

bool WinInetHttpClient::startWorker(std::function<void()> work, std::string& error) {
    return framework::startWorkerThread(std::move(work), error);
}

std::shared_ptr<HttpClient> makeHttpClient() { return std::make_shared<WinInetHttpClient>(); }

}  // namespace orv::sync
