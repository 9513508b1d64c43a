// Input that could hang or blow up a reader: a 5 MB line, files of nothing but
// continuation marks, and names holding apostrophes and quotes.
#include <gtest/gtest.h>

#include "library/schema.h"
#include "reader_harness.h"
#include "tools/source_text.h"
#include "tools/statement_text.h"

using namespace orv::tools;
using namespace orv::tools::test;

namespace {

constexpr std::size_t kHugeLine = 5 * 1024 * 1024;

struct ReaderCase {
    StatementReader reader;
    std::string_view word;
};
const ReaderCase kReaders[] = {
    {ReadVariables, "Dim Shared"}, {ReadConstants, "Const"}, {ReadDefine, "#define"},
    {ReadMacro, "#macro"},         {ReadType, "Type"},       {ReadUnion, "Union"},
    {ReadEnum, "Enum"},            {ReadProcedure, "Declare Sub"},
};

}  // namespace

TEST(BadInput, FiveMegabyteLineIsReadWhole) {
    const std::string dims(kHugeLine, '9');
    const std::string body = " big(" + dims + ") As Long ' tail";
    for (const auto& c : kReaders) {
        SourceLines lines{std::string(c.word) + body, std::string(kHugeLine, 'x'), "End Type"};
        std::size_t index = 0;
        std::string block;
        const ExtractedEntries entries = c.reader(lines, index, block);
        ASSERT_FALSE(entries.empty()) << c.word;
        EXPECT_GT(entries[0].Syntax.size(), kHugeLine) << c.word;
        EXPECT_LT(index, lines.size()) << c.word;
    }
}

TEST(BadInput, OnlyContinuationMarks) {
    std::string file;
    for (int i = 0; i < 200000; ++i) file += "_\n";
    const SourceLines marks = SplitSourceLines(DecodeSourceBytes(file));
    ASSERT_EQ(marks.size(), 200001u);
    for (const auto& c : kReaders) {
        SourceLines lines = marks;
        lines.front() = std::string(c.word) + " name _";
        std::size_t index = 0;
        std::string block = "' kept?";
        c.reader(lines, index, block);
        EXPECT_EQ(index, lines.size() - 1) << c.word;
    }
    std::size_t index = 0;
    std::string comment;
    EXPECT_EQ(JoinStatement(marks, index, comment), "");
    EXPECT_EQ(index, marks.size() - 1);  // the last line is empty, not a continuation
}

TEST(BadInput, NamesWithApostrophesAndQuotesStayWhole) {
    const struct {
        StatementReader reader;
        std::string_view text;
        std::string_view name;
        std::string_view syntax;
    } cases[] = {
        {ReadDefine, "#define Q\"x'y\" 1", "Q\"x'y\"", "#define Q\"x'y\" 1"},
        {ReadConstants, "Const S = \"'\" ' c", "S", "CONST S = \"'\""},
        // Outside the quotes the apostrophe begins a comment, whatever stands before it.
        {ReadProcedure, "Declare Sub O\"Brien\"'s ()", "O\"Brien\"", "Declare Sub O\"Brien\""},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = readStatement(c.reader, c.text);
        ASSERT_EQ(out.entries.size(), 1u) << c.text;
        EXPECT_EQ(out.entries[0].KeyWord, c.name);
        EXPECT_EQ(out.entries[0].Syntax, c.syntax);
    }
}
