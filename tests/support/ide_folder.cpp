// An IDE folder with its settings and both libraries.
#include "support/ide_folder.h"

#include "library/schema.h"

namespace orv::test {

bool makeIdeFolder(const TempDir& dir, library::SqliteHostDb& db, const std::string& settings, std::string& error) {
    std::filesystem::create_directories(dir.path() / "Settings");
    std::filesystem::create_directories(dir.path() / "Private");
    writeFile(dir.path() / "Settings" / "orv.ini", settings);
    return db.open(library::kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error) &&
           db.open(library::kPrivate, dir.file("Private/PriHelp.db"), library::OpenMode::CreateMissing, error);
}

}  // namespace orv::test
