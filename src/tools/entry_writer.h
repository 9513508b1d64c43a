// Completing one statement's extracted entries and adding them to the private library:
// include line, cleaned explanation, member placement, the duplicate check and rule.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "library/host_db.h"
#include "tools/extraction_run.h"
#include "tools/known_names.h"

namespace orv::tools {

// What the entries of one file share.
struct FileTarget {
    long long categoryId = 0;  // where entries of types below 20 go
    std::string includePath;   // reference mode
    const std::string* fileText = nullptr;  // source mode
};

// Adds a line to the run's error list: the entry (or file) that was not written and the
// host's error text. The list becomes part of a page, so both are escaped for HTML.
void AddErrorLine(RunStatistics& statistics, std::string_view name, std::string_view hostError);

// Adds an entry's texts to KeywordData and its placement (listText, without its sID) to
// KeywordList of the private library. Returns the new kID, or 0 when either add failed:
// then the error list names the entry (name as written) and no texts are left behind.
long long AddEntryRows(library::HostDb& db, RunStatistics& statistics, std::string_view name,
                       const std::string& dataText, const std::string& listText);

class EntryWriter {
public:
    EntryWriter(library::HostDb& db, const RunSettings& settings, RunStatistics& statistics,
                KnownNames& knownNames, const FileTarget& target);

    // The scan's writer: completes and writes the list. Fail when a row could not be
    // added (the error list says which), EndScan in source mode once a procedure
    // definition was stored.
    StatementOutcome write(ExtractedEntries& entries, std::size_t firstLine);

private:
    // Fills the fields that depend on the mode; false when the source filter is on.
    bool applyMode(ExtractedEntry& e, std::size_t firstLine, bool& filter);
    void completeTexts(ExtractedEntry& e);
    // Whether the rule lets the entry in; nothing when the names could not be read.
    std::optional<bool> admitted(const ExtractedEntry& e);
    bool add(const ExtractedEntry& e, long long dID, int sort, long long& kID);

    library::HostDb& db_;
    const RunSettings& settings_;
    RunStatistics& statistics_;
    KnownNames& knownNames_;
    const FileTarget& target_;
};

}  // namespace orv::tools
