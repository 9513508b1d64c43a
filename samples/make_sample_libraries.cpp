// Builds a sample IDE folder's two libraries from the row lists in samples/:
//   make_sample_libraries IDE_DIR public.rows private.rows
// Each row list holds lines "Table|assignment list"; '#' starts a comment line, and
// "\n" inside a line stands for a line break (CR LF) in the stored text.
#include "library/schema.h"
#include "library/paths.h"
#include "library/sqlite_host_db.h"

#include <filesystem>
#include <fstream>
#include <iostream>

using namespace orv::library;

namespace {

bool load(SqliteHostDb& db, int lib, const std::string& rowsFile) {
    std::ifstream in(rowsFile, std::ios::binary);
    if (!in) {
        std::cerr << "make_sample_libraries: cannot read " << rowsFile << '\n';
        return false;
    }
    db.transaction(lib, TransactionStep::Begin);
    std::string line;
    int lineNo = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        for (size_t at = 0; (at = line.find("\\n", at)) != std::string::npos; at += 2) line.replace(at, 2, "\r\n");
        const size_t bar = line.find('|');
        if (bar == std::string::npos || db.addItemUtf(lib, line.substr(0, bar), line.substr(bar + 1)) < 1) {
            std::cerr << rowsFile << ':' << lineNo << ": " << db.errMsg(lib) << '\n';
            ok = false;
        }
    }
    db.transaction(lib, TransactionStep::Commit);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_sample_libraries IDE_DIR public.rows private.rows\n";
        return 2;
    }
    const std::string ide = argv[1];
    const struct { int lib; std::string_view file; const char* rows; } libs[] = {
        {kPublic, kPublicFile, argv[2]}, {kPrivate, kPrivateFile, argv[3]}};
    for (const auto& l : libs) {
        const std::string path = ideFile(ide, l.file);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::remove(path);
        SqliteHostDb db;
        std::string error;
        if (!db.open(l.lib, path, OpenMode::CreateMissing, error)) {
            std::cerr << "make_sample_libraries: " << error << '\n';
            return 1;
        }
        if (!load(db, l.lib, l.rows)) return 1;
    }
    return 0;
}
