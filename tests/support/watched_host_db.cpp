// The tests' host double: real in-memory libraries with recorded calls and chosen
// failures.
#include "support/watched_host_db.h"

#include "library/schema.h"

#include <stdexcept>

namespace orv::test {

using library::TransactionStep;

WatchedHostDb::WatchedHostDb() {
    std::string error;
    if (!openInMemory(library::kPublic, library::kPublic, error) ||
        !openInMemory(library::kPrivate, library::kPrivate, error))
        throw std::runtime_error("in-memory libraries: " + error);
}

void WatchedHostDb::failWrite(Write kind, int nth) {
    for (int& c : counts_) c = 0;
    failKind_ = kind;
    failAt_ = nth;
}

bool WatchedHostDb::fails(Write kind) {
    const int n = ++counts_[static_cast<int>(kind)];
    return kind == failKind_ && n == failAt_;
}

long long WatchedHostDb::addItem(int lib, std::string_view table, std::string_view assignments) {
    adds.push_back(std::string(table) + ":" + std::string(assignments));
    return fails(Write::Add) ? 0 : SqliteHostDb::addItem(lib, table, assignments);
}

long long WatchedHostDb::addItemUtf(int lib, std::string_view table, std::string_view assignments) {
    adds.push_back(std::string(table) + ":" + std::string(assignments));
    return fails(Write::Add) ? 0 : SqliteHostDb::addItemUtf(lib, table, assignments);
}

long long WatchedHostDb::update(int lib, std::string_view table, std::string_view where,
                                std::string_view assignments) {
    return fails(Write::Update) ? -1 : SqliteHostDb::update(lib, table, where, assignments);
}

long long WatchedHostDb::updateUtf(int lib, std::string_view table, std::string_view where,
                                   std::string_view assignments) {
    return fails(Write::Update) ? -1 : SqliteHostDb::updateUtf(lib, table, where, assignments);
}

long long WatchedHostDb::deleteItem(int lib, std::string_view table, std::string_view where) {
    return fails(Write::Delete) ? -1 : SqliteHostDb::deleteItem(lib, table, where);
}

bool WatchedHostDb::transaction(int lib, TransactionStep step) {
    steps.push_back(step == TransactionStep::Begin ? "begin" : "commit");
    const bool done = SqliteHostDb::transaction(lib, step);
    // A failed commit is told as the host would tell it; the rows stay, which only
    // makes a caller that ignores the answer easier to catch.
    return step == TransactionStep::Commit && fails(Write::Commit) ? false : done;
}

}  // namespace orv::test
