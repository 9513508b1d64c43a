// ReadEnum and ReadProcedure: values, anonymous names, declarations and bodies.
#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"

using namespace orv::tools;
using namespace orv::tools::test;
using namespace orv::library;

TEST(ReadEnum, NamedEnumerationWithValues) {
    const ReadOutcome out = readStatement(ReadEnum,
        "Enum UTF_ENCOD Explicit ' encodings\n"
        "  UTF_ENCOD_ASCII\n"
        "  UTF_ENCOD_UTF8  =  5, UTF_ENCOD_UTF16 ' five and more\n"
        "End Enum\n"
        "Const After = 1",
        "' block");
    expectEntries(out.entries,
        {{"UTF_ENCOD", kEntryEnum,
          "Enum UTF_ENCOD Explicit\r\n   UTF_ENCOD_ASCII\r\n   UTF_ENCOD_UTF8 = 5, UTF_ENCOD_UTF16\r\nEnd Enum",
          "UTF_ENCOD_ASCII<AS:><'>\r\nUTF_ENCOD_UTF8<AS:> = 5<'> five and more\r\n"
          "UTF_ENCOD_UTF16<AS:><'> five and more"},
         {"UTF_ENCOD_ASCII", kEntryEnumMember, "UTF_ENCOD_ASCII", ""},
         {"UTF_ENCOD_UTF8", kEntryEnumMember, "UTF_ENCOD_UTF8 = 5", ""},
         {"UTF_ENCOD_UTF16", kEntryEnumMember, "UTF_ENCOD_UTF16", ""}},
        "UTF_ENCOD");
    ASSERT_EQ(out.entries.size(), 4u);
    EXPECT_EQ(out.entries[0].Description, " encodings");
    EXPECT_EQ(out.entries[0].Explain, "' block");
    EXPECT_EQ(out.entries[2].Description, " five and more");
    EXPECT_EQ(out.index, 3u);
}

TEST(ReadEnum, AnonymousEnumerationIsNamedAfterItsValues) {
    const ReadOutcome out = readStatement(ReadEnum, "Enum 'colours\nRed, Green, Blue,\nEnd Enum");
    expectEntries(out.entries,
                  {{"RedGreenBlue", kEntryEnum, "Enum \r\n   Red, Green, Blue,\r\nEnd Enum",
                    "Red<AS:><'>\r\nGreen<AS:><'>\r\nBlue<AS:><'>"},
                   {"Red", kEntryEnumMember, "Red", ""},
                   {"Green", kEntryEnumMember, "Green", ""},
                   {"Blue", kEntryEnumMember, "Blue", ""}},
                  "colours");
    ASSERT_FALSE(out.entries.empty());
    EXPECT_EQ(out.entries[0].Description, "colours");
    EXPECT_EQ(out.entries[0].UKeyWord, "REDGREENBLUE");
}

TEST(ReadEnum, AnonymousNameIsCutAtFiftyBytesOnACharacterBoundary) {
    const std::string a48(48, 'A');
    const struct { std::string values; std::string name; } cases[] = {
        {std::string(30, 'X') + "\n" + std::string(30, 'Y'), std::string(30, 'X') + std::string(20, 'Y')},
        // 48 + 3 bytes: cutting at 50 would split the character, so it goes whole.
        {a48 + "\n甲乙", a48},
        {"甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己庚", "甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己"},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadEnum, "Enum\n" + c.values + "\nEnd Enum");
        ASSERT_FALSE(out.entries.empty()) << c.values;
        EXPECT_EQ(out.entries[0].KeyWord, c.name);
        EXPECT_LE(out.entries[0].KeyWord.size(), 50u);
    }
    // With no values there is nothing to name it after, and nothing to look up.
    const ReadOutcome empty = readStatement(ReadEnum, "Enum ' none\nEnd Enum", "' kept");
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_EQ(empty.block, "' kept");
    EXPECT_EQ(empty.index, 1u);
}

