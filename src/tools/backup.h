// Backing up both library files beside themselves, named with a date stamp, while the
// host's writes are held off.
#pragma once

#include "library/host_db.h"
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
// same second. A write transaction on both libraries is held through the host while
// the files are copied, so that no write of the host is half done in a copy; each copy
// is then read back and compared with its library file. A failure ("备份失败！" and which
// copy, or which library could not be held) is never reported as a finished backup.
BackupResult BackupLibraries(library::HostDb& db, const std::string& ideFolder, const std::tm& local);

// The backup command: copies and shows the result.
void runBackup(library::HostDb& db, const std::string& ideFolder, library::Prompter& prompter);

}  // namespace orv::tools
