// An IDE folder for tests of orvhelp's commands: the settings file with the given text
// and both library files, made and opened.
#pragma once

#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"

#include <string>

namespace orv::test {

// Settings\orv.ini holding `settings`, and Settings\PubHelp.db and Private\PriHelp.db
// created and opened in `db`. False with `error` saying which file failed.
bool makeIdeFolder(const TempDir& dir, library::SqliteHostDb& db, const std::string& settings, std::string& error);

}  // namespace orv::test
