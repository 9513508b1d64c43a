// Quoting values into fragments and reading numbers back.
#include "library/fragment.h"

#include <gtest/gtest.h>

using namespace orv::library;

TEST(Fragment, ApostrophesAreDoubledLeftToRight) {
    const struct { const char* in; const char* out; } cases[] = {
        {"", "''"}, {"abc", "'abc'"}, {"it's", "'it''s'"}, {"''", "''''''"}, {"'a'", "'''a'''"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoteText(c.in), c.out);
        EXPECT_EQ(undoubleApostrophes(doubleApostrophes(c.in)), c.in);
    }
}

TEST(Fragment, NumbersReadFromResultText) {
    const struct { const char* in; long long out; } cases[] = {
        {"", 0}, {"0", 0}, {"42", 42}, {"-7", -7}, {" 12", 12}, {"12abc", 12}, {"abc", 0},
        {"1700000000", 1700000000}, {"99999999999999999999999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(toInt(c.in), c.out) << '"' << c.in << '"';
}

TEST(Fragment, AssignmentListsAndConditions) {
    Assignments a;
    a.addText("DirName", "O'Neil").add("ParentDir", 0).add("Sort", -5).append("").append("uID=0");
    EXPECT_EQ(a.str(), "DirName='O''Neil',ParentDir=0,Sort=-5,uID=0");
    EXPECT_EQ(joinConditions({"nType>19", "", "dID=5"}), "nType>19 And dID=5");
}

TEST(Fragment, CommasInsideQuotesStayInTheItem) {
    const auto items = splitOutsideQuotes("Syntax='a, b',nType=3,Note='it''s, x'");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], "Syntax='a, b'");
    EXPECT_EQ(items[2], "Note='it''s, x'");
    Assignment one;
    ASSERT_TRUE(splitAssignment(" Sort = 10 ", one));
    EXPECT_EQ(one.column, "Sort");
    EXPECT_EQ(one.value, "10");
    EXPECT_FALSE(splitAssignment("novalue", one));
}