TEST(ReadEnum, ValuesSplitAtTopLevelCommasOnly) {
    // Lines as glib.bi and win/d3d9types.bi write them: commas inside strings and calls.
    const struct { std::string line; std::vector<std::string> values; } cases[] = {
        {"G_TOKEN_COMMA = asc(\",\")", {"G_TOKEN_COMMA = asc(\",\")"}},
        {"G_TOKEN_LEFT_PAREN = asc(\"(\"), G_TOKEN_COMMA = asc(\",\")",
         {"G_TOKEN_LEFT_PAREN = asc(\"(\")", "G_TOKEN_COMMA = asc(\",\")"}},
        {"D3DFMT_UYVY = (cast(DWORD, cast(UBYTE, asc(\"U\"))) or (cast(DWORD, cast(UBYTE, asc(\"Y\"))) shl 8))",
         {"D3DFMT_UYVY = (cast(DWORD, cast(UBYTE, asc(\"U\"))) or (cast(DWORD, cast(UBYTE, asc(\"Y\"))) shl 8))"}},
        {"A = x[1, 2], B = {3, 4}, C", {"A = x[1, 2]", "B = {3, 4}", "C"}},
        {"Red,, Green,", {"Red", "Green"}},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadEnum, "Enum E\n" + c.line + "\nEnd Enum");
        ASSERT_FALSE(out.entries.empty()) << c.line;
        std::vector<std::string> values;
        std::string members;
        for (std::size_t i = 1; i < out.entries.size(); ++i) {
            EXPECT_EQ(out.entries[i].nType, kEntryEnumMember) << c.line;
            values.push_back(out.entries[i].Syntax);
            members += (members.empty() ? "" : "\r\n") + out.entries[i].KeyWord + "<AS:>" +
                       out.entries[i].Syntax.substr(out.entries[i].KeyWord.size()) + "<'>";
        }
        EXPECT_EQ(values, c.values) << c.line;
        EXPECT_EQ(out.entries[0].Member, members) << c.line;
    }
}

TEST(ReadEnum, UnterminatedEnumerationEndsAtEndOfInput) {
    const ReadOutcome out = readStatement(ReadEnum, "Enum E\n A = 1\n B");
    expectEntries(out.entries,
                  {{"E", kEntryEnum, "Enum E\r\n   A = 1\r\n   B\r\nEnd Enum", "A<AS:> = 1<'>\r\nB<AS:><'>"},
                   {"A", kEntryEnumMember, "A = 1", ""},
                   {"B", kEntryEnumMember, "B", ""}},
                  "unterminated enum");
    EXPECT_EQ(out.index, 2u);
}

TEST(ReadProcedure, DeclarationsAndDefinitions) {
    const struct {
        std::string_view text;
        std::vector<Expected> entries;
        std::size_t index;
    } cases[] = {
        {"Declare Function zlibVersion() as const zstring ptr\nnext",
         {{"zlibVersion", kEntryFunction, "Declare Function zlibVersion() as const zstring ptr", "CONST ZSTRING PTR"}}, 0},
        {"declare sub Foo(ByVal x As Integer = 5, s As String = \"a'b\")",
         {{"Foo", kEntrySub, "declare sub Foo(ByVal x As Integer = 5, s As String = \"a'b\")", ""}}, 0},
        {"DECLARE  FUNCTION  f Alias \"f\" (ByVal p As Any Ptr) As Long",
         {{"f", kEntryFunction, "DECLARE  FUNCTION  f Alias \"f\" (ByVal p As Any Ptr) As Long", "LONG"}}, 0},
        {"Function Twice(ByVal x As Long) As Long\n  Const Inner = 1\n  Return x * 2\nEND   function\nConst Outer = 2",
         {{"Twice", kEntryFunction, "Function Twice(ByVal x As Long) As Long", "LONG"}}, 3},
        {"Private Sub Helper\n  Dim Shared z As Long\n  End  Sub ' done\nnext",
         {{"Helper", kEntrySub, "Private Sub Helper", ""}}, 2},
        {"Public Function g() As Integer = 1", {{"g", kEntryFunction, "Public Function g() As Integer = 1", "INTEGER"}}, 0},
        // A body whose end marker is missing runs to the end of the input.
        {"Sub Open()\n  x = 1", {{"Open", kEntrySub, "Sub Open()", ""}}, 1},
        // A method body outside its type: no entry, but its body is still consumed.
        {"private function Fl_Tiled_Image.copy() as Fl_Image ptr\n\treturn copy(w(), h())\nend function\nnext", {}, 2},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadProcedure, c.text);
        expectEntries(out.entries, c.entries, c.text);
        EXPECT_EQ(out.index, c.index) << c.text;
        EXPECT_EQ(out.block, "") << c.text;
    }
}

TEST(ReadProcedure, ContinuedDeclarationKeepsItsComments) {
    const ReadOutcome out = readStatement(ReadProcedure,
        "declare function CharToUTF alias \"fb_CharToUTF\" _\n"
        "\t( _\n"
        "\t\tbyval encod as long, _ '' UTF_ENCOD\n"
        "\t\tbyval src as zstring ptr _\n"
        "\t) as any ptr\n"
        "next",
        "' converts");
    ASSERT_EQ(out.entries.size(), 1u);
    const ExtractedEntry& f = out.entries[0];
    EXPECT_EQ(f.KeyWord, "CharToUTF");
    EXPECT_EQ(f.Member, "ANY PTR");
    EXPECT_EQ(f.Description, "' UTF_ENCOD");
    EXPECT_EQ(f.Explain, "' converts");
    EXPECT_EQ(out.index, 4u);
}
