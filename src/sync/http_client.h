// The HTTP seam: a blocking GET and POST of one URL, the reply as raw bytes with a
// clear failure result, and the URL splitting every implementation shares.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orv::sync {

// Where a request goes. host and port are also inputs: a relative URL keeps the host
// given, and a port of 0 means none was given.
struct UrlParts {
    std::string host;
    std::string path;        // without the leading "/", query included
    std::uint16_t port = 0;  // after SplitUrl, 0 only when the URL named a port that is no port
    bool secure = false;     // https: TLS, default port 443
};

inline constexpr std::uint16_t kHttpPort = 80;
inline constexpr std::uint16_t kHttpsPort = 443;

// Splits an "http://", "https://" or relative URL (the scheme compared without regard
// to case, blanks around it ignored).
void SplitUrl(std::string_view url, UrlParts& parts);

enum class HttpOutcome {
    Ok,        // a reply arrived (whatever its status: an error page is a reply too)
    Failed,    // no usable reply: bad URL, no connection, a failed send or read
    TimedOut,  // the wait limit passed first
    Stopped    // the user stopped the wait
};

struct HttpReply {
    HttpOutcome outcome = HttpOutcome::Failed;
    int status = 0;       // the HTTP status when known, never judged
    std::string body;     // raw bytes; on failure whatever arrived before it
    std::string error;    // which step failed and why; empty when ok

    bool ok() const { return outcome == HttpOutcome::Ok; }
    // The reply a caller may read: the body when one arrived, otherwise nothing.
    std::string text() const { return ok() ? body : std::string(); }

    static HttpReply failure(HttpOutcome outcome, std::string error);
};

// Referrer and credentials of one request; empty means none.
struct HttpExtras {
    std::string referrer;
    std::string user;
    std::string password;
};

inline constexpr std::string_view kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
inline constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded";

// One request at a time per call; implementations keep no state between calls, so one
// client may serve several threads.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpReply HttpGet(const std::string& url, const HttpExtras& extras = {}) = 0;
    // Sends `body` unchanged as form data.
    virtual HttpReply HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras = {}) = 0;
};

// The client of this platform: WinINet on Win32, cpp-httplib elsewhere.
std::shared_ptr<HttpClient> makeHttpClient();

}  // namespace orv::sync
