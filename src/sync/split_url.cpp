// Splitting a URL into host, path and port, and the failure replies of the HTTP seam.
#include "sync/http_client.h"

#include "text/ascii.h"

namespace orv::sync {
namespace {

struct Scheme {
    std::string_view prefix;
    std::uint16_t port;
    bool secure;
};
const Scheme kSchemes[] = {{"http://", kHttpPort, false}, {"https://", kHttpsPort, true}};

// A port is 1 to 65535 written in digits only; anything else reads as 0 so that the
// request fails instead of going to a port nobody named.
std::uint16_t portNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return 0;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

}  // namespace

void SplitUrl(std::string_view url, UrlParts& parts) {
    std::string_view u = text::trimBlanks(url);
    bool absolute = false;
    for (const Scheme& s : kSchemes) {
        if (!text::startsWithNoCase(u, s.prefix)) continue;
        u.remove_prefix(s.prefix.size());
        parts.port = s.port;
        parts.secure = s.secure;
        absolute = true;
        break;
    }
    if (!absolute && parts.port == 0) parts.port = parts.secure ? kHttpsPort : kHttpPort;

    if (absolute || parts.host.empty()) {
        const size_t slash = u.find('/');
        if (slash == std::string_view::npos) {
            parts.host = std::string(text::trimBlanks(u));
            parts.path.clear();
        } else {
            parts.host = std::string(text::trimBlanks(u.substr(0, slash)));
            parts.path = std::string(text::trimBlanks(u.substr(slash + 1)));
        }
    } else {
        u = text::trimBlanks(u);
        if (!u.empty() && u.front() == '/') u.remove_prefix(1);
        parts.path = std::string(u);
    }

    const size_t colon = parts.host.find(':');
    if (colon != std::string::npos) {
        parts.port = portNumber(std::string_view(parts.host).substr(colon + 1));
        parts.host.erase(colon);
    }
}

HttpReply HttpReply::failure(HttpOutcome outcome, std::string error) {
    HttpReply r;
    r.outcome = outcome;
    r.error = std::move(error);
    return r;
}

}  // namespace orv::sync
