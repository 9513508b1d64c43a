// One header import run: checks the path, makes the run's root category, extracts the
// file or folder inside one transaction and stores the report as the root category's page.
#pragma once

#include <string>

#include "library/host_db.h"
#include "library/prompt.h"
#include "tools/extraction_run.h"
#include "library/progress.h"

namespace orv::tools {

enum class ImportScope { File, Folder };

struct ImportRequest {
    ImportScope scope = ImportScope::File;
    std::string path;  // the file, or the folder
    ExtractionMode mode = ExtractionMode::Reference;
    DuplicateRule duplicateRule = DuplicateRule::AddAll;
    int platform = 0;
    std::string accountName;  // as the settings hold it
};

// Windows 0, Linux 1, both 2, from the platform check boxes.
int importPlatform(bool onWindows, bool onLinux);

// Why a run did not start: a path to correct (the window puts the focus there), a root
// category that could not be added, or a transaction the private library refused.
enum class ImportRejection { None, NoFile, MissingFile, NoFolder, MissingFolder, RootCategory, Transaction };

struct ImportOutcome {
    ImportRejection rejection = ImportRejection::None;
    long long rootId = 0;  // the category to show when the run is done
    RunStatistics statistics;
    std::string report;  // HTML
    // The run's rows and report were committed; when false after a run, the user was
    // told that they are lost.
    bool committed = false;
};

struct ReportTimes {
    std::string start;  // "yyyy-mm-dd hh:mm:ss"
    std::string end;
    long long elapsedSeconds = 0;
};

std::string ImportReport(ImportScope scope, ExtractionMode mode, DuplicateRule rule,
                         const ReportTimes& times, const RunStatistics& statistics);

// The whole run. Every message goes through the prompter, ending with "制作完成！" when
// the run took place and was committed; a failed or stopped extraction still gets its
// report.
ImportOutcome RunImport(library::HostDb& db, library::Prompter& prompter, library::Progress& progress,
                        const ImportRequest& request);

}  // namespace orv::tools
