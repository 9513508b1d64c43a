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
