// In-memory libraries that record what is asked of them and can make one write of a
// kind fail, as a full, locked or broken library would: the tests' host double.
#pragma once

#include "library/sqlite_host_db.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

class WatchedHostDb : public library::SqliteHostDb {
public:
    enum class Write { Add, Update, Delete, Commit };

    // Opens the public (0) and private (1) libraries in memory.
    WatchedHostDb();

    // The `nth` (from 1) write of that kind from now on fails, and only that one: an add
    // returns 0, an update or delete -1, a commit false. Any earlier setting is dropped.
    void failWrite(Write kind, int nth);
    // Writes of that kind asked for since the last failWrite (or since opening).
    int writes(Write kind) const { return counts_[static_cast<int>(kind)]; }

    // "table:items" of every add, and "begin"/"commit" of every transaction step.
    std::vector<std::string> adds;
    std::vector<std::string> steps;

    long long addItem(int lib, std::string_view table, std::string_view assignments) override;
    long long addItemUtf(int lib, std::string_view table, std::string_view assignments) override;
    long long update(int lib, std::string_view table, std::string_view where,
                     std::string_view assignments) override;
    long long updateUtf(int lib, std::string_view table, std::string_view where,
                        std::string_view assignments) override;
    long long deleteItem(int lib, std::string_view table, std::string_view where) override;
    bool transaction(int lib, library::TransactionStep step) override;

private:
    // Counts the write and says whether it is the one to fail.
    bool fails(Write kind);

    int counts_[4] = {};
    Write failKind_ = Write::Add;
    int failAt_ = 0;
};

}  // namespace orv::test
