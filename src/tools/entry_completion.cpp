// Completing an extracted entry's texts.
#include "tools/entry_completion.h"

#include <algorithm>
#include <vector>

#include "tools/statement_text.h"

namespace orv::tools {
namespace {

// Decoration a comment line may begin with, dropped in this order.
constexpr char kDecorations[] = {'#', '=', '-', '*'};

std::string_view dropLeading(std::string_view s, char c) {
    while (!s.empty() && s.front() == c) s.remove_prefix(1);
    return s;
}

std::string_view cleanLine(std::string_view line) {
    if (!line.empty() && line.front() == '\'') line = trimLeft(dropLeading(line, '\''));
    for (const char c : kDecorations)
        if (!line.empty() && line.front() == c) line = dropLeading(line, c);
    return line;
}

bool hasHighByte(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) > 127) return true;
    return false;
}

}  // namespace

std::string IncludePath(std::string_view filePath, std::string_view rootFolder) {
    std::string path(filePath.substr(std::min(rootFolder.size(), filePath.size())));
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string IncludeLine(std::string_view includePath, std::size_t lineNumber) {
    return "#include Once \"" + std::string(includePath) + "\" 'ln " + std::to_string(lineNumber);
}

std::string CleanExplain(std::string_view explain) {
    std::string joined;
    bool first = true;
    for (const std::string_view line : text::splitCrlf(explain)) {
        if (!first) joined += "\r\n";
        joined += cleanLine(line);
        first = false;
    }
    // Empty lines collapse: "\r\n\r\n" becomes "\r\n" until none is left.
    std::string out;
    out.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (joined.compare(i, 2, "\r\n") == 0 && out.size() >= 2 &&
            out.compare(out.size() - 2, 2, "\r\n") == 0) {
            ++i;
            continue;
        }
        out += joined[i];
    }
    if (out.compare(0, 2, "\r\n") == 0) out.erase(0, 2);
    return out;
}

std::string DescriptionFromExplain(std::string_view cleanedExplain) {
    const std::vector<std::string_view> lines = text::splitCrlf(cleanedExplain);
    for (const std::string_view line : lines)
        if (hasHighByte(trim(line))) return std::string(trim(line));
    return std::string(trim(lines.back()));
}

std::string EscapeExplainHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case ' ': out += "&nbsp;"; break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') {
                    out += "<br>";
                    ++i;
                    break;
                }
                out += c;
                break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace orv::tools
