// SQLite implementation of the host database services: one connection per library
// index, statements prepared once and reused, every failure kept as the last error.
#include "library/sqlite_host_db.h"

#include "library/fragment.h"
#include "library/schema.h"

#include <sqlite3.h>

#include <unordered_map>

namespace orv::library {

namespace {

struct TableDef {
    std::string_view name;
    const Column* columns;
    size_t count;
    bool firstIsKey;
};

template <size_t N>
constexpr TableDef def(std::string_view name, const std::array<Column, N>& cols, bool key) {
    return {name, cols.data(), N, key};
}

const TableDef kTableDefs[] = {
    def(tables::Directory, kDirectoryColumns, true),
    def(tables::KeywordList, kKeywordListColumns, true),
    def(tables::KeywordData, kKeywordDataColumns, true),
    def(tables::User, kUserColumns, false),
    def(tables::UpdateList, kUpdateListColumns, true),
    def(tables::Favorite, kFavoriteColumns, false),
};

// The columns the help window filters and joins on.
const char* const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS idxDirectoryParent ON Directory(ParentDir)",
    "CREATE INDEX IF NOT EXISTS idxDirectoryType ON Directory(nType)",
    "CREATE INDEX IF NOT EXISTS idxListDir ON KeywordList(dID,nType)",
    "CREATE INDEX IF NOT EXISTS idxListData ON KeywordList(sID)",
    "CREATE INDEX IF NOT EXISTS idxDataUKeyWord ON KeywordData(UKeyWord)",
    // The index tab finds names by prefix (LIKE 'X%'), which only an index of NOCASE
    // collation can serve while LIKE ignores case.
    "CREATE INDEX IF NOT EXISTS idxDataUKeyWordPrefix ON KeywordData(UKeyWord COLLATE NOCASE)",
    "CREATE INDEX IF NOT EXISTS idxDataType ON KeywordData(nType)",
    "CREATE INDEX IF NOT EXISTS idxFavoriteEntry ON Favorite(kID)",
    "CREATE INDEX IF NOT EXISTS idxUserId ON User(uID)",
    "CREATE INDEX IF NOT EXISTS idxUpdateState ON UpdateList(sExecute)",
};

std::string createTableSql(const TableDef& t) {
    std::string sql = "CREATE TABLE IF NOT EXISTS ";
    sql.append(t.name).append(" (");
    for (size_t i = 0; i < t.count; ++i) {
        const Column& c = t.columns[i];
        if (i) sql += ", ";
        sql.append(c.name);
        if (i == 0 && t.firstIsKey) sql += " INTEGER PRIMARY KEY";
        else sql += c.integer ? " INTEGER DEFAULT 0" : " TEXT DEFAULT ''";
    }
    return sql + ")";
}

bool isIdentifier(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string_view> libraryTables(int tablesOf) {
    std::vector<std::string_view> names{tables::Directory, tables::KeywordList, tables::KeywordData};
    if (tablesOf == kPublic) {
        names.push_back(tables::User);
        names.push_back(tables::UpdateList);
    } else if (tablesOf == kPrivate) {
        names.push_back(tables::Favorite);
    }
    return names;
}

// One open library: the SQLite handle, its prepared statements and its transaction depth.
class SqliteHostDb::Connection {
public:
    explicit Connection(sqlite3* db) : db_(db) {}
    ~Connection() {
        for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
        sqlite3_close_v2(db_);
    }

    sqlite3* handle() const { return db_; }
    int depth = 0;

    // A prepared statement for `sql`, reset and ready; null with `error` set on failure.
    sqlite3_stmt* prepare(const std::string& sql, std::string& error) {
        auto it = statements_.find(sql);
        if (it != statements_.end()) {
            sqlite3_reset(it->second);
            return it->second;
        }
        // Fragments carry their values inline, so statements differ by id; keep the cache
        // bounded rather than growing with every id ever asked for.
        if (statements_.size() >= kMaxCached) {
            for (auto& [s, stmt] : statements_) sqlite3_finalize(stmt);
            statements_.clear();
        }
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) != SQLITE_OK) {
            error = sqlite3_errmsg(db_);
            return nullptr;
        }
        if (!stmt) {
            error = "empty statement";
            return nullptr;
        }
        // One statement per call: a fragment that smuggles in a second one is refused.
        while (tail && *tail && (*tail == ' ' || *tail == ';' || *tail == '\n' || *tail == '\r' || *tail == '\t')) ++tail;
        if (tail && *tail) {
            sqlite3_finalize(stmt);
            error = "more than one statement in a request";
            return nullptr;
        }
        statements_.emplace(sql, stmt);
        return stmt;
    }

