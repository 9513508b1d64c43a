// Two in-memory libraries and a view folder with small templates, for page tests.
#pragma once

#include "library/sqlite_host_db.h"
#include "render/page_renderer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orv::test {

class RenderFixture : public ::testing::Test {
protected:
    void SetUp() override;

    long long addCategory(int lib, long long parent, const std::string& name, const std::string& extra = "");
    // Adds a data row and its placement; `data` and `list` are extra assignment items.
    long long addEntry(int lib, long long dID, const std::string& keyword, const std::string& data = "",
                       const std::string& list = "");
    // Places an existing entry's data (the sID of kID) once more.
    long long placeAgain(int lib, long long kID, long long dID);

    render::PageSources sources(bool classified = true) { return {db, dir.path().string() + "/", classified}; }
    std::optional<render::Page> keywordPage(int lib, long long kID, const std::string& searchWord = "");
    std::optional<render::Page> folderPage(int lib, long long dID, int type = 0, bool classified = true);

    TempDir dir;
    library::SqliteHostDb db;
};

// The part of a page between two markers of the test templates ("[name]" ... "[/name]").
std::string part(const std::string& page, const std::string& name);

}  // namespace orv::test
