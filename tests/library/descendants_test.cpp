// The descendant list of a category.
#include "library/descendants.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <gtest/gtest.h>

using namespace orv::library;

namespace {

SqliteHostDb& treeDb(SqliteHostDb& db, std::initializer_list<std::pair<int, int>> dirs) {
    std::string error;
    EXPECT_TRUE(db.openInMemory(kPrivate, kPrivate, error)) << error;
    for (auto [dID, parent] : dirs)
        db.addItemUtf(kPrivate, tables::Directory,
                      "dID=" + std::to_string(dID) + ",ParentDir=" + std::to_string(parent) + ",DirName='d'");
    return db;
}

}  // namespace

TEST(Descendants, DepthFirstInStoredOrder) {
    SqliteHostDb db;
    treeDb(db, {{5, 0}, {9, 5}, {10, 5}, {12, 9}, {7, 0}});
    EXPECT_EQ(descendantList(db, kPrivate, 5), "5,9,12,10");
    EXPECT_EQ(descendantList(db, kPrivate, 7), "7");      // no children: its own id alone
    EXPECT_EQ(descendantList(db, kPrivate, 404), "404");  // unknown id: nothing below it
}

TEST(Descendants, ALoopInADamagedTreeEnds) {
    SqliteHostDb db;
    treeDb(db, {{1, 3}, {2, 1}, {3, 2}});
    EXPECT_EQ(descendantList(db, kPrivate, 1), "1,2,3");
}
