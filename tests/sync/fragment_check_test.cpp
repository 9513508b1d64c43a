// Which values and assignment lists from outside may reach a query fragment.
#include "library/fragment_check.h"

#include <gtest/gtest.h>

using namespace orv::library;

TEST(FragmentCheck, LiteralValues) {
    const struct { const char* text; bool integer, quoted, placement; } cases[] = {
        {"0", true, false, false},        {"-42", true, false, false},     {"", false, false, false},
        {"-", false, false, false},       {"1e5", false, false, false},    {"+1", false, false, false},
        {"''", false, true, false},       {"'it''s'", false, true, false}, {"'a,b'", false, true, false},
        {"'it's'", false, false, false},  {"'open", false, false, false},  {"'a'||'b'", false, false, false},
        {"'a' ", false, false, false},    {"(SELECT 1)", false, false, false},
        {"12|0", false, false, true},     {"0|7", false, false, true},     {"'0|7'", false, true, false},
        {"1|", false, false, false},      {"-1|2", false, false, false},   {"1|2|3", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isIntegerLiteral(c.text), c.integer) << c.text;
        EXPECT_EQ(isQuotedText(c.text), c.quoted) << c.text;
        EXPECT_EQ(isPlacementValue(c.text), c.placement) << c.text;
    }
    EXPECT_FALSE(isQuotedText(std::string("'a\0b'", 5)));
}

TEST(FragmentCheck, IdLists) {
    for (const char* good : {"", "7", "3,14,15"}) EXPECT_TRUE(isIdList(good)) << good;
    for (const char* bad : {",", "1,", ",1", "1,,2", "1 ,2", "-1", "1) OR (1=1", "1;DROP TABLE x"})
        EXPECT_FALSE(isIdList(bad)) << bad;
}

TEST(FragmentCheck, AssignmentListsOverKnownColumns) {
    ColumnSet allowed;
    allowed.add(kDirectoryColumns).add("dID2");
    const struct { const char* list; bool ok; } cases[] = {
        {"DirName='a, b',ParentDir=0,Sort=-5", true},
        {" DirName = 'x' , nType=10", true},
        {"dID2=0|7", true},
        {"", false},
        {"DirName='x',", false},
        {"DirName", false},
        {"dirname='x'", false},
        {"Secret='x'", false},
        {"dID2='0|7'", false},
        {"Sort=1|2", false},
        {"DirName=(SELECT KeyWord FROM KeywordData)", false},
        {"DirName='x');DROP TABLE Directory;--", false},
        {"DirName='x' WHERE 1=1", false},
        {"DirName='unclosed,ParentDir=0", false},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(checkAssignments(c.list, allowed, &why), c.ok) << c.list;
        EXPECT_EQ(why.empty(), c.ok) << c.list << ": " << why;
    }
}
