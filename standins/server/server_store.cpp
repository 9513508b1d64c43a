// The sync server's state file: its tables, and each read and write as one prepared
// statement.
#include "server_store.h"

#include <sqlite3.h>


namespace orv::server {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS Account(
  uID INTEGER PRIMARY KEY, uName TEXT NOT NULL UNIQUE, Digest TEXT NOT NULL,
  Points INTEGER NOT NULL DEFAULT 0, Allowance INTEGER,
  Locked INTEGER NOT NULL DEFAULT 0, Failures INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS ChangeLog(
  cID INTEGER PRIMARY KEY, uID INTEGER NOT NULL, sCommand INTEGER NOT NULL,
  tID INTEGER NOT NULL, sName TEXT NOT NULL, sText TEXT NOT NULL, uDate INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS ChangeLogByDate ON ChangeLog(uDate);
CREATE INDEX IF NOT EXISTS ChangeLogByAuthor ON ChangeLog(uID, uDate);
CREATE TABLE IF NOT EXISTS IdCounter(Kind INTEGER PRIMARY KEY, LastId INTEGER NOT NULL);
)sql";

// Another process (the account commands) may hold the file for a moment.
constexpr int kBusyTimeoutMs = 5000;

int kindKey(IdKind kind) { return static_cast<int>(kind); }

}  // namespace

class ServerStore::Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw StoreError(std::string("prepare: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, long long value) {
        check(sqlite3_bind_int64(stmt_, index, value), "bind");
        return *this;
    }
    // Empty text is bound as '' rather than NULL.
    Statement& bind(int index, std::string_view text) {
        check(sqlite3_bind_text(stmt_, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT),
              "bind");
        return *this;
    }
    Statement& bind(int index, const std::optional<long long>& value) {
        check(value ? sqlite3_bind_int64(stmt_, index, *value) : sqlite3_bind_null(stmt_, index), "bind");
        return *this;
    }
    // True while a row is there to read.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(std::string("step: ") + sqlite3_errmsg(db_));
    }
    long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    std::string text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }

private:
    void check(int rc, const char* step) const {
        if (rc != SQLITE_OK) throw StoreError(std::string(step) + ": " + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

ServerStore::~ServerStore() { sqlite3_close(db_); }

bool ServerStore::open(const std::string& path, std::string& error) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    try {
        exec(kSchema);
    } catch (const StoreError& e) {
        error = path + " is not a sync server state file (" + e.what() + ")";
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    return true;
}

void ServerStore::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw StoreError(text);
    }
}

std::optional<Account> ServerStore::account(std::string_view name) {
    Statement s(db_, "SELECT uID, uName, Digest, Points, Allowance, Locked, Failures FROM Account WHERE uName=?");
    s.bind(1, name);
    if (!s.step()) return std::nullopt;
    Account a;
    a.uID = s.integer(0);
    a.name = s.text(1);
    a.digest = s.text(2);
    a.points = s.integer(3);
    if (!s.isNull(4)) a.allowance = s.integer(4);
    a.locked = s.integer(5) != 0;
    a.failures = s.integer(6);
    return a;
}

bool ServerStore::addAccount(const Account& account, std::string& error) {
    if (this->account(account.name)) {
        error = "an account named \"" + account.name + "\" exists already";
        return false;
    }
    Statement s(db_, "INSERT INTO Account(uName, Digest, Points, Allowance, Locked) VALUES(?,?,?,?,?)");
    s.bind(1, account.name).bind(2, account.digest).bind(3, account.points).bind(4, account.allowance);
    s.bind(5, account.locked ? 1LL : 0LL).step();
    return true;
}

bool ServerStore::setLocked(std::string_view name, bool locked) {
    Statement s(db_, locked ? "UPDATE Account SET Locked=1 WHERE uName=?"
                            : "UPDATE Account SET Locked=0, Failures=0 WHERE uName=?");
    s.bind(1, name).step();
    return sqlite3_changes(db_) > 0;
}

long long ServerStore::notePasswordFailure(long long uID) {
    Statement(db_, "UPDATE Account SET Failures=Failures+1 WHERE uID=?").bind(1, uID).step();
    Statement s(db_, "SELECT Failures FROM Account WHERE uID=?");
    s.bind(1, uID);
    return s.step() ? s.integer(0) : 0;
}

void ServerStore::clearPasswordFailures(long long uID) {
    Statement(db_, "UPDATE Account SET Failures=0 WHERE uID=? AND Failures<>0").bind(1, uID).step();
}

long long ServerStore::countChangesBy(long long uID, long long date) {
    Statement s(db_, "SELECT count(*) FROM ChangeLog WHERE uID=? AND uDate>?");
    s.bind(1, uID).bind(2, date);
    return s.step() ? s.integer(0) : 0;
}

std::vector<StoredChange> ServerStore::changesAfter(long long date, long long except) {
    Statement s(db_,
                "SELECT c.uID, a.uName, c.sCommand, c.tID, c.sName, c.sText, c.uDate FROM ChangeLog c"
                " JOIN Account a ON a.uID=c.uID WHERE c.uDate>? AND c.uID<>? ORDER BY c.uDate, c.cID");
    s.bind(1, date).bind(2, except);
    std::vector<StoredChange> out;
    while (s.step()) {
        StoredChange c;
        c.uID = s.integer(0);
        c.userName = s.text(1);
        c.code = s.integer(2);
        c.target = s.integer(3);
        c.name = s.text(4);
        c.body = s.text(5);
        c.date = s.integer(6);
        out.push_back(std::move(c));
    }
    return out;
}

long long ServerStore::nextId(IdKind kind) {
    Statement(db_, "INSERT INTO IdCounter(Kind, LastId) VALUES(?, 1) ON CONFLICT(Kind) DO UPDATE SET LastId=LastId+1")
        .bind(1, static_cast<long long>(kindKey(kind)))
        .step();
    Statement s(db_, "SELECT LastId FROM IdCounter WHERE Kind=?");
    s.bind(1, static_cast<long long>(kindKey(kind)));
    if (!s.step()) throw StoreError("id counter vanished");
    return s.integer(0);
}

void ServerStore::reserveIds(IdKind kind, long long id) {
    Statement(db_, "INSERT INTO IdCounter(Kind, LastId) VALUES(?, ?)"
                   " ON CONFLICT(Kind) DO UPDATE SET LastId=max(LastId, excluded.LastId)")
        .bind(1, static_cast<long long>(kindKey(kind)))
        .bind(2, id)
        .step();
}

long long ServerStore::newestDate() {
    Statement s(db_, "SELECT coalesce(max(uDate), 0) FROM ChangeLog");
    return s.step() ? s.integer(0) : 0;
}

long long ServerStore::storeChange(const StoredChange& change) {
    Statement s(db_, "INSERT INTO ChangeLog(uID, sCommand, tID, sName, sText, uDate) VALUES(?,?,?,?,?,?)");
    s.bind(1, change.uID).bind(2, change.code).bind(3, change.target).bind(4, change.name);
    s.bind(5, change.body).bind(6, change.date).step();
    const long long number = sqlite3_last_insert_rowid(db_);
    Statement(db_, "UPDATE Account SET Points=Points+1 WHERE uID=?").bind(1, change.uID).step();
    return number;
}

void ServerStore::begin() { exec("BEGIN IMMEDIATE"); }
void ServerStore::commit() { exec("COMMIT"); }

void ServerStore::rollback() {
    // Called from a destructor while a failure is already on its way: nothing more to say.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace orv::server
