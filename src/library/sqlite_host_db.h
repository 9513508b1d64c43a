// The host database services over SQLite files: what the IDE stand-in serves, and what
// the tests and the command-line tool read and write the libraries with.
#pragma once

#include "library/host_db.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

namespace orv::library {

enum class OpenMode {
    // The host's way: a missing file is created, missing tables and indexes are added.
    CreateMissing,
    // A tool's way: the file must exist and already be a library; nothing is written.
    ExistingOnly
};

class SqliteHostDb : public HostDb {
public:
    SqliteHostDb();
    ~SqliteHostDb() override;
    SqliteHostDb(const SqliteHostDb&) = delete;
    SqliteHostDb& operator=(const SqliteHostDb&) = delete;

    // Maps a library index to a file (UTF-8 path). On failure `error` says why and the
    // index stays unmapped; a file that is not a SQLite library is never written to.
    bool open(int lib, const std::string& path, OpenMode mode, std::string& error);
    // Maps a library index to a fresh in-memory library with the tables of `tablesOf`
    // (kPublic or kPrivate decide which extra tables it has).
    bool openInMemory(int lib, int tablesOf, std::string& error);
    bool isOpen(int lib) const;
    // How long a library locked by another connection is waited for (5 s unless set).
    void setBusyTimeout(int lib, int milliseconds);

    int find(int lib, std::string_view table, std::string_view where, ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override;
    bool findOne(int lib, std::string_view table, std::string_view where, Row& out,
                 std::string_view fields, std::string_view order) override;
    std::string findOnly(int lib, std::string_view table, std::string_view where,
                         std::string_view field, std::string_view order) override;
    long long count(int lib, std::string_view table, std::string_view where) override;
    long long addItem(int lib, std::string_view table, std::string_view assignments) override;
    long long addItemUtf(int lib, std::string_view table, std::string_view assignments) override;
    long long update(int lib, std::string_view table, std::string_view where,
                     std::string_view assignments) override;
    long long updateUtf(int lib, std::string_view table, std::string_view where,
                        std::string_view assignments) override;
    long long deleteItem(int lib, std::string_view table, std::string_view where) override;
    long long maxId(int lib, std::string_view table, std::string_view field,
                    std::string_view where) override;
    bool transaction(int lib, TransactionStep step) override;
    void vacuum(int lib) override;
    std::string errMsg(int lib) override;

private:
    class Connection;
    Connection* connection(int lib);
    bool attach(int lib, std::unique_ptr<Connection> conn, OpenMode mode, int tablesOf,
                std::string& error);

    mutable std::recursive_mutex mutex_;
    std::map<int, std::unique_ptr<Connection>> connections_;
    std::map<int, std::string> lastError_;
};

// The tables a library of that index holds.
std::vector<std::string_view> libraryTables(int tablesOf);

}  // namespace orv::library
