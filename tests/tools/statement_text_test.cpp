// The routines every statement reader leans on: comments, continuation, joining,
// blank runs, top-level splitting and the AS keyword.
#include "tools/statement_text.h"

#include <gtest/gtest.h>

#include "reader_harness.h"

using namespace orv::tools;
using orv::tools::test::linesOf;

TEST(StatementText, FindCommentStartSkipsStrings) {
    const struct { std::string_view t; std::size_t at; } cases[] = {
        {"x = 1 ' note", 6},
        {"s = \"it's\" ' note", 11},
        {"s = \"\"\"'\"\"\"", npos},  // doubled quotes inside a string
        {"'", 0},
        {"no comment", npos},
    };
    for (const auto& c : cases) EXPECT_EQ(FindCommentStart(c.t), c.at) << c.t;
}

TEST(StatementText, ContinuationNeedsOneOfThirtyLeaders) {
    const std::string leaders = "\"~^([{|,.;'!@$%&?=)*+-/]}\\<>: ";
    ASSERT_EQ(leaders.size(), 30u);
    for (const char c : leaders) EXPECT_TRUE(IsContinuation(std::string("a") + c + "_")) << c;
    const struct { std::string_view t; bool continues; } cases[] = {
        {"_", true},          {"foo(a, _", true},  {"x = 1 _", true},   {"x=12_", true},
        {"name_", false},     {"", false},         {"a", false},        {"123_", false},
        {"abc123_", false},   {"a#_", false},      {"a__", false},      {"a_ ", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsContinuation(c.t), c.continues) << c.t;
}

TEST(StatementText, JoinStatementGathersLinesAndComments) {
    const SourceLines lines = linesOf(
        "Declare Sub foo( _ ' first\n"
        "    byval x as long, _ ' second\n"
        "    byval y as long)\n"
        "next_line");
    std::size_t index = 0;
    std::string comment;
    EXPECT_EQ(JoinStatement(lines, index, comment),
              "Declare Sub foo(  byval x as long,  byval y as long)");
    EXPECT_EQ(index, 2u);
    // The first piece arrives without its apostrophe, later ones keep theirs.
    EXPECT_EQ(comment, " first' second");
}

TEST(StatementText, JoinStatementStopsAtEndOfInput) {
    const SourceLines lines = linesOf("Dim Shared _\n_\n  _");
    std::size_t index = 0;
    std::string comment;
    EXPECT_EQ(JoinStatement(lines, index, comment), "Dim Shared");
    EXPECT_EQ(index, lines.size());
    EXPECT_EQ(comment, "");
}

TEST(StatementText, CollapseBlanksKeepsStrings) {
    EXPECT_EQ(CollapseBlanks("a   b  \"x   y\"  c "), "a b \"x   y\" c ");
    EXPECT_EQ(CollapseBlanks("\"  \"  \"\""), "\"  \" \"\"");
}

TEST(StatementText, SplitTopLevelCutsOnlyTopLevelCommas) {
    const struct { std::string_view s; std::vector<std::string_view> parts; } cases[] = {
        {"a, b(1, 2), \"c,d\", e{1,2}", {"a", "b(1, 2)", "\"c,d\"", "e{1,2}"}},
        {"a, b,", {"a", "b"}},
        {"a, b ' c, d", {"a", "b"}},
        {"f(a, 'x'), b", {"f(a, 'x')", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitTopLevel(c.s), c.parts) << c.s;
}

TEST(StatementText, FindTopLevelEqualsStopsAtComment) {
    const struct { std::string_view s; std::size_t at; } cases[] = {
        {"x = 1", 2}, {"f(a = 1) = 2", 9}, {"s = \"=\"", 2},
        {"\"a=b\" ' = 1", npos}, {"x ' = 1", npos}, {"x", npos},
    };
    for (const auto& c : cases) EXPECT_EQ(FindTopLevelEquals(c.s), c.at) << c.s;
}

TEST(StatementText, FindAsKeyword) {
    const struct { std::string_view s; std::size_t at; } cases[] = {
        {"As Integer", 0},          {"x As Integer", 2},       {"arr(10)As Integer", 7},
        {"a[2]as long", 4},        {"f(x As Long) As Byte", 13},
        {"Alias \"x\" As Long", 10}, {"xAs Integer", npos},     {"ab", npos},
        {"x 'As y", npos},          {"\"a As b\"", npos},        {"x As", npos},
    };
    for (const auto& c : cases) EXPECT_EQ(FindAsKeyword(c.s), c.at) << c.s;
}

TEST(StatementText, StartsWithWord) {
    const struct { std::string_view u; bool starts; } cases[] = {
        {"SUB", true}, {"SUB FOO", true}, {"SUB(X)", true}, {"SUB'X", true},
        {"SUBX", false}, {"SU", false}, {"XSUB", false},
    };
    for (const auto& c : cases) EXPECT_EQ(StartsWithWord(c.u, "SUB"), c.starts) << c.u;
}
