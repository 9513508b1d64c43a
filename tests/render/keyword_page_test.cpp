// Keyword pages of entries in both libraries, built against in-memory libraries.
#include "library/schema.h"
#include "render/page_text.h"
#include "library/fragment.h"
#include "render/render_fixture.h"

using namespace orv;
using namespace orv::test;
using namespace std::string_literals;
using render::FillSection;
using render::kSectionTemplate;

namespace {
std::string section(const std::string& title, const std::string& content) {
    return FillSection(kSectionTemplate, title, content);
}
}  // namespace

TEST_F(RenderFixture, PlainHelpDocument) {
    const long long d = addCategory(0, 0, "入门");
    const long long k = addEntry(0, d, "使用帮助", "Explain='<p>正文</p>',Platform=2");
    const auto page = keywordPage(0, k);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->html.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_NE(page->html.find("<link href=\"view/pui/a.css\"><img src=\"view/pui/b.png\"><body>"), std::string::npos);
    EXPECT_NE(page->html.find("[/Name]<hr style=\"margin-top:-20px;\">[Syntax]"), std::string::npos) << page->html;
    EXPECT_EQ(part(page->html, "Explain"), "<p>正文</p>");
    EXPECT_EQ(part(page->html, "Platform"), "");
    EXPECT_EQ(page->link, "k0" + std::to_string(k));
}

// Help documents (attribute 0, type 0) and members name no platform; a description does
// not change that.
TEST_F(RenderFixture, PlatformSectionByAttributeAndType) {
    const std::string both = section("平台：", "Windows , Linux");
    const struct { int attribute; int type; std::string description; std::string platform; } cases[] = {
        {0, 0, "", ""},
        {0, 0, "有说明的帮助文档", ""},
        {1, 0, "", both},
        {3, 0, "d", both},
        {0, 1, "", both},
        {0, 1, "d", both},
        {0, 11, "d", both},
        {0, 20, "d", ""},
        {1, 21, "", ""},
    };
    for (const auto& c : cases) {
        const long long k = addEntry(0, 0, "K", "Platform=2,Attribute=" + std::to_string(c.attribute) + ",nType=" +
                                                std::to_string(c.type) + ",Description=" + library::quoteText(c.description));
        const auto page = keywordPage(0, k);
        ASSERT_TRUE(page);
        EXPECT_EQ(part(page->html, "Platform"), c.platform)
            << "Attribute " << c.attribute << ", type " << c.type << ", Description \"" << c.description << "\"";
    }
}

TEST_F(RenderFixture, TrailsOfEveryPlacement) {
    const long long a = addCategory(0, 0, "A"), b = addCategory(0, a, "B"), c = addCategory(0, 0, "C");
    const long long k = addEntry(0, b, "PRINT", "Description='x',Attribute=1,nType=1,Platform=3");
    placeAgain(0, k, c);
    placeAgain(0, k, 0);  // a listing in category 0 adds no trail
    const auto page = keywordPage(0, k);
    ASSERT_TRUE(page);
    auto item = [](long long d, const std::string& name) {
        return "<li><a  target=\"_blank\" href=\"r0" + std::to_string(d) + "\">" + name + "</a></li>";
    };
    EXPECT_EQ(part(page->html, "Contents"), item(a, "A") + item(b, "B") + "<br><li>Help</li>" + item(c, "C"));
    EXPECT_EQ(part(page->html, "KeyWord"), "<h2>PRINT</h2>");
    EXPECT_EQ(part(page->html, "Platform"), section("平台：", ""));  // platform 3: nothing under the title
}

TEST_F(RenderFixture, PrivateEntryTrailStartsAtThePrivateRoot) {
    const long long root = addCategory(0, 0, "[私用库]", "nType=11,Sort=20000");
    const long long d = addCategory(1, 0, "笔记");
    const long long k = addEntry(1, d, "Note", "Description='n'");
    const auto page = keywordPage(1, k);
    ASSERT_TRUE(page);
    EXPECT_EQ(part(page->html, "Contents"),
              "<li><a target=\"_blank\" href=\"r0" + std::to_string(root) + "\">[私用库]</a></li>"
              "<li><a  target=\"_blank\" href=\"r1" + std::to_string(d) + "\">笔记</a></li>");
    EXPECT_EQ(page->link, "k1" + std::to_string(k));
}

