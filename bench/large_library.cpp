// Multiplying the manual fixture into a large library.
#include "large_library.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace orv::bench {

fs::path sharedFolder() {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    return fs::path(shared ? shared : ORV_SOURCE_DIR "/../shared");
}

fs::path manualFixture() { return sharedFolder() / "fixtures" / "PubHelp-fbmanual.db"; }

std::string makeLargeLibrary(const fs::path& file, long long minEntries) {
    const fs::path fixture = manualFixture();
    if (!fs::exists(fixture)) return "the fixture " + fixture.string() + " is absent: skipped";
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    fs::copy_file(fixture, file, fs::copy_options::overwrite_existing, ec);
    if (ec) return "cannot copy the fixture: " + ec.message();
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);

    using namespace library;
    SqliteHostDb db;
    std::string error;
    if (!db.open(kPublic, file.string(), OpenMode::CreateMissing, error)) return error;
    ResultTable rows;
    db.find(kPublic, tables::ListAndData, tables::JoinCondition, rows,
            "KeywordList.dID,KeywordData.KeyWord,KeywordData.Description,KeywordData.nType", "KeywordData.sID", 0);
    if (rows.count() == 0) return "the fixture holds no entries";
    db.transaction(kPublic, TransactionStep::Begin);
    for (int copy = 1; db.count(kPublic, tables::KeywordData, "") < minEntries; ++copy) {
        for (int i = 0; i < rows.count(); ++i) {
            const std::string keyword = rows.text(i, 1) + "_" + std::to_string(copy);
            const long long sID = db.addItemUtf(kPublic, tables::KeywordData,
                Assignments().addText("KeyWord", keyword).addText("UKeyWord", keyword)
                    .addText("Description", rows.text(i, 2)).add("nType", rows.number(i, 3)).str());
            db.addItemUtf(kPublic, tables::KeywordList,
                          Assignments().add("dID", rows.number(i, 0)).add("sID", sID).addText("DisplayKeyWord", keyword).str());
        }
    }
    db.transaction(kPublic, TransactionStep::Commit);
    return {};
}

}  // namespace orv::bench
