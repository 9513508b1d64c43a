// The extractor's walk over one file's lines: comment lines gather into the block,
// declaration lines go to their statement reader, and each statement's entries go on
// to be completed and written.
#pragma once

#include <cstddef>
#include <functional>

#include "tools/extracted_entry.h"

namespace orv::tools {

enum class ExtractionMode : int { Reference = 0, Source = 1 };

// What the writer of a statement's entries tells the walk.
enum class StatementOutcome { Continue, EndScan, Fail };

struct ScanResult {
    std::size_t statements = 0;  // statements that yielded entries
    bool stopped = false;        // the stop request ended the walk
    bool failed = false;         // the writer failed
};

// entries: one statement's entries; firstLine: the 0-based index of its first line.
using StatementWriter = std::function<StatementOutcome(ExtractedEntries& entries, std::size_t firstLine)>;
using StopRequested = std::function<bool()>;

ScanResult ScanLines(const SourceLines& lines, ExtractionMode mode, const StopRequested& stop,
                     const StatementWriter& write);

}  // namespace orv::tools
