// ReadDefine and ReadMacro: names, parameters, replacement text and macro bodies.
#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"

using namespace orv::tools;
using namespace orv::tools::test;
using orv::library::kEntryMacro;

TEST(ReadDefine, NameAndReplacement) {
    const struct { std::string_view text; std::vector<Expected> entries; } cases[] = {
        {"#define FOO", {{"FOO", kEntryMacro, "#define FOO", ""}}},
        {"#define MAX(a, b) iif(a > b, a, b)",
         {{"MAX", kEntryMacro, "#define MAX(a, b) iif(a > b, a, b)", "iif(a > b, a, b)"}}},
        {"#define ZLIB_VERSION \"1.2.8\"",
         {{"ZLIB_VERSION", kEntryMacro, "#define ZLIB_VERSION \"1.2.8\"", "\"1.2.8\""}}},
        {"#DEFINE   X   1 ' one", {{"X", kEntryMacro, "#define X   1", "1"}}},
        {"#define STR(x) #x", {{"STR", kEntryMacro, "#define STR(x) #x", "#x"}}},
        {"#define F()", {{"F", kEntryMacro, "#define F()", ""}}},
        {"#define G(a", {{"G(a", kEntryMacro, "#define G(a", ""}}},
        {"#define", {}},
        {"#define ", {}},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadDefine, c.text);
        expectEntries(out.entries, c.entries, c.text);
    }
}

TEST(ReadDefine, CommentsGoToTheEntry) {
    const ReadOutcome out = readStatement(ReadDefine, "#define ONE 1 ' the one", "' above");
    ASSERT_EQ(out.entries.size(), 1u);
    EXPECT_EQ(out.entries[0].Description, " the one");
    EXPECT_EQ(out.entries[0].Explain, "' above");
    EXPECT_EQ(out.block, "");
}

TEST(ReadMacro, BodyUpToEndMacro) {
    const struct {
        std::string_view text;
        std::vector<Expected> entries;
        std::size_t index;
    } cases[] = {
        {"#macro M(a, b)\n    print a\n  print b\n  #EndMacro\nnext",
         {{"M", kEntryMacro, "#macro M(a, b)\r\n   print a\r\n   print b\r\n#ENDMACRO",
           "print a\r\nprint b"}},
         3},
        {"#Macro EMPTY\n#endmacro", {{"EMPTY", kEntryMacro, "#macro EMPTY\r\n#ENDMACRO", ""}}, 1},
        // Unterminated: the body runs to the end of the input.
        {"#macro OPEN x\n a\n b", {{"OPEN", kEntryMacro, "#macro OPEN x\r\n   a\r\n   b\r\n#ENDMACRO", "a\r\nb"}}, 2},
        {"#macro\n a\n#endmacro", {}, 0},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadMacro, c.text);
        expectEntries(out.entries, c.entries, c.text);
        EXPECT_EQ(out.index, c.index) << c.text;
    }
}
