// Completing one statement's extracted entries and adding them to the private library:
// include line, cleaned explanation, member placement, the duplicate check and rule.
#pragma once

#include <cstddef>
#include <string>

#include "library/host_db.h"
#include "tools/extraction_run.h"

namespace orv::tools {

// What the entries of one file share.
struct FileTarget {
    long long categoryId = 0;  // where entries of types below 20 go
    std::string includePath;   // reference mode
    const std::string* fileText = nullptr;  // source mode
};

class EntryWriter {
public:
    EntryWriter(library::HostDb& db, const RunSettings& settings, RunStatistics& statistics,
                const FileTarget& target);

    // The scan's writer: completes and writes the list. Fail when a row could not be
    // added (the error list says which), EndScan in source mode once a procedure
    // definition was stored.
    StatementOutcome write(ExtractedEntries& entries, std::size_t firstLine);

private:
    // Fills the fields that depend on the mode; false when the source filter is on.
    bool applyMode(ExtractedEntry& e, std::size_t firstLine, bool& filter);
    void completeTexts(ExtractedEntry& e);
    bool admitted(const ExtractedEntry& e);
    bool add(const ExtractedEntry& e, long long dID, int sort, long long& kID);

    library::HostDb& db_;
    const RunSettings& settings_;
    RunStatistics& statistics_;
    const FileTarget& target_;
};

}  // namespace orv::tools
