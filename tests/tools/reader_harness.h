// Runs a statement reader over a small text written as in a header file, and prints
// entries readably when a comparison fails.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "tools/extracted_entry.h"
#include "tools/statement_readers.h"

namespace orv::tools::test {

// Lines are separated by "\n" in the test text, as the reader never sees line ends.
inline SourceLines linesOf(std::string_view text) {
    SourceLines lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find('\n', start);
        lines.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return lines;
        start = at + 1;
    }
}

struct ReadOutcome {
    ExtractedEntries entries;
    std::size_t index = 0;  // where the reader left the index
    std::string block;      // the comment block afterwards
};

inline ReadOutcome readStatement(StatementReader reader, std::string_view text,
                                 std::string block = "' above") {
    const SourceLines lines = linesOf(text);
    ReadOutcome out;
    out.block = std::move(block);
    out.entries = reader(lines, out.index, out.block);
    return out;
}

// The fields most expectations are about.
struct Expected {
    std::string KeyWord;
    int nType;
    std::string Syntax;
    std::string Member;
};

inline void expectEntries(const ExtractedEntries& got, const std::vector<Expected>& want,
                          std::string_view context) {
    ASSERT_EQ(got.size(), want.size()) << context;
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(std::string(context) + " entry " + std::to_string(i));
        EXPECT_EQ(got[i].KeyWord, want[i].KeyWord);
        EXPECT_EQ(got[i].DisplayKeyWord, want[i].KeyWord);
        EXPECT_EQ(got[i].nType, want[i].nType);
        EXPECT_EQ(got[i].Syntax, want[i].Syntax);
        EXPECT_EQ(got[i].Member, want[i].Member);
    }
}

}  // namespace orv::tools::test
