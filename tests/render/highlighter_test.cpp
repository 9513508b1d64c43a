// The code highlighter's output, byte for byte, for the cases that go wrong most easily.
#include "render/highlighter.h"

#include <gtest/gtest.h>

#include <map>

using namespace orv::render;

namespace {

// Names a few words as library entries and counts the look-ups.
class FakeLookup : public WordLookup {
public:
    std::optional<WordTarget> find(std::string_view upper) override {
        asked.emplace_back(upper);
        auto it = known.find(std::string(upper));
        if (it == known.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::string, WordTarget> known{{"DIM", {0, 3}}, {"POINT", {1, 7}}, {"OPTION EXPLICIT", {0, 9}}};
    std::vector<std::string> asked;
};

std::string plain(std::string_view src, std::string_view keyword = "") {
    FakeLookup lookup;
    return HighlightCode(src, keyword, CodeMode::Plain, lookup);
}

std::string numbered(std::string_view src, std::string_view keyword = "") {
    FakeLookup lookup;
    return HighlightCode(src, keyword, CodeMode::Numbered, lookup);
}

const std::string P = "<pre class=\"prettyprint\">";
const std::string N = "<pre class=\"prettyprint linenums\"><ol class=\"linenums\"><li>";

}  // namespace

TEST(Highlighter, CasesByteForByte) {
    const struct { std::string got, want; } cases[] = {
        {plain(""), ""},
        // a<=b: a word, one symbol span with the escaped '<' and '=', a word.
        {plain("a<=b"), P + "<span class=\"pln\">a</span><span class=\"fun\">&lt;=</span><span class=\"pln\">b</span></pre>"},
        // Links to either library; the entry's own keyword in any case is emphasised.
        {plain("dim p as Point", "p"),
         P + "<a target=\"_blank\" href=\"s03\">dim</a> <span class=\"typ\"><strong>p</strong></span> "
             "<span class=\"pln\">as</span> <a target=\"_blank\" href=\"s17\">Point</a></pre>"},
        // A tab belongs to the word, which is then looked up with it and stays plain.
        {plain("\tDim"), P + "<span class=\"pln\">\tDim</span></pre>"},
        // Option joins the next word; the blank is written ahead of the joined word.
        {plain("Option Explicit"), P + " <a target=\"_blank\" href=\"s09\">Option Explicit</a></pre>"},
        // Numbered text ending in CR LF ends with an empty list item.
        {numbered("x\r\n"), N + "<span class=\"pln\">x</span></li><li></li></ol></pre>"},
        // A string across a line break keeps the CR LF inside its span and opens no item.
        {numbered("s = \"a\r\nb\"\r\nc"),
         N + "<span class=\"pln\">s</span> <span class=\"fun\">=</span> <span class=\"str\">&quot;a\r\nb&quot;</span>"
             "</li><li><span class=\"pln\">c</span></li></ol></pre>"},
        // A comment without a final CR stays open; quotes in it are written as they are.
        {plain("x ' see \"it\" & <b>"),
         P + "<span class=\"pln\">x</span> <span class=\"com\">' see \"it\" &amp; &lt;b&gt;</pre>"},
        {numbered("'[images=\"a.png\"]\r\nx"),
         N + "<span class=\"com\">'[images=\"a.png\"]</span></li><li><span class=\"pln\">x</span></li></ol></pre>"},
        // A lone CR ends the line without swallowing the next character.
        {plain("a\rb"), P + "<span class=\"pln\">a</span>\r\n<span class=\"pln\">b</span></pre>"},
        // Non-ASCII bytes are word characters.
        {plain("变量=1"), P + "<span class=\"pln\">变量</span><span class=\"fun\">=</span><span class=\"pln\">1</span></pre>"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Highlighter, OneLookUpPerWordAndLongRunsKeptWhole) {
    FakeLookup lookup;
    const std::string longWord(5000, 'w');
    const std::string longSymbols(3000, '+');
    const std::string html = HighlightCode("dim x\r\n" + longWord + " " + longSymbols + " 'c", "X", CodeMode::Plain, lookup);
    EXPECT_EQ(lookup.asked, (std::vector<std::string>{"DIM", std::string(5000, 'W')}));
    EXPECT_NE(html.find(longWord), std::string::npos);
    EXPECT_NE(html.find(longSymbols), std::string::npos);
}
