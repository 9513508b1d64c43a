// ReadType and ReadUnion: aliases, bases, members in every form, overloads, private
// sections, nesting, and bodies whose closing line is missing.
#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"

using namespace orv::tools;
using namespace orv::tools::test;
using namespace orv::library;

TEST(ReadType, AliasIsOneEntry) {
    const struct { std::string_view text; std::vector<Expected> entries; } cases[] = {
        {"Type Foo As Bar", {{"Foo", kEntryAlias, "Type Foo As Bar", "BAR"}}},
        {"type voidpc as const any ptr ' opaque",
         {{"voidpc", kEntryAlias, "Type voidpc as const any ptr", "CONST ANY PTR"}}},
        {"type cb as function(byval x as long) as long",
         {{"cb", kEntryAlias, "Type cb as function(byval x as long) as long", "FUNCTION(BYVAL X AS LONG) AS LONG"}}},
        {"Type", {}},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadType, std::string(c.text) + "\nx As Long\nEnd Type");
        expectEntries(out.entries, c.entries, c.text);
        EXPECT_EQ(out.index, 0u) << c.text;
    }
}

// One type exercising every member rule; the expected rows are what the library shows.
TEST(ReadType, MembersSectionsOverloadsAndNesting) {
    const ReadOutcome out = readStatement(ReadType,
        "Type Point3 Extends Base Field = 4 ' a point\n"
        "  x As Single ' the x\n"
        "\n"
        "  As Integer a, b = 2\n"
        "  Declare Sub Draw(ByVal n As Long) ' one\n"
        "  Declare   Sub Draw() ' two\n"
        "  Declare Virtual Function Len() As Integer\n"
        "  Declare Constructor\n"
        "  Declare Operator += (ByRef r As Point3)\n"
        "  #ifdef __FB_WIN32__\n"
        "Private:\n"
        "  hidden As Integer\n"
        "  Public y As Long\n"
        "Public:\n"
        "  Private z As Long\n"
        "  Union\n"
        "    u1 As Long\n"
        "  End Union\n"
        "End Type\n"
        "Dim Shared after As Long",
        "' block");
    expectEntries(out.entries,
        {{"Point3", kEntryDefinedType,
          "Type Point3 Extends Base Field = 4\r\n   x As Single\r\n   As Integer a, b = 2\r\n"
          "   Declare Sub Draw(ByVal n As Long)\r\n   Declare Sub Draw()\r\n"
          "   Declare Virtual Function Len() As Integer\r\n   Declare Constructor\r\n"
          "   Declare Operator += (ByRef r As Point3)\r\n   #ifdef __FB_WIN32__\r\n"
          "   Private:\r\n   hidden As Integer\r\n   Public y As Long\r\n   Public:\r\n"
          "   Private z As Long\r\n   Union\r\n      u1 As Long\r\n      End Union\r\nEnd Type",
          "x<AS:Single><'> the x\r\na<AS:Integer><'>\r\nb<AS:Integer><'>\r\n"
          "<SUB>Draw<AS:>(ByVal n As Long)<'> one\r\n<SUB>Draw<AS:>()<'> two\r\n"
          "<FUN>Len<AS:Integer>()<'>\r\n<CON>Constructor<AS:><'>\r\n"
          "<OPE>+=<AS:>(ByRef r As Point3)<'>\r\ny<AS:Long><'>\r\nu1<AS:Long><'>"},
         {"x", kEntryMember, "x ", "SINGLE"},
         {"a", kEntryMember, "a As Integer", "INTEGER"},
         {"b", kEntryMember, "b As Integer = 2", "INTEGER"},
         {"Draw", kEntryMember, "Declare Sub Draw(ByVal n As Long)\r\nDeclare Sub Draw()", ""},
         {"Len", kEntryMember, "Declare Virtual Function Len() As Integer", "INTEGER"},
         {"Constructor", kEntryMember, "Declare Constructor", ""},
         {"+=", kEntryMember, "Declare Operator += (ByRef r As Point3)", ""},
         {"y", kEntryMember, "y ", "LONG"},
         {"u1", kEntryMember, "u1 ", "LONG"}},
        "Point3");
    ASSERT_EQ(out.entries.size(), 10u);
    const ExtractedEntry& type = out.entries[0];
    EXPECT_EQ(type.Parameter, "BASE");
    EXPECT_EQ(type.Description, " a point");
    EXPECT_EQ(type.Explain, "' block");
    EXPECT_EQ(out.block, "");
    EXPECT_EQ(out.entries[1].Explain, "");
    EXPECT_EQ(out.entries[4].Description, " one two");
    EXPECT_EQ(out.entries[6].Description, "构造函数，创建类型时被执行。");
    EXPECT_EQ(out.index, 18u);
}

