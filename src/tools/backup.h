// Backing up both library files beside themselves, named with a date stamp.
#pragma once

#include "library/prompt.h"

#include <ctime>
#include <string>

namespace orv::tools {

// "2024年03月05日14时07分09秒"
std::string backupStamp(const std::tm& local);

struct BackupResult {
    bool ok = false;
    std::string message;  // what the user is shown
};

// Copies Settings\PubHelp.db and Private\PriHelp.db of the IDE folder to
// <stamp>_PubHelp.db and <stamp>_PriHelp.db in the same folders, replacing copies of the
// same second. A copy that fails is reported as such, never as a finished backup.
BackupResult BackupLibraries(const std::string& ideFolder, const std::tm& local);

// The backup command: copies and shows the result.
void runBackup(const std::string& ideFolder, library::Prompter& prompter);

}  // namespace orv::tools
