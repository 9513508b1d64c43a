// Replacements, search-word marking and dates of pages.
#include "render/page_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace orv::render;

TEST(PageText, Replacements) {
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceNoCase("Print PRINT print", "print", "<P>"), "<P> <P> <P>");
    EXPECT_EQ(ReplaceNoCase("澄岭 Abc", "ABC", "x"), "澄岭 x");
    EXPECT_EQ(FillSection(kSectionTemplate, "语法：", "[title]"),
              "<div class=\"margin-top margin-bottom\"><h5><strong>语法：</strong></h5></div>"
              "<div class=\"margin-big-left margin-right\">[title]</div>");
}

TEST(PageText, MarkingLeavesTagsAlone) {
    const std::string marker = "<span class=\"highlight\">abc</span>";
    EXPECT_EQ(MarkSearchWord("  <a title=\"ABC\">xABCx</a> ", "abc", marker),
              "<a title=\"ABC\">x" + marker + "x</a>");
    EXPECT_EQ(MarkSearchWord("abc", "", marker), "abc");
    EXPECT_EQ(MarkSearchWord("<unclosed abc", "abc", marker), "<unclosed abc");
}

TEST(PageText, DatesAreLocalChinaTime) {
    EXPECT_EQ(dateText(1700000000), "2023-11-15");
    EXPECT_EQ(dateText(0), "1970-01-01");
    EXPECT_EQ(dateText(-28801), "1969-12-31");
}

TEST(PageText, TemplatesLoseTheirByteOrderMark) {
    orv::test::TempDir dir;
    orv::test::writeFile(dir.path() / "view" / "keyword.htm", "\xEF\xBB\xBF<p>x</p>");
    EXPECT_EQ(LoadTemplate(dir.path().string(), "view\\keyword.htm"), "<p>x</p>");
    EXPECT_EQ(LoadTemplate(dir.path().string(), "view\\missing.htm"), "");
}

// What the library's text puts into a page's body: every tag that could take the view
// elsewhere goes, however it is written; the template's own head keeps its tags.
TEST(PageText, EscapeTagsLeaveTheBody) {
    const std::string head = "<html><head><meta charset=\"utf-8\"><link rel=\"stylesheet\" href=\"pui/help.css\"></head>";
    struct Case {
        const char* entry;
        const char* shown;
    } cases[] = {
        {"<p>plain <b>text</b> &lt;meta&gt;</p>", "<p>plain <b>text</b> &lt;meta&gt;</p>"},
        {"<meta http-equiv=\"refresh\" content=\"0;url=Settings/orv.ini\">after", "after"},
        {"<META HTTP-EQUIV=refresh CONTENT=0;url=data:text/html,x>after", "after"},
        {"<meta/http-equiv=refresh/content='0;url=x'>after", "after"},
        {"<meta content=\"a>b\" http-equiv=refresh>after", "after"},
        {"<meta\nhttp-equiv=refresh content=0>after", "after"},
        {"</div></body><meta http-equiv=refresh content=0>x", "</div></body>x"},
        {"<base href=\"http://evil.example/\"><a href=\"k01\">k</a>", "<a href=\"k01\">k</a>"},
        {"<iframe src=\"file:///C:/ide/Settings/orv.ini\">fallback</iframe>", "fallback"},
        {"<object data=\"x.htm\"><embed src=\"y.swf\"></object>", ""},
        {"<form action=\"http://evil.example/\" method=post><input name=a></form>", "<input name=a>"},
        {"<link rel=import href=\"http://evil.example/\">", ""},
        {"<frameset><frame src=x></frameset><applet code=x></applet>", ""},
        // Pieces that meet as a new tag once one between them goes.
        {"<<meta>meta http-equiv=refresh content=0>", ""},
        {"<me<meta>ta http-equiv=refresh>", ""},
        // Names that only begin like them stay.
        {"<metadata>m</metadata><formula>f</formula><links>l</links><baseline>", "<metadata>m</metadata><formula>f</formula><links>l</links><baseline>"},
    };
    for (const Case& c : cases) {
        const std::string page = head + "<body><div>" + c.entry + "</div></body></html>";
        EXPECT_EQ(WithoutEscapeTags(page), head + "<body><div>" + c.shown + "</div></body></html>") << c.entry;
    }
    // An unclosed tag takes what follows, as the parser takes it.
    EXPECT_EQ(WithoutEscapeTags(head + "<body><meta http-equiv=refresh content=\"0;url=x</div></body>"), head + "<body>");
    // A page without a body of its own is cleaned whole.
    EXPECT_EQ(WithoutEscapeTags("<meta http-equiv=refresh content=0>x"), "x");
}
