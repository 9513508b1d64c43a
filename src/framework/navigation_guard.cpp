// The page view's navigation rules.
#include "framework/navigation_guard.h"

#include "text/ascii.h"

#include <vector>

namespace orv::framework {
namespace {

constexpr std::string_view kFileScheme = "file:///";

// "/" separators, no empty or "." segments; nullopt-like empty result when ".." would
// climb above the start.
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

}  // namespace

std::string FolderFileUrl(std::string_view folderPath) {
    std::string path = withForwardSlashes(folderPath);
    while (!path.empty() && path.front() == '/') path.erase(0, 1);
    if (path.empty() || path.back() != '/') path += '/';
    return std::string(kFileScheme) + path;
}

NavigationGuard::NavigationGuard(std::string folderUrl) {
    std::string path = text::percentDecoded(std::string_view(folderUrl).substr(
        text::startsWithNoCase(folderUrl, kFileScheme) ? kFileScheme.size() - 1 : 0));
    path = withForwardSlashes(path);
    if (path.empty() || path.back() != '/') path += '/';
    if (!normalisedPath(path, folderPath_)) folderPath_.clear();
}

bool NavigationGuard::Allows(std::string_view url) const {
    if (text::equalsNoCaseAscii(url, "about:blank") || text::startsWithNoCase(url, "about:blank#")) return true;
    if (text::startsWithNoCase(url, "data:")) return true;
    if (!text::startsWithNoCase(url, kFileScheme) || folderPath_.empty()) return false;

    std::string_view rest = url.substr(kFileScheme.size() - 1);
    rest = rest.substr(0, rest.find_first_of("?#"));
    // An escaped separator or dot would let the decoded path differ from the one the
    // engine resolved: such an address is not ours.
    const std::string lower = [&] {
        std::string s(rest);
        for (char& c : s) c = text::lowerAscii(c);
        return s;
    }();
    if (lower.find("%2f") != std::string::npos || lower.find("%5c") != std::string::npos ||
        lower.find("%2e") != std::string::npos || lower.find("%00") != std::string::npos)
        return false;
    std::string path;
    if (!normalisedPath(withForwardSlashes(text::percentDecoded(rest)), path)) return false;
    // Windows paths compare without case.
    return path.size() > folderPath_.size() && text::startsWithNoCase(path, folderPath_);
}

bool IsOutsideAddress(std::string_view url) {
    return text::startsWithNoCase(url, "http://") || text::startsWithNoCase(url, "https://") ||
           text::startsWithNoCase(url, "mailto:");
}

}  // namespace orv::framework
