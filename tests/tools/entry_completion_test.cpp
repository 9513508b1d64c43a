// Completing entries: include lines, explanation clean-up, descriptions, escaping and
// the member-name table.
#include "tools/entry_completion.h"
#include "tools/member_names.h"

#include <gtest/gtest.h>

using namespace orv::tools;

TEST(EntryCompletion, IncludeLineFromRootFolder) {
    EXPECT_EQ(IncludePath("C:\\inc\\win\\winbase.bi", "C:\\inc\\"), "win/winbase.bi");
    EXPECT_EQ(IncludePath("zlib.bi", "C:\\some\\longer\\root\\"), "");
    EXPECT_EQ(IncludeLine("win/winbase.bi", 12), "#include Once \"win/winbase.bi\" 'ln 12");
}

TEST(EntryCompletion, CleanExplain) {
    const struct { std::string_view block; std::string_view cleaned; } cases[] = {
        // Column-1 apostrophes go with the blanks after them; indented lines keep theirs.
        {"'' first\r\n  ' indented", "first\r\n  ' indented"},
        {"'#### title ###\r\n'=====\r\n'-- x\r\n'** y", " title ###\r\n x\r\n y"},
        {"'\r\n'\r\n' a\r\n'\r\n\r\n' b", "a\r\nb"},
        {"' 中文 说明", "中文 说明"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanExplain(c.block), c.cleaned) << c.block;
}

TEST(EntryCompletion, DescriptionPrefersTheFirstChineseLine) {
    EXPECT_EQ(DescriptionFromExplain("english\r\n  打开文件  \r\n 关闭"), "打开文件");
    EXPECT_EQ(DescriptionFromExplain("first\r\n last "), "last");
    EXPECT_EQ(DescriptionFromExplain(""), "");
}

TEST(EntryCompletion, EscapeExplainHtml) {
    EXPECT_EQ(EscapeExplainHtml("a < b && \"c\" > d\r\nx'y\r"),
              "a&nbsp;&lt;&nbsp;b&nbsp;&amp;&amp;&nbsp;&quot;c&quot;&nbsp;&gt;&nbsp;d<br>x'y\r");
}

TEST(MemberNames, RulesInOrder) {
    const struct {
        std::string_view name;
        int sort;
        std::string_view display;
        std::string_view description;
    } cases[] = {
        {"Constructor", 9010, "CONSTRUCTOR 构造", ""},
        {"destructor", 9020, "DESTRUCTOR 析构", ""},
        {"[]", 9030, "[] 索引运算符", "索引运算符"},
        {"@", 9040, "@ 指针运算符", "指针运算符"},
        {"Let", 9100, "Let 赋值运算符", "赋值运算符"},
        {"\\=", 9100, "\\= 赋值运算符", "赋值运算符"},
        {"-", 9200, "- 算术运算符", "算术运算符"},  // arithmetic wins over condition
        {"*", 9200, "* 算术运算符", "算术运算符"},
        {"Len", 9200, "Len 算术运算符", "算术运算符"},
        {"<=", 9300, "<= 条件运算符", "条件运算符"},
        {"Mod", 9300, "Mod 条件运算符", "条件运算符"},
        {"Cast", 9400, "Cast 内存运算符", "内存运算符"},
        {"Step", 9500, "Step 迭代运算符", "迭代运算符"},
        {"width", 10000, "width", ""},
        {"OR=X", 10000, "OR=X", ""},
        {"", 10000, "", ""},
    };
    for (const auto& c : cases) {
        std::string upper(c.name);
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        const MemberPlacement p = PlaceMember(std::string(c.name), upper);
        EXPECT_EQ(p.sort, c.sort) << c.name;
        EXPECT_EQ(p.displayKeyWord, c.display) << c.name;
        EXPECT_EQ(p.description, c.description) << c.name;
    }
}
