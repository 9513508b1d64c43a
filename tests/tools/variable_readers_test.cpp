// ReadVariables and ReadConstants: both declaration forms, SHARED only, and where the
// comments go.
#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"

using namespace orv::tools;
using namespace orv::tools::test;
using orv::library::kEntryConstant;
using orv::library::kEntryVariable;

namespace {

struct ListCase {
    std::string_view text;
    std::vector<Expected> entries;
};

}  // namespace

TEST(ReadVariables, BothFormsOfSharedDeclarations) {
    const ListCase cases[] = {
        {"Dim Shared As Integer a, b = 2",
         {{"a", kEntryVariable, "Dim Shared a As Integer", "INTEGER"},
          {"b", kEntryVariable, "Dim Shared b As Integer = 2", "INTEGER"}}},
        {"Dim Shared arr(10) As Integer",
         {{"arr", kEntryVariable, "Dim Shared arr(10) As Integer", "INTEGER"}}},
        {"COMMON SHARED  x  AS  Long, y = 5",
         {{"x", kEntryVariable, "COMMON Shared x As Long", "LONG"},
          {"y", kEntryVariable, "COMMON Shared y = 5", ""}}},
        {"Static Shared As Byte Ptr p, q(0 To 3)",
         {{"p", kEntryVariable, "Static Shared p As Byte Ptr", "BYTE PTR"},
          {"q", kEntryVariable, "Static Shared q(0 To 3) As Byte Ptr", "BYTE PTR"}}},
        {"Dim Shared m(1 To 2, 3) As Double = {1, 2}",
         {{"m", kEntryVariable, "Dim Shared m(1 To 2, 3) As Double = {1, 2}", "DOUBLE"}}},
        {"Dim Shared s As String = \"a, 'b'\" ' note",
         {{"s", kEntryVariable, "Dim Shared s As String = \"a, 'b'\"", "STRING"}}},
        {"Dim x As Integer", {}},
        {"Dim Shared", {}},
        {"Dim Shared As Integer", {}},
        {"Dim", {}},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadVariables, c.text);
        expectEntries(out.entries, c.entries, c.text);
    }
}

TEST(ReadVariables, EveryVariableTakesTheCommentsAndConsumesTheBlock) {
    ReadOutcome out = readStatement(ReadVariables, "Dim Shared a, b As Long ' counters", "' block");
    ASSERT_EQ(out.entries.size(), 2u);
    for (const auto& e : out.entries) {
        EXPECT_EQ(e.Description, " counters");
        EXPECT_EQ(e.Explain, "' block");
    }
    EXPECT_EQ(out.block, "");
    // No SHARED, no entry: the block waits for the next statement.
    out = readStatement(ReadVariables, "Dim x As Integer", "' block");
    EXPECT_TRUE(out.entries.empty());
    EXPECT_EQ(out.block, "' block");
}

TEST(ReadVariables, ContinuedStatementEndsOnItsLastLine) {
    const ReadOutcome out =
        readStatement(ReadVariables, "Dim Shared As Long _\n  first, _ ' one\n  second\nnext");
    expectEntries(out.entries,
                  {{"first", kEntryVariable, "Dim Shared first As Long", "LONG"},
                   {"second", kEntryVariable, "Dim Shared second As Long", "LONG"}},
                  "continued");
    EXPECT_EQ(out.entries[0].Description, " one");
    EXPECT_EQ(out.index, 2u);
}

TEST(ReadConstants, BothFormsAndTheAlwaysWrittenEquals) {
    const ListCase cases[] = {
        {"Const Pi = 3.14", {{"Pi", kEntryConstant, "CONST Pi = 3.14", ""}}},
        {"Const Flag", {{"Flag", kEntryConstant, "CONST Flag = ", ""}}},
        {"const MAX_LEN As Long = 255", {{"MAX_LEN", kEntryConstant, "CONST MAX_LEN As Long = 255", "LONG"}}},
        {"Const As Integer A = 1, B = 2",
         {{"A", kEntryConstant, "CONST A As Integer = 1", "INTEGER"},
          {"B", kEntryConstant, "CONST B As Integer = 2", "INTEGER"}}},
        {"Const Q = \"it's, \"\"quoted\"\"\", R = 1 shl 0",
         {{"Q", kEntryConstant, "CONST Q = \"it's, \"\"quoted\"\"\"", ""},
          {"R", kEntryConstant, "CONST R = 1 shl 0", ""}}},
        {"Const", {}},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(ReadConstants, c.text);
        expectEntries(out.entries, c.entries, c.text);
    }
}

TEST(ReadConstants, EmptyNamesYieldNoEntry) {
    // A doubled or leading comma names nothing; the other names still count.
    const ReadOutcome out = readStatement(ReadConstants, "Const A = 1, , = 2, B = 3");
    expectEntries(out.entries,
                  {{"A", kEntryConstant, "CONST A = 1", ""}, {"B", kEntryConstant, "CONST B = 3", ""}},
                  "empty names");
}