TEST(ReadType, ConstructorAndDestructorForms) {
    const ReadOutcome out = readStatement(ReadType,
        "Type T\n"
        "  Declare Constructor(ByVal n As Long)\n"
        "  Declare Constructor ( )\n"
        "  Declare Destructor() ' bye\n"
        "  Declare Static Function Make() As T\n"
        "End Type");
    ASSERT_EQ(out.entries.size(), 4u);
    EXPECT_EQ(out.entries[1].UKeyWord, "CONSTRUCTOR");
    EXPECT_EQ(out.entries[1].Syntax, "Declare Constructor(ByVal n As Long)\r\nDeclare Constructor ( )");
    EXPECT_EQ(out.entries[2].UKeyWord, "DESTRUCTOR");
    EXPECT_EQ(out.entries[2].Description, " bye");
    EXPECT_EQ(out.entries[0].Member,
              "<CON>Constructor<AS:>(ByVal n As Long)<'>\r\n<CON>Constructor<AS:>( )<'>\r\n"
              "<DES>Destructor<AS:>()<'> bye\r\n<FUN>Make<AS:T>()<'>");
    // A static method is named after itself, not after its SUB or FUNCTION word.
    EXPECT_EQ(out.entries[3].KeyWord, "Make");
    EXPECT_EQ(out.entries[3].Syntax, "Declare Static Function Make() As T");
}

// Fields named by a keyword are common in real headers ("type As Long" in an event
// record); they must not open a block or end the type.
TEST(ReadType, FieldsNamedByKeywordsAndDimFields) {
    const ReadOutcome out = readStatement(ReadType,
        "type EVENT field = 1\n"
        "  type as long\n"
        "  union\n"
        "    type\n"
        "      scancode as long\n"
        "    end type\n"
        "  end union\n"
        "  function as gsl_function ptr\n"
        "  dim as uinteger dims, flags\n"
        "end type\n"
        "const After = 1");
    expectEntries(out.entries,
        {{"EVENT", kEntryDefinedType,
          "Type EVENT field = 1\r\n   type as long\r\n   union\r\n      type\r\n"
          "         scancode as long\r\n         end type\r\n      end union\r\n"
          "   function as gsl_function ptr\r\n   dim as uinteger dims, flags\r\nEnd Type",
          "type<AS:long><'>\r\nscancode<AS:long><'>\r\nfunction<AS:gsl_function ptr><'>\r\n"
          "dims<AS:uinteger><'>\r\nflags<AS:uinteger><'>"},
         {"type", kEntryMember, "type ", "LONG"},
         {"scancode", kEntryMember, "scancode ", "LONG"},
         {"function", kEntryMember, "function ", "GSL_FUNCTION PTR"},
         {"dims", kEntryMember, "dims As uinteger", "UINTEGER"},
         {"flags", kEntryMember, "flags As uinteger", "UINTEGER"}},
        "EVENT");
    EXPECT_EQ(out.index, 9u);
}

