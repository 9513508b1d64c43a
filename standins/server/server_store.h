// The sync server's own state in one SQLite file: accounts, the relayed changes and the
// id counters. Every failure of SQLite is thrown as StoreError.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace orv::server {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Account {
    long long uID = 0;
    std::string name;
    std::string digest;  // the client's password digest, never the password
    long long points = 0;
    std::optional<long long> allowance;  // changes per 24 hours; unset: by points
    bool locked = false;
    long long failures = 0;  // wrong passwords in a row
};

// Which counter an id comes from; each table of the libraries numbers its own rows.
enum class IdKind { Category, Entry, Data };

// A change as it is kept for relaying: what the author sent, with the ids it was given.
struct StoredChange {
    long long uID = 0;
    std::string userName;
    long long code = 0;
    long long target = 0;  // tID of the relayed record
    std::string name;
    std::string body;
    long long date = 0;
};

class ServerStore {
public:
    ServerStore() = default;
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    // Opens (creating when missing) the state file; false with `error` set on failure.
    bool open(const std::string& path, std::string& error);

    std::optional<Account> account(std::string_view name);
    // False (with `error`) when the name is taken.
    bool addAccount(const Account& account, std::string& error);
    // False when there is no such account. Unlocking also forgets wrong passwords.
    bool setLocked(std::string_view name, bool locked);
    // The number of wrong passwords in a row after this one.
    long long notePasswordFailure(long long uID);
    void clearPasswordFailures(long long uID);

    // The number of changes of this account dated after `date`.
    long long countChangesBy(long long uID, long long date);
    // Changes of every account but `except` (0: of every account) dated after `date`,
    // oldest first.
    std::vector<StoredChange> changesAfter(long long date, long long except);

    // The next id of that kind: above every id handed out or seen so far.
    long long nextId(IdKind kind);
    // Ids up to `id` are taken: later ids of that kind come above it.
    void reserveIds(IdKind kind, long long id);

    // The date of the newest change kept, 0 when there is none.
    long long newestDate();
    // Keeps the change, gives its author a point; the change's number.
    long long storeChange(const StoredChange& change);

    // All or nothing: a throw between begin and commit leaves the file as it was.
    void begin();
    void commit();
    void rollback();

private:
    class Statement;
    void exec(const char* sql);

    sqlite3* db_ = nullptr;
};

// Ties a run of store calls into one transaction that is undone unless committed.
class StoreTransaction {
public:
    explicit StoreTransaction(ServerStore& store) : store_(store) { store_.begin(); }
    ~StoreTransaction() {
        if (!committed_) store_.rollback();
    }
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;
    void commit() {
        store_.commit();
        committed_ = true;
    }

private:
    ServerStore& store_;
    bool committed_ = false;
};

}  // namespace orv::server
