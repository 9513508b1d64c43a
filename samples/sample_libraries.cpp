#include "sample_libraries.h"

#include "library/paths.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <filesystem>
#include <fstream>

namespace orv::samples {
namespace {

using namespace orv::library;

bool load(SqliteHostDb& db, int lib, const std::string& rowsFile, std::string& error) {
    std::ifstream in(std::filesystem::u8path(rowsFile), std::ios::binary);
    if (!in) {
        error = "cannot read " + rowsFile;
        return false;
    }
    HostTransaction transaction(db, lib);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        for (size_t at = 0; (at = line.find("\\n", at)) != std::string::npos; at += 2) line.replace(at, 2, "\r\n");
        const size_t bar = line.find('|');
        if (bar == std::string::npos || db.addItemUtf(lib, line.substr(0, bar), line.substr(bar + 1)) < 1) {
            error = rowsFile + ":" + std::to_string(lineNo) + ": " +
                    (bar == std::string::npos ? std::string("no '|' after the table name") : db.errMsg(lib));
            return false;
        }
    }
    if (!transaction.commit()) {
        error = rowsFile + ": " + db.errMsg(lib);
        return false;
    }
    return true;
}

}  // namespace

bool makeSampleLibraries(const std::string& ideFolder, const std::string& publicRows, const std::string& privateRows,
                         std::string& error) {
    const struct {
        int lib;
        std::string_view file;
        const std::string& rows;
    } libs[] = {{kPublic, kPublicFile, publicRows}, {kPrivate, kPrivateFile, privateRows}};
    for (const auto& l : libs) {
        const std::filesystem::path path = std::filesystem::u8path(ideFile(ideFolder, l.file));
        std::error_code failure;
        std::filesystem::create_directories(path.parent_path(), failure);
        std::filesystem::remove(path, failure);
        if (failure) {
            error = "cannot replace " + path.u8string() + ": " + failure.message();
            return false;
        }
        SqliteHostDb db;
        if (!db.open(l.lib, path.u8string(), OpenMode::CreateMissing, error)) return false;
        if (!load(db, l.lib, l.rows, error)) return false;
    }
    return true;
}

}  // namespace orv::samples
