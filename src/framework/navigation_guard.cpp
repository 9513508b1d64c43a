// The page views' navigation rules.
#include "framework/navigation_guard.h"

#include "text/ascii.h"

#include <vector>

namespace orv::framework {
namespace {

constexpr std::string_view kFileScheme = "file:///";

// The path with "/" separators and no empty or "." segments; false when a ".." segment
// would climb above the start.
bool normalisedPath(std::string_view path, std::string& out) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        if (segment == "..") {
            if (segments.empty()) return false;
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    out.clear();
    for (std::string_view segment : segments) {
        out += '/';
        out.append(segment);
    }
    if (!path.empty() && path.back() == '/') out += '/';
    return true;
}

std::string withForwardSlashes(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = text::lowerAscii(c);
    return out;
}

bool hasDotDotSegment(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        if (path.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Picture types a page may show from the IDE folder. SVG is left out: it can carry script.
bool isPictureName(std::string_view lowerPath) {
    for (std::string_view extension : {".png", ".jpg", ".jpeg", ".gif", ".bmp", ".ico", ".webp"})
        if (endsWith(lowerPath, extension)) return true;
    return false;
}

bool isDataOf(std::string_view url, std::string_view type) {
    return text::startsWithNoCase(url, "data:") && text::startsWithNoCase(url.substr(5), type);
}

bool isBlank(std::string_view url) {
    return text::equalsNoCaseAscii(url, "about:blank") || text::startsWithNoCase(url, "about:blank#");
}

// "scheme://host:port" of an http or https address, in lower case with the port always
// written; "" for anything else or anything unclear (escapes, blanks or controls in the
// host, a port that is no number).
std::string originOf(std::string_view url) {
    std::string scheme;
    if (text::startsWithNoCase(url, "http:")) scheme = "http";
    else if (text::startsWithNoCase(url, "https:")) scheme = "https";
    else return {};
    std::string_view rest = url.substr(scheme.size() + 1);
    // Browsers read any run of slashes and backslashes here as the start of the host.
    const std::size_t hostStart = rest.find_first_not_of("/\\");
    if (hostStart == std::string_view::npos || hostStart == 0) return {};
    rest = rest.substr(hostStart);
    std::string_view authority = rest.substr(0, rest.find_first_of("/\\?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority = authority.substr(at + 1);
    std::string_view host = authority, port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return {};
        host = authority.substr(0, close + 1);
        port = authority.substr(close + 1);
        if (!port.empty() && port.front() != ':') return {};
        if (!port.empty()) port.remove_prefix(1);
    } else if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    if (host.empty()) return {};
    for (char c : host)
        if (static_cast<unsigned char>(c) <= ' ' || c == '%' || c == 0x7F) return {};
    for (char c : port)
        if (c < '0' || c > '9') return {};
    std::string number(port);
    while (number.size() > 1 && number.front() == '0') number.erase(0, 1);
    if (number.empty()) number = scheme == "http" ? "80" : "443";
    return scheme + "://" + lowered(host) + ":" + number;
}

}  // namespace

std::string FolderFileUrl(std::string_view folderPath) {
    std::string path = withForwardSlashes(folderPath);
    while (!path.empty() && path.front() == '/') path.erase(0, 1);
    if (path.empty() || path.back() != '/') path += '/';
    return std::string(kFileScheme) + path;
}

LocalPagePolicy::LocalPagePolicy(std::string folderUrl) {
    std::string path = text::percentDecoded(std::string_view(folderUrl).substr(
        text::startsWithNoCase(folderUrl, kFileScheme) ? kFileScheme.size() - 1 : 0));
    path = withForwardSlashes(path);
    if (path.empty() || path.back() != '/') path += '/';
    if (!normalisedPath(path, folderPath_)) folderPath_.clear();
}

std::string LocalPagePolicy::insideFolder(std::string_view url) const {
    if (!text::startsWithNoCase(url, kFileScheme) || folderPath_.empty()) return {};
    std::string_view rest = url.substr(kFileScheme.size() - 1);
    rest = rest.substr(0, rest.find_first_of("?#"));
    // An escaped separator or dot would let the decoded path differ from the one the
    // engine resolved: such an address is not ours.
    const std::string lower = lowered(rest);
    for (std::string_view escape : {"%2f", "%5c", "%2e", "%00"})
        if (lower.find(escape) != std::string::npos) return {};
    const std::string decoded = withForwardSlashes(text::percentDecoded(rest));
    // An engine resolves ".." before it asks; an address that still has one is made up.
    if (hasDotDotSegment(decoded)) return {};
    std::string path;
    if (!normalisedPath(decoded, path)) return {};
    // Windows paths compare without case.
    if (path.size() <= folderPath_.size() || !text::startsWithNoCase(path, folderPath_)) return {};
    return path.substr(folderPath_.size());
}

bool LocalPagePolicy::AllowsDocument(std::string_view url) const {
    if (isBlank(url)) return true;
    const std::string name = lowered(insideFolder(url));
    return name.size() > kEnginePagePrefix.size() && name.rfind(kEnginePagePrefix, 0) == 0 &&
           name.find('/') == std::string::npos && endsWith(name, ".htm");
}

bool LocalPagePolicy::AllowsRequest(std::string_view url) const {
    if (AllowsDocument(url)) return true;
    if ((isDataOf(url, "image/") && !isDataOf(url, "image/svg")) || isDataOf(url, "font/")) return true;
    const std::string path = lowered(insideFolder(url));
    if (path.empty()) return false;
    return (path.rfind("view/", 0) == 0 && path.back() != '/') || isPictureName(path);
}

SitePolicy::SitePolicy(std::string_view siteUrl) : origin_(originOf(siteUrl)) {}

bool SitePolicy::IsOnSite(std::string_view url) const {
    return !origin_.empty() && originOf(url) == origin_;
}

bool SitePolicy::AllowsRequest(std::string_view url) const {
    return IsOnSite(url) || (isDataOf(url, "image/") && !isDataOf(url, "image/svg"));
}

bool IsOutsideAddress(std::string_view url) {
    return text::startsWithNoCase(url, "http://") || text::startsWithNoCase(url, "https://") ||
           text::startsWithNoCase(url, "mailto:");
}

}  // namespace orv::framework
