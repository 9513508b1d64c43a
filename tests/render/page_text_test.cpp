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
