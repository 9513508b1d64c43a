// The walk over a file's lines: which lines become statements in each mode, where
// comment blocks go, and how the walk ends.
#include "tools/line_scan.h"

#include <gtest/gtest.h>

#include "reader_harness.h"

using namespace orv::tools;
using orv::tools::test::linesOf;

namespace {

struct Seen {
    std::string name;       // the statement entry's name
    std::size_t firstLine;  // 0-based
    std::string explain;
    bool operator==(const Seen& o) const {
        return name == o.name && firstLine == o.firstLine && explain == o.explain;
    }
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << "{" << s.name << " @" << s.firstLine << " '" << s.explain << "'}";
}

struct Recorder {
    std::vector<Seen> seen;
    StatementOutcome answer = StatementOutcome::Continue;
    StatementWriter writer() {
        return [this](ExtractedEntries& entries, std::size_t firstLine) {
            seen.push_back({entries.front().KeyWord, firstLine, entries.front().Explain});
            return answer;
        };
    }
};

constexpr std::string_view kHeader =
    "' about the file\n"          // 0
    "Dim x As Integer\n"          // 1: no entry, the block waits
    "  ' indented\n"              // 2
    "Const A = 1\n"               // 3
    "#define B 2\n"               // 4
    "#macro M\n"                  // 5
    "  Const Inside = 1\n"        // 6
    "#endmacro\n"                 // 7
    "Type T\n"                    // 8
    "  f As Long\n"               // 9
    "End Type\n"                  // 10
    "' not used\n"                // 11
    "Private Declare Sub Twice\n" // 12: two prefix words: not read
    "Declare Sub S\n"             // 13
    "Function F() As Long\n"      // 14
    "  Dim Shared y As Long\n"    // 15
    "End Function\n"              // 16
    "' left over";                // 17

}  // namespace

TEST(LineScan, ReferenceModeReadsEveryDeclaration) {
    Recorder recorder;
    const ScanResult result =
        ScanLines(linesOf(kHeader), ExtractionMode::Reference, nullptr, recorder.writer());
    const std::vector<Seen> expected = {
        {"A", 3, "' about the file\r\n  ' indented"}, {"B", 4, ""}, {"M", 5, ""},
        {"T", 8, ""}, {"S", 13, "' not used"}, {"F", 14, ""},
    };
    EXPECT_EQ(recorder.seen, expected);
    EXPECT_EQ(result.statements, 6u);
    EXPECT_FALSE(result.stopped);
    EXPECT_FALSE(result.failed);
}

TEST(LineScan, SourceModeSkipsConstantsVariablesAndMacros) {
    Recorder recorder;
    ScanLines(linesOf(kHeader), ExtractionMode::Source, nullptr, recorder.writer());
    const std::vector<Seen> expected = {
        {"T", 8, "' about the file\r\n  ' indented"}, {"S", 13, "' not used"}, {"F", 14, ""},
    };
    EXPECT_EQ(recorder.seen, expected);
    // A macro that never ends takes the rest of the file with it.
    recorder.seen.clear();
    ScanLines(linesOf("#macro M\n Declare Sub Hidden\nDeclare Sub AlsoHidden"), ExtractionMode::Source,
              nullptr, recorder.writer());
    EXPECT_TRUE(recorder.seen.empty());
}

TEST(LineScan, WriterAndStopRequestEndTheWalk) {
    const struct {
        StatementOutcome answer;
        bool failed;
    } cases[] = {{StatementOutcome::EndScan, false}, {StatementOutcome::Fail, true}};
    for (const auto& c : cases) {
        Recorder recorder;
        recorder.answer = c.answer;
        const ScanResult result =
            ScanLines(linesOf(kHeader), ExtractionMode::Reference, nullptr, recorder.writer());
        EXPECT_EQ(recorder.seen.size(), 1u);
        EXPECT_EQ(result.failed, c.failed);
    }
    Recorder recorder;
    int polls = 0;
    const ScanResult result = ScanLines(linesOf(kHeader), ExtractionMode::Reference,
                                        [&] { return ++polls > 5; }, recorder.writer());
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.statements, 2u);  // lines 0 to 4 were read: A and B
}
