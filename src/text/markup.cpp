// HTML escapes and JavaScript string literals.
#include "text/markup.h"

#include <cstdio>

namespace orv::text {

void appendEscapedHtml(std::string& out, std::string_view text) {
    // Sized once: a page field may hold megabytes of markup, each "<" four times longer.
    size_t size = text.size();
    for (const char c : text) {
        if (c == '&' || c == '<' || c == '>') size += 3;
        else if (c == '"' || c == '\'') size += 4;
    }
    out.reserve(out.size() + size);
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    appendEscapedHtml(out, text);
    return out;
}

std::string jsStringLiteral(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '/': out += (i > 0 && text[i - 1] == '<') ? "\\/" : "/"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    // U+2028 and U+2029 end a line in older script engines; as escapes they are plain text.
    for (const std::string_view separator : {std::string_view("\xE2\x80\xA8"), std::string_view("\xE2\x80\xA9")}) {
        for (size_t at = out.find(separator); at != std::string::npos; at = out.find(separator, at)) {
            out.replace(at, separator.size(), separator[2] == '\xA8' ? "\\u2028" : "\\u2029");
        }
    }
    out += '"';
    return out;
}

}  // namespace orv::text
