// Walking a file's lines statement by statement.
#include "tools/line_scan.h"

#include "text/ascii.h"
#include "tools/statement_table.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

constexpr std::string_view kEndMacro = "#ENDMACRO";

// Index of the #ENDMACRO line closing the macro at `index`, or lines.size().
std::size_t findEndMacro(const SourceLines& lines, std::size_t index) {
    for (++index; index < lines.size(); ++index)
        if (startsWithNoCase(trimLeft(lines[index]), kEndMacro)) return index;
    return lines.size();
}

void appendComment(std::string& block, const std::string& line) {
    if (!block.empty()) block += "\r\n";
    block += line;
}

// The reader the line calls for in this mode; index may move past skipped lines
// (to lines.size() when a skipped macro never ends).
StatementReader readerFor(std::string_view u, ExtractionMode mode, const SourceLines& lines,
                          std::size_t& index) {
    const StatementMatch match = FindStatementReader(u);
    if (!match.reader || mode == ExtractionMode::Reference) return match.reader;
    switch (match.inSourceMode) {
        case SourceModeAction::Read: return match.reader;
        case SourceModeAction::SkipLine: return nullptr;
        case SourceModeAction::SkipMacro: index = findEndMacro(lines, index); return nullptr;
    }
    return nullptr;
}

}  // namespace

ScanResult ScanLines(const SourceLines& lines, ExtractionMode mode, const StopRequested& stop,
                     const StatementWriter& write) {
    ScanResult result;
    std::string block;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (stop && stop()) {
            result.stopped = true;
            break;
        }
        const std::string_view l = trimLeft(lines[index]);
        if (!l.empty() && l.front() == '\'') {
            appendComment(block, lines[index]);
            continue;
        }
        const std::size_t firstLine = index;
        const StatementReader reader = readerFor(text::toUpperAscii(l), mode, lines, index);
        if (!reader) continue;
        // A block no reader consumed stays for the next statement that yields entries.
        ExtractedEntries entries = reader(lines, index, block);
        if (entries.empty()) continue;
        ++result.statements;
        const StatementOutcome outcome = write(entries, firstLine);
        if (outcome == StatementOutcome::Fail) result.failed = true;
        if (outcome != StatementOutcome::Continue) break;
    }
    return result;
}

}  // namespace orv::tools
