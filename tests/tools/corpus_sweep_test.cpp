// Every header of the shared corpus, scanned line by line as the extractor scans it:
// each reader finishes, moves the scan on and yields only well-formed entries.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "library/schema.h"
#include "text/ascii.h"
#include "tools/source_text.h"
#include "tools/statement_table.h"
#include "tools/statement_text.h"

using namespace orv::tools;
namespace fs = std::filesystem;

namespace {

struct SweepTotals {
    std::size_t files = 0;
    std::size_t statements = 0;
    std::size_t members = 0;
};

void expectWellFormed(const ExtractedEntries& entries, const std::string& where) {
    const ExtractedEntry& owner = entries.front();
    EXPECT_LT(owner.nType, orv::library::kFirstMemberType) << where;
    for (const ExtractedEntry& e : entries) {
        EXPECT_FALSE(e.KeyWord.empty()) << where;
        EXPECT_EQ(e.UKeyWord, orv::text::toUpperAscii(e.KeyWord)) << where;
        EXPECT_EQ(e.DisplayKeyWord, e.KeyWord) << where;
    }
    if (entries.size() > 1 && owner.nType != orv::library::kEntryVariable &&
        owner.nType != orv::library::kEntryConstant) {
        EXPECT_TRUE(orv::library::canOwnMembers(owner.nType)) << where;
        for (std::size_t i = 1; i < entries.size(); ++i)
            EXPECT_GE(entries[i].nType, orv::library::kFirstMemberType) << where;
    }
}

void sweepFile(const fs::path& path, SweepTotals& totals) {
    const auto text = ReadSourceText(path.u8string());
    ASSERT_TRUE(text.has_value()) << path;
    const SourceLines lines = SplitSourceLines(*text);
    std::string block;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view l = trimLeft(lines[i]);
        if (!l.empty() && l.front() == '\'') {
            if (!block.empty()) block += "\r\n";
            block += lines[i];
            continue;
        }
        const StatementReader reader = FindStatementReader(orv::text::toUpperAscii(l)).reader;
        if (!reader) continue;
        const std::size_t start = i;
        const ExtractedEntries entries = reader(lines, i, block);
        const std::string where = path.string() + ":" + std::to_string(start + 1);
        ASSERT_GE(i, start) << where;
        ASSERT_LT(i, lines.size()) << where;
        if (entries.empty()) continue;
        EXPECT_TRUE(block.empty()) << where;
        expectWellFormed(entries, where);
        ++totals.statements;
        totals.members += entries.size() - 1;
    }
    ++totals.files;
}

}  // namespace

TEST(CorpusSweep, EveryHeaderScansToTheEnd) {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    const fs::path folder = shared ? fs::path(shared) / "corpus" / "fbc-inc" : fs::path();
    if (folder.empty() || !fs::is_directory(folder))
        GTEST_SKIP() << "header corpus not found: set ORV_SHARED_DIR to the shared folder";
    SweepTotals totals;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        const std::string name = orv::text::toUpperAscii(item.path().filename().string());
        const bool header = name.size() > 3 && (name.substr(name.size() - 3) == ".BI" ||
                                                (name.size() > 4 && name.substr(name.size() - 4) == ".INC"));
        if (item.is_regular_file() && header) sweepFile(item.path(), totals);
    }
    // The corpus is large; a sweep that found little would mean lines went unread.
    EXPECT_GT(totals.files, 1000u);
    EXPECT_GT(totals.statements, 10 * totals.files);
    EXPECT_GT(totals.members, totals.files);
    std::printf("swept %zu files: %zu statements, %zu members\n", totals.files,
                totals.statements, totals.members);
}
