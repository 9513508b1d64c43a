// The declaration extractor of one import run: header files, singly or a folder tree,
// into keyword entries of the private library.
#pragma once

#include <string>

#include "library/host_db.h"
#include "library/prompt.h"
#include "tools/extraction_run.h"
#include "tools/known_names.h"
#include "library/progress.h"

namespace orv::tools {

// Adds a category of the import (shown in the IDE) to the private library; the new id,
// below 1 on failure.
long long AddImportCategory(library::HostDb& db, long long parentId, std::string_view name,
                            const RunSettings& settings);

class Extractor {
public:
    Extractor(library::HostDb& db, library::Prompter& prompter, library::Progress& progress,
              RunSettings settings, RunStatistics& statistics);

    // Extracts one file under the category; 1 on success or stop, 0 on failure.
    int ExtractFile(long long categoryId, const std::string& filePath);
    // Walks a folder (path ending with a separator): a category per sub-folder, the
    // *.BI and *.INC files in each; 1 on success or stop, 0 on failure.
    int ExtractFolder(long long categoryId, const std::string& folderPath);

private:
    long long addFileCategory(long long parentId, const std::string& name);
    // False when a row could not be added (the error list names the file).
    bool storeWholeFile(long long categoryId, const std::string& fileName, const std::string& text);

    library::HostDb& db_;
    library::Prompter& prompter_;
    library::Progress& progress_;
    const RunSettings settings_;
    RunStatistics& statistics_;
    // Read at the first duplicate check and kept for the rest of the run.
    KnownNames knownNames_;
};

}  // namespace orv::tools
