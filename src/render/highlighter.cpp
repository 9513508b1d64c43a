// The highlighter: one left-to-right pass with a string state, a comment state, a word
// buffer and a symbol buffer, written into one pre-sized output buffer.
#include "render/highlighter.h"

#include "text/ascii.h"

#include <array>

namespace orv::render {
namespace {

// The delimiters; every other byte (letters, digits, tab, LF, '.', '#', '_' and every
// byte of 128 and above) belongs to a word.
constexpr std::string_view kDelimiters = "=~^()*+/{}[]|\\,<;: !@$%&?->\r";

constexpr std::array<bool, 256> delimiterTable() {
    std::array<bool, 256> table{};
    for (char c : kDelimiters) table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kIsDelimiter = delimiterTable();

struct Framing {
    std::string_view open, close, lineBreak;
};
constexpr Framing kPlain{"<pre class=\"prettyprint\">", "</pre>", "\r\n"};
constexpr Framing kNumbered{"<pre class=\"prettyprint linenums\"><ol class=\"linenums\"><li>", "</li></ol></pre>",
                            "</li><li>"};

class Highlighter {
public:
    Highlighter(std::string_view keyword, CodeMode mode, WordLookup& lookup)
        : keyword_(text::toUpperAscii(keyword)), frame_(mode == CodeMode::Numbered ? kNumbered : kPlain),
          lookup_(lookup) {}

    std::string run(std::string_view src) {
        out_.reserve(frame_.open.size() + src.size() * 3 + 100);
        out_.append(frame_.open);
        for (size_t i = 0; i < src.size(); ++i) {
            const char c = src[i];
            if (inString_) {
                if (c == '"') {
                    inString_ = false;
                    out_.append("&quot;</span>");
                } else {
                    escapeWrite(c);
                }
            } else if (inComment_) {
                if (c == '\r') {
                    inComment_ = false;
                    out_.append("</span>").append(frame_.lineBreak);
                    skipLineFeed(src, i);
                } else {
                    escapeWrite(c);
                }
            } else {
                plainByte(src, i);
            }
        }
        flushWord();
        flushSymbols();
        out_.append(frame_.close);
        return std::move(out_);
    }

private:
    void plainByte(std::string_view src, size_t& i) {
        const char c = src[i];
        if (c == '"') {
            flushSymbols();
            flushWord();
            inString_ = true;
            out_.append("<span class=\"str\">&quot;");
        } else if (c == '\'') {
            flushSymbols();
            flushWord();
            inComment_ = true;
            out_.append("<span class=\"com\">'");
        } else if (!kIsDelimiter[static_cast<unsigned char>(c)]) {
            flushSymbols();
            word_ += c;
        } else {
            // "Option Explicit", "Option Base" and the like are looked up as one word.
            if (!word_.empty()) {
                if (text::equalsNoCaseAscii(word_, "option")) word_ += ' ';
                else flushWord();
            }
            switch (c) {
            case '\r':
                flushSymbols();
                out_.append(frame_.lineBreak);
                skipLineFeed(src, i);
                break;
            case '&': symbols_.append("&amp;"); break;
            case '<': symbols_.append("&lt;"); break;
            case '>': symbols_.append("&gt;"); break;
            case ' ':
                flushSymbols();
                out_ += ' ';
                break;
            default: symbols_ += c;
            }
        }
    }

    // A line ends in CR LF; the LF is consumed with the CR. A lone CR keeps the byte
    // after it, which would otherwise be lost from the page.
    static void skipLineFeed(std::string_view src, size_t& i) {
        if (i + 1 < src.size() && src[i + 1] == '\n') ++i;
    }

    void escapeWrite(char c) {
        switch (c) {
        case '&': out_.append("&amp;"); break;
        case '<': out_.append("&lt;"); break;
        case '>': out_.append("&gt;"); break;
        default: out_ += c;
        }
    }

    void flushSymbols() {
        if (symbols_.empty()) return;
        out_.append("<span class=\"fun\">").append(symbols_).append("</span>");
        symbols_.clear();
    }

    void flushWord() {
        if (word_.empty()) return;
        out_.append(ColorWord(word_, keyword_, lookup_));
        word_.clear();
    }

    std::string keyword_;
    Framing frame_;
    WordLookup& lookup_;
    std::string out_, word_, symbols_;
    bool inString_ = false, inComment_ = false;
};

}  // namespace

std::string HighlightCode(std::string_view source, std::string_view keyword, CodeMode mode, WordLookup& lookup) {
    if (source.empty()) return {};
    return Highlighter(keyword, mode, lookup).run(source);
}

std::string ColorWord(std::string_view word, std::string_view upperKeyword, WordLookup& lookup) {
    const std::string upper = text::toUpperAscii(word);
    std::string html;
    if (upper == upperKeyword) {
        html.append("<span class=\"typ\"><strong>").append(word).append("</strong></span>");
    } else if (const auto target = lookup.find(upper)) {
        html.append("<a target=\"_blank\" href=\"s").append(std::to_string(target->lib))
            .append(std::to_string(target->sID)).append("\">").append(word).append("</a>");
    } else {
        html.append("<span class=\"pln\">").append(word).append("</span>");
    }
    return html;
}

}  // namespace orv::render