    // Runs a statement to its end; SQLITE_DONE on success.
    int run(const std::string& sql, std::string& error) {
        sqlite3_stmt* stmt = prepare(sql, error);
        if (!stmt) return SQLITE_ERROR;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {}
        if (rc != SQLITE_DONE) error = sqlite3_errmsg(db_);
        sqlite3_reset(stmt);
        return rc;
    }

private:
    static constexpr size_t kMaxCached = 256;
    sqlite3* db_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

SqliteHostDb::SqliteHostDb() = default;
SqliteHostDb::~SqliteHostDb() = default;

bool SqliteHostDb::open(int lib, const std::string& path, OpenMode mode, std::string& error) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX |
                      (mode == OpenMode::CreateMissing ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = path + ": cannot open the library file (missing or unreadable)";
        sqlite3_close_v2(db);
        return false;
    }
    if (!attach(lib, std::make_unique<Connection>(db), mode, lib, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SqliteHostDb::openInMemory(int lib, int tablesOf, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        error = "cannot open an in-memory library";
        sqlite3_close_v2(db);
        return false;
    }
    return attach(lib, std::make_unique<Connection>(db), OpenMode::CreateMissing, tablesOf, error);
}

bool SqliteHostDb::attach(int lib, std::unique_ptr<Connection> conn, OpenMode mode, int tablesOf,
                          std::string& error) {
    sqlite3* db = conn->handle();
    sqlite3_busy_timeout(db, 5000);
    // Reading the schema is the first touch of the file: a file that is not a database
    // fails here, before anything could be written to it.
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &stmt, nullptr) != SQLITE_OK) {
        error = std::string("not a SQLite library file (") + sqlite3_errmsg(db) + ")";
        return false;
    }
    std::vector<std::string> existing;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        existing.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        error = std::string("not a SQLite library file (") + sqlite3_errmsg(db) + ")";
        return false;
    }
    const auto has = [&](std::string_view name) {
        for (const auto& e : existing)
            if (e.size() == name.size() && sqlite3_strnicmp(e.c_str(), name.data(), static_cast<int>(name.size())) == 0)
                return true;
        return false;
    };
    const std::vector<std::string_view> wanted = libraryTables(tablesOf);
    if (mode == OpenMode::ExistingOnly) {
        for (std::string_view name : {tables::Directory, tables::KeywordList, tables::KeywordData}) {
            if (!has(name)) {
                error = "not a help library (it has no table " + std::string(name) + ")";
                return false;
            }
        }
    } else {
        std::string sql = "BEGIN;";
        for (std::string_view name : wanted)
            for (const TableDef& t : kTableDefs)
                if (t.name == name) sql += createTableSql(t) + ";";
        for (const char* index : kIndexes) {
            const std::string_view text(index);
            for (std::string_view name : wanted)
                if (text.find(" ON " + std::string(name) + "(") != std::string_view::npos) sql += std::string(text) + ";";
        }
        sql += "COMMIT;";
        char* msg = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            error = std::string("cannot create the library tables (") + (msg ? msg : "") + ")";
            sqlite3_free(msg);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    std::lock_guard lock(mutex_);
    connections_[lib] = std::move(conn);
    return true;
}

bool SqliteHostDb::isOpen(int lib) const {
    std::lock_guard lock(mutex_);
    return connections_.count(lib) != 0;
}

// Every request starts afresh: the last error always belongs to the last request.
SqliteHostDb::Connection* SqliteHostDb::connection(int lib) {
    auto it = connections_.find(lib);
    if (it == connections_.end()) {
        lastError_[lib] = "library " + std::to_string(lib) + " is not open";
        return nullptr;
    }
    lastError_.erase(lib);
    return it->second.get();
}

namespace {

std::string selectSql(std::string_view table, std::string_view where, std::string_view fields,
                      std::string_view order, int limit) {
    std::string sql = "SELECT ";
    sql.append(fields.empty() ? std::string_view("*") : fields).append(" FROM ").append(table);
    if (!where.empty()) sql.append(" WHERE ").append(where);
    if (!order.empty()) sql.append(" ORDER BY ").append(order);
    if (limit > 0) sql.append(" LIMIT ").append(std::to_string(limit));
    return sql;
}

std::string columnText(sqlite3_stmt* stmt, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt, i))) : std::string();
}

}  // namespace

int SqliteHostDb::find(int lib, std::string_view table, std::string_view where, ResultTable& out,
                       std::string_view fields, std::string_view order, int limit) {
    std::lock_guard lock(mutex_);
    out.columns.clear();
    out.rows.clear();
    Connection* c = connection(lib);
    if (!c) return 0;
    std::string error;
    sqlite3_stmt* stmt = c->prepare(selectSql(table, where, fields, order, limit), error);
    if (!stmt) {
        lastError_[lib] = error;
        return 0;
    }
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) out.columns.emplace_back(sqlite3_column_name(stmt, i));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        row.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) row.push_back(columnText(stmt, i));
        out.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) lastError_[lib] = sqlite3_errmsg(c->handle());
    sqlite3_reset(stmt);
    return out.count();
}

bool SqliteHostDb::findOne(int lib, std::string_view table, std::string_view where, Row& out,
                           std::string_view fields, std::string_view order) {
    ResultTable t;
    out.clear();
    if (find(lib, table, where, t, fields, order, 1) < 1) return false;
    out = std::move(t.rows.front());
    return true;
}

