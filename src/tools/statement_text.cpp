// The text routines the statement readers share.
#include "tools/statement_text.h"

#include "text/ascii.h"

namespace orv::tools {
namespace {

// What may stand before a continuation "_" (after any digits): FreeBASIC treats "_"
// after these as the line-continuation mark rather than the end of a name.
constexpr std::string_view kContinuationLeaders = "\"~^([{|,.;'!@$%&?=)*+-/]}\\<>: ";
constexpr std::string_view kNameDelimiters = " =([{";

// Walks s keeping track of double-quoted strings and (), [], {} nesting; `visit` gets
// each character outside strings with whether it is top-level, and returns false to
// stop. Quotes and openers are not visited.
template <typename VisitFn>
void scanTopLevel(std::string_view s, VisitFn visit) {
    bool inString = false;
    int depth = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else {
            // A stray closer must not hide the rest of the statement.
            if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
            if (!visit(i, depth == 0)) return;
        }
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) { return trimRight(trimLeft(s)); }

bool dropLeadingWord(std::string& s, std::string_view word) {
    if (!startsWithNoCase(s, word)) return false;
    const std::size_t keep = s.find_first_not_of(' ', word.size());
    s.erase(0, keep == std::string::npos ? s.size() : keep);
    return true;
}

std::size_t FindCommentStart(std::string_view t) {
    bool inString = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '"') inString = !inString;
        else if (t[i] == '\'' && !inString) return i;
    }
    return npos;
}

bool IsContinuation(std::string_view t) {
    if (t == "_") return true;
    if (t.size() < 2 || t.back() != '_') return false;
    std::size_t i = t.size() - 2;
    if (t[i] == ' ') return true;
    while (isDigit(t[i])) {
        if (i == 0) return false;
        --i;
    }
    return kContinuationLeaders.find(t[i]) != npos;
}

std::string JoinStatement(const SourceLines& lines, std::size_t& index,
                          std::string& trailingComment) {
    std::string result;
    while (index < lines.size()) {
        std::string_view t = trim(lines[index]);
        const std::size_t p = FindCommentStart(t);
        if (p != npos) {
            // The first piece arrives bare; later ones keep their apostrophe, which
            // then separates them.
            trailingComment += trailingComment.empty() ? t.substr(p + 1) : t.substr(p);
            t = t.substr(0, p);
        }
        t = trimRight(t);
        result += ' ';
        if (!IsContinuation(t)) {
            result += t;
            break;
        }
        result += t.substr(0, t.size() - 1);
        ++index;
    }
    return std::string(trim(result));
}

std::string CollapseBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool inString = false;
    for (const char c : s) {
        if (c == '"') inString = !inString;
        // Inside a string the closing quote always follows a kept blank, so a blank
        // at the end of `out` outside a string is one of this run.
        if (c == ' ' && !inString && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::vector<std::string_view> SplitTopLevel(std::string_view s) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    std::size_t end = s.size();
    scanTopLevel(s, [&](std::size_t i, bool top) {
        if (!top) return true;
        if (s[i] == '\'') {
            end = i;
            return false;
        }
        if (s[i] == ',') {
            parts.push_back(trim(s.substr(start, i - start)));
            start = i + 1;
        }
        return true;
    });
    const bool closedByComma = end == s.size() && start == s.size() && !s.empty();
    if (!closedByComma) parts.push_back(trim(s.substr(start, end - start)));
    return parts;
}

std::size_t FindTopLevelEquals(std::string_view s) {
    std::size_t found = npos;
    scanTopLevel(s, [&](std::size_t i, bool top) {
        if (!top || (s[i] != '=' && s[i] != '\'')) return true;
        if (s[i] == '=') found = i;
        return false;
    });
    return found;
}

std::size_t FindAsKeyword(std::string_view s) {
    if (s.size() < 3) return npos;
    if (startsWithNoCase(s, "AS ")) return 0;
    std::size_t found = npos;
    scanTopLevel(s, [&](std::size_t i, bool top) {
        if (!top) return true;
        if (s[i] == '\'') return false;
        if ((s[i] != 'A' && s[i] != 'a') || i == 0 || i + 2 >= s.size()) return true;
        const char before = s[i - 1];
        if (before != ' ' && before != ')' && before != ']') return true;
        if ((s[i + 1] != 'S' && s[i + 1] != 's') || s[i + 2] != ' ') return true;
        found = i;
        return false;
    });
    return found;
}

bool StartsWithWord(std::string_view u, std::string_view w) {
    if (u.size() < w.size() || u.substr(0, w.size()) != w) return false;
    if (u.size() == w.size()) return true;
    const char next = u[w.size()];
    return next == ' ' || next == '\'' || next == '(';
}

std::size_t FindNameDelimiter(std::string_view s) { return s.find_first_of(kNameDelimiters); }

}  // namespace orv::tools
