// ASCII-only case helpers: keywords and SQL words compare case-insensitively in ASCII
// while Chinese (or any other non-ASCII) text is left byte for byte as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::text {

inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upperAscii(c);
    return out;
}

inline bool equalsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

// True when `text` begins with `prefix`, ASCII letters compared without case.
inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCaseAscii(text.substr(0, prefix.size()), prefix);
}

// 0-15 for a hexadecimal digit, -1 for anything else.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%20" and the like back to their bytes; a "%" without two hexadecimal digits after it
// stays as it is. The bytes are not checked: callers decide what they accept.
inline std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigitValue(text[i + 2]) : -1;
        if (low < 0) {
            out += text[i];
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Every `find` replaced by `replacement` (an empty `find` changes nothing).
inline std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty() || text.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (size_t at; (at = text.find(find, from)) != std::string_view::npos; from = at + find.size())
        out.append(text.substr(from, at - from)).append(replacement);
    out.append(text.substr(from));
    return out;
}

// The lines of a text whose lines end with CR LF; the text after the last CR LF is the
// last line (empty when the text ends with one).
inline std::vector<std::string_view> splitCrlf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t at = text.find("\r\n", start);
        lines.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return lines;
        start = at + 2;
    }
}

inline std::string_view trimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace orv::text
