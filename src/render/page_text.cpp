// Template loading and the text replacements of pages.
#include "render/page_text.h"

#include "library/paths.h"
#include "os/os.h"
#include "text/ascii.h"
#include "text/encoding.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv::render {

std::string LoadTemplate(std::string_view ideFolder, std::string_view name) {
    const std::string path = library::ideFile(ideFolder, name);
    std::ifstream in(os::pathFromUtf8(path), std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string page = bytes.str();
    if (page.compare(0, 3, "\xEF\xBB\xBF") == 0) page.erase(0, 3);
    return page;
}

namespace {

// Tags of the library's text that could take the view away from our page or bring
// another document into it. The page's policy forbids scripts and outside requests, but
// not these:
constexpr std::string_view kEscapeTags[] = {
    "meta",      // a refresh moves the view to any address, a policy's rules can be set
    "base",      // every relative address of the page (its styles, its links) would point elsewhere
    "link",      // style sheets, imports and prefetches from anywhere
    "iframe",    // another document inside the page
    "frame",     // the same, in a frameset
    "frameset",  // replaces the page's body with frames
    "object",    // plug-ins and documents of any type
    "embed",     // the same
    "applet",    // the same, for Java
    "form",      // sends what it holds to any address
};

bool isBlank(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

// One past the ">" of the tag whose attributes start at `i`, read as a browser's parser
// reads them (quoted values may hold ">"); the end of the text when the tag never closes.
size_t tagEnd(std::string_view html, size_t i) {
    while (i < html.size()) {
        if (html[i] == '>') return i + 1;
        if (isBlank(html[i]) || html[i] == '/') {
            ++i;
            continue;
        }
        // An attribute's name; its first character may be anything, "=" included.
        ++i;
        while (i < html.size() && !isBlank(html[i]) && html[i] != '/' && html[i] != '>' && html[i] != '=') ++i;
        while (i < html.size() && isBlank(html[i])) ++i;
        if (i >= html.size() || html[i] != '=') continue;
        ++i;
        while (i < html.size() && isBlank(html[i])) ++i;
        if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
            const size_t close = html.find(html[i], i + 1);
            if (close == std::string_view::npos) return html.size();
            i = close + 1;
        } else {
            while (i < html.size() && !isBlank(html[i]) && html[i] != '>') ++i;
        }
    }
    return html.size();
}

// The length of the escape tag's name at `at`, or 0.
size_t escapeTagAt(std::string_view html, size_t at) {
    for (std::string_view name : kEscapeTags) {
        if (!text::startsWithNoCase(html.substr(at), name)) continue;
        const size_t end = at + name.size();
        if (end == html.size() || isBlank(html[end]) || html[end] == '/' || html[end] == '>') return name.size();
    }
    return 0;
}

// One pass over the text: every escape tag removed.
std::string withoutEscapeTagsOnce(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    size_t i = 0;
    while (i < html.size()) {
        const size_t open = html.find('<', i);
        if (open == std::string_view::npos) {
            out.append(html.substr(i));
            break;
        }
        out.append(html.substr(i, open - i));
        const size_t name = open + 1 + (open + 1 < html.size() && html[open + 1] == '/' ? 1 : 0);
        const size_t length = escapeTagAt(html, name);
        if (length == 0) {
            out += '<';
            i = open + 1;
        } else {
            i = tagEnd(html, name + length);
        }
    }
    return out;
}

}  // namespace

std::string WithoutEscapeTags(std::string_view page) {
    size_t body = 0;
    for (size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        if (text::startsWithNoCase(page.substr(at), "<body")) {
            body = at;
            break;
        }
    }
    // What is left on either side of a removed tag can meet as a new one ("<<meta>meta"):
    // passes go on until one removes nothing.
    std::string rest(page.substr(body));
    for (;;) {
        std::string next = withoutEscapeTagsOnce(rest);
        if (next == rest) break;
        rest = std::move(next);
    }
    return std::string(page.substr(0, body)) + rest;
}

std::string ReplaceNoCase(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty() || text.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (orv::text::startsWithNoCase(text.substr(i), find)) {
            out.append(replacement);
            i += find.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string FillSection(std::string_view sectionTemplate, std::string_view title, std::string_view content) {
    return replaceAll(replaceAll(sectionTemplate, "[title]", title), "[content]", content);
}

std::string MarkSearchWord(std::string_view html, std::string_view word, std::string_view marker) {
    if (html.empty() || word.empty()) return std::string(html);
    std::string out;
    out.reserve(html.size() + 64);
    bool inTag = false;
    for (size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (inTag) {
            out += c;
            if (c == '>') inTag = false;
            ++i;
        } else if (c == '<') {
            out += c;
            inTag = true;
            ++i;
        } else if (orv::text::startsWithNoCase(std::string_view(html).substr(i), word)) {
            out.append(marker);
            i += word.size();
        } else {
            out += c;
            ++i;
        }
    }
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::string dateText(long long uDate) {
    // Days and seconds of the local calendar: the stored value is 28800 seconds short.
    long long seconds = uDate + 28800;
    long long days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    // Civil date from days since 1970-01-01.
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", y, m, d);
    return buf;
}

}  // namespace orv::render