TEST(ReadType, UnterminatedBodiesEndCleanly) {
    // At the end of the input the type ends with what it has.
    ReadOutcome out = readStatement(ReadType, "Type Open\n  a As Long\n  b As Long _");
    expectEntries(out.entries,
                  {{"Open", kEntryDefinedType, "Type Open\r\n   a As Long\r\n   b As Long\r\nEnd Type",
                    "a<AS:Long><'>\r\nb<AS:Long><'>"},
                   {"a", kEntryMember, "a ", "LONG"},
                   {"b", kEntryMember, "b ", "LONG"}},
                  "at end of input");
    EXPECT_EQ(out.index, 2u);
    // A procedure body where END TYPE should be ends the type before it, so that the
    // procedure is read as a statement of its own.
    out = readStatement(ReadType, "Type Open\n  a As Long\nSub Later()\nEnd Sub");
    ASSERT_EQ(out.entries.size(), 2u);
    EXPECT_EQ(out.index, 1u);
    // Stray closing lines cannot drive the nesting below zero.
    out = readStatement(ReadType, "Type Odd\n End Union\n End Union\n a As Long\nEnd Type\nx As Long");
    ASSERT_EQ(out.entries.size(), 2u);
    EXPECT_EQ(out.index, 4u);
}

TEST(ReadUnion, MembersAreReadMoreSimply) {
    const ReadOutcome out = readStatement(ReadUnion,
        "Union Value Extends Base ' any value\n"
        "  i As Long\n"
        "  Static d As Double = 1.5\n"
        "  Declare Sub Reset()\n"
        "  Declare Sub Reset(ByVal n As Long)\n"
        "  Declare Function Get() As Long\n"
        "  Declare Sub Reset(ByVal a As Long, ByVal b As Long)\n"
        "  Type\n"
        "  s As Short\n"
        "  End Type\n"
        "End Union\n"
        "after As Long");
    expectEntries(out.entries,
        {{"Value", kEntryUnion,
          "Union Value Extends Base\r\n   i As Long\r\n   Static d As Double = 1.5\r\n"
          "   Declare Sub Reset()\r\n   Declare Sub Reset(ByVal n As Long)\r\n"
          "   Declare Function Get() As Long\r\n   Declare Sub Reset(ByVal a As Long, ByVal b As Long)\r\n"
          "   Type\r\n   s As Short\r\n   End Type\r\nEnd Union",
          "i<AS:Long><'>\r\nd<AS:Double> = 1.5<'>\r\n<SUB>Reset<AS:>()<'>\r\n"
          "<SUB>Reset<AS:>(ByVal n As Long)<'>\r\n<FUN>Get<AS:Long>()<'>\r\n"
          "<SUB>Reset<AS:>(ByVal a As Long, ByVal b As Long)<'>\r\ns<AS:Short><'>"},
         {"i", kEntryMember, "i As Long", "LONG"},
         {"d", kEntryMember, "d As Double = 1.5", "DOUBLE"},
         {"Reset", kEntryMember, "Declare Sub Reset()\r\nDeclare Sub Reset(ByVal n As Long)", ""},
         {"Get", kEntryMember, "Declare Function Get() As Long", "LONG"},
         // Only the entry made just before counts as an earlier overload.
         {"Reset", kEntryMember, "Declare Sub Reset(ByVal a As Long, ByVal b As Long)", ""},
         {"s", kEntryMember, "s As Short", "SHORT"}},
        "Value");
    ASSERT_FALSE(out.entries.empty());
    EXPECT_EQ(out.entries[0].Parameter, "BASE");
    EXPECT_EQ(out.entries[0].Description, " any value");
    EXPECT_EQ(out.index, 10u);
}

TEST(ReadUnion, UnterminatedUnionEndsAtEndOfInput) {
    const ReadOutcome out = readStatement(ReadUnion, "Union U\n a As Long");
    expectEntries(out.entries,
                  {{"U", kEntryUnion, "Union U\r\n   a As Long\r\nEnd Union", "a<AS:Long><'>"},
                   {"a", kEntryMember, "a As Long", "LONG"}},
                  "unterminated union");
    EXPECT_EQ(out.index, 1u);
}