TEST_F(RenderFixture, TypeMembersAndMemberPages) {
    const long long d = addCategory(1, 0, "shapes.bi");
    const long long type = addEntry(1, d, "Point",
        "Member='x<AS:SINGLE>\r\n<FUN>Len<AS:SINGLE>( )<''>长度\r\n<SUB>Move<AS:>( dx )\r\nbroken line',nType=5,"
        "Include='#include \"shapes.bi\"',Attribute=3,Parameter='ignored for a type',Syntax='Type Point'", "nType=5");
    const long long member = addEntry(1, type, "x", "nType=20,Include='#include \"x\"',Platform=2", "nType=20");

    const auto page = keywordPage(1, type);
    ASSERT_TRUE(page);
    const std::string c = "<a target=\"_blank\" href=\"c1" + std::to_string(type) + ",";
    EXPECT_EQ(part(page->html, "Member"),
              section("成员：", "<table style=\"width:0%;\" class=\"table table-condensed table-bordered\">"
                                "<tr><td >" + c + "x\">x</a></td><td><span class=\"text-main\">As SINGLE</span></td></tr>"
                                "<tr><td >" + c + "Len\">Len</a></td><td><span class=\"text-main\">&lt;FUN&gt;( )As SINGLE"
                                "</span><br><span>长度</span></td></tr>"
                                "<tr><td >" + c + "Move\">Move</a></td><td><span class=\"text-main\">&lt;SUB&gt;( dx )"
                                "</span></td></tr>"
                                "<tr><td >broken line</td><td></td></tr></table>"));
    EXPECT_EQ(part(page->html, "Parameter"), "<!-- Parameter -->");  // a type lists members, not parameters
    EXPECT_NE(part(page->html, "Syntax").find("（扩展库.定义类型）"), std::string::npos) << page->html;

    const auto memberPage = keywordPage(1, member);
    ASSERT_TRUE(memberPage);
    EXPECT_EQ(part(memberPage->html, "Contents"),
              "<li><a  target=\"_blank\" href=\"r1" + std::to_string(d) + "\">shapes.bi</a></li>"
              "<li><a  target=\"_blank\" href=\"k1" + std::to_string(type) + "\">Point</a></li>");
    EXPECT_EQ(part(memberPage->html, "Include"), "");
    EXPECT_EQ(part(memberPage->html, "Platform"), "");
    EXPECT_EQ(memberPage->link, "y1" + std::to_string(member));
}

TEST_F(RenderFixture, SearchWordIsMarkedOutsideTags) {
    const long long k = addEntry(0, 0, "Abc", "Description='Uses ABC here\r\nline 2',Explain='<p title=\"abc\">abc</p>'");
    const auto page = keywordPage(0, k, "abc");
    ASSERT_TRUE(page);
    const std::string mark = "<span class=\"highlight\">abc</span>";
    EXPECT_EQ(part(page->html, "Name"), mark);
    EXPECT_EQ(part(page->html, "Description"), "Uses " + mark + " here<br>line 2");
    EXPECT_NE(part(page->html, "Explain").find("<p title=\"abc\">" + mark + "</p>"), std::string::npos);
}

TEST_F(RenderFixture, ExamplesRelatedAndLabels) {
    const long long k = addEntry(0, 0, "LINE",
        "Description='d',Attribute=1,nType=3,Examples='''[images=\"grid.png\"]\r\n''[images=\"open',"
        "Related='Option Explicit  note\r\nPSET\r\n  \r\nCIRCLE see also',Source='Line (0,0)-(9,9)'");
    const auto page = keywordPage(0, k);
    ASSERT_TRUE(page);
    const std::string examples = part(page->html, "Examples");
    EXPECT_NE(examples.find("<span class=\"com\"><img src=\"grid.png\"></span>"), std::string::npos) << examples;
    EXPECT_NE(examples.find("'[images=\"open"), std::string::npos);  // unclosed: left as text
    EXPECT_EQ(part(page->html, "Related"),
              section("相关：", "<ul><li><a target=\"_blank\" href=\"tOption Explicit\">Option Explicit</a>&nbsp;&nbsp; note</li>"
                                "<li><a target=\"_blank\" href=\"tPSET\">PSET</a>&nbsp;&nbsp;</li>"
                                "<li><a target=\"_blank\" href=\"tCIRCLE\">CIRCLE</a>&nbsp;&nbsp;see also</li></ul>"));
    EXPECT_NE(part(page->html, "Source").find("<span class=\"typ\"><strong>Line</strong></span>"), std::string::npos);
    EXPECT_EQ(part(page->html, "Syntax"), "");
}

TEST_F(RenderFixture, AuthorDateAndMissingPieces) {
    db.addItemUtf(0, library::tables::User, "uName='澄岭',uID=42");
    const long long k = addEntry(0, 0, "K", "Description='d',uID=42,uDate=1700000000");
    auto page = keywordPage(0, k);
    ASSERT_TRUE(page);
    EXPECT_EQ(part(page->html, "User"), "澄岭");
    EXPECT_EQ(part(page->html, "date"), "2023-11-15");
    EXPECT_FALSE(keywordPage(0, 999));  // no such entry: nothing to show
    writeFile(dir.path() / "view" / "keyword.htm", "\0\xFF[User]<!-- User -->[/User]\0"s);
    page = keywordPage(0, k);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->html, "\0\xFF[User]澄岭[/User]\0"s);  // a binary template is filled all the same
    std::filesystem::remove(dir.path() / "view" / "keyword.htm");
    page = keywordPage(0, k);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->html, "");  // no template: the empty page
}

TEST_F(RenderFixture, HugeAndUnbalancedFieldsStillMakeAPage) {
    std::string huge;
    for (int i = 0; i < 50000; ++i) huge += "Print \"x\" & y ' <b>\r\n";  // about 1 MB of code
    const long long k = addEntry(0, 0, "BIG",
        "Description='<b',Examples=" + library::quoteText(huge + "\"open string") + ",Member='<AS:',Related='   '");
    const auto page = keywordPage(0, k);
    ASSERT_TRUE(page);
    EXPECT_GT(part(page->html, "Examples").size(), huge.size());
    EXPECT_EQ(part(page->html, "Description"), "<b");
}