std::string SqliteHostDb::findOnly(int lib, std::string_view table, std::string_view where,
                                   std::string_view field, std::string_view order) {
    Row row;
    return findOne(lib, table, where, row, field, order) ? cellText(row, 0) : std::string();
}

long long SqliteHostDb::count(int lib, std::string_view table, std::string_view where) {
    ResultTable t;
    if (find(lib, table, where, t, "count(*)", "", 0) < 1) return 0;
    return t.number(0, 0);
}

long long SqliteHostDb::addItem(int lib, std::string_view table, std::string_view assignments) {
    std::lock_guard lock(mutex_);
    Connection* c = connection(lib);
    if (!c) return 0;
    std::string columns, values;
    for (std::string_view item : splitOutsideQuotes(assignments)) {
        Assignment a;
        if (!splitAssignment(item, a) || !isIdentifier(a.column) || a.value.empty()) {
            lastError_[lib] = "malformed assignment \"" + std::string(item) + "\"";
            return 0;
        }
        if (!columns.empty()) {
            columns += ',';
            values += ',';
        }
        columns.append(a.column);
        values.append(a.value);
    }
    std::string sql = "INSERT INTO ";
    sql.append(table).append(" (").append(columns).append(") VALUES (").append(values).append(")");
    std::string error;
    if (c->run(sql, error) != SQLITE_DONE) {
        lastError_[lib] = error;
        return 0;
    }
    return sqlite3_last_insert_rowid(c->handle());
}

// Both services store the same text here; a subclass that watches one must not see the
// other's calls as well.
long long SqliteHostDb::addItemUtf(int lib, std::string_view table, std::string_view assignments) {
    return SqliteHostDb::addItem(lib, table, assignments);
}

long long SqliteHostDb::update(int lib, std::string_view table, std::string_view where,
                               std::string_view assignments) {
    std::lock_guard lock(mutex_);
    Connection* c = connection(lib);
    if (!c) return -1;
    std::string sql = "UPDATE ";
    sql.append(table).append(" SET ").append(assignments);
    if (!where.empty()) sql.append(" WHERE ").append(where);
    std::string error;
    if (c->run(sql, error) != SQLITE_DONE) {
        lastError_[lib] = error;
        return -1;
    }
    return sqlite3_changes(c->handle());
}

long long SqliteHostDb::updateUtf(int lib, std::string_view table, std::string_view where,
                                  std::string_view assignments) {
    return SqliteHostDb::update(lib, table, where, assignments);
}

long long SqliteHostDb::deleteItem(int lib, std::string_view table, std::string_view where) {
    std::lock_guard lock(mutex_);
    Connection* c = connection(lib);
    if (!c) return -1;
    std::string sql = "DELETE FROM ";
    sql.append(table);
    if (!where.empty()) sql.append(" WHERE ").append(where);
    std::string error;
    if (c->run(sql, error) != SQLITE_DONE) {
        lastError_[lib] = error;
        return -1;
    }
    return sqlite3_changes(c->handle());
}

long long SqliteHostDb::maxId(int lib, std::string_view table, std::string_view field,
                              std::string_view where) {
    ResultTable t;
    const std::string expr = "max(" + std::string(field) + ")";
    if (find(lib, table, where, t, expr, "", 0) < 1) return 0;
    return t.number(0, 0);
}

bool SqliteHostDb::transaction(int lib, TransactionStep step) {
    std::lock_guard lock(mutex_);
    Connection* c = connection(lib);
    if (!c) return false;
    std::string error;
    // Nested begins share one SQLite transaction, committed when the outermost commits.
    if (step == TransactionStep::Begin) {
        // Immediate: the library is held against other writers from the start, so that
        // what a caller does inside (a backup copying the file) sees no half-done write.
        if (c->depth++ == 0 && c->run("BEGIN IMMEDIATE", error) != SQLITE_DONE) {
            lastError_[lib] = error;
            c->depth = 0;
            return false;
        }
        return true;
    }
    if (c->depth == 0 || --c->depth > 0) return true;
    if (c->run("COMMIT", error) == SQLITE_DONE) return true;
    lastError_[lib] = error;
    // A commit that could not get its lock leaves the transaction open; every later
    // write would then join it and be lost as well. End it, so that the failure stays
    // with the writes that were asked to commit.
    if (!sqlite3_get_autocommit(c->handle())) {
        std::string ignored;
        c->run("ROLLBACK", ignored);
    }
    return false;
}

void SqliteHostDb::setBusyTimeout(int lib, int milliseconds) {
    std::lock_guard lock(mutex_);
    if (Connection* c = connection(lib)) sqlite3_busy_timeout(c->handle(), milliseconds);
}

void SqliteHostDb::vacuum(int lib) {
    std::lock_guard lock(mutex_);
    Connection* c = connection(lib);
    if (!c) return;
    std::string error;
    if (c->run("VACUUM", error) != SQLITE_DONE) lastError_[lib] = error;
}

std::string SqliteHostDb::errMsg(int lib) {
    std::lock_guard lock(mutex_);
    auto it = lastError_.find(lib);
    return it == lastError_.end() ? std::string() : it->second;
}

}  // namespace orv::library
