// The host's database services as one interface: the plug-in implements it over the
// host's exports, the native build over SQLite. Everything above it reads and writes the
// libraries through these calls only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::library {

using Row = std::vector<std::string>;

// What a list request returns: the column names, then the rows, every value as UTF-8
// text in the order of the field list.
struct ResultTable {
    std::vector<std::string> columns;
    std::vector<Row> rows;

    int count() const { return static_cast<int>(rows.size()); }
    // Text of a cell, "" outside the table.
    const std::string& text(int row, int column) const;
    // A cell read as a number (empty text gives 0).
    long long number(int row, int column) const;
};

// Cell helpers for a single row.
const std::string& cellText(const Row& row, int column);
long long cellNumber(const Row& row, int column);

enum class TransactionStep : int { Begin = 0, Commit = 1 };

class HostDb {
public:
    virtual ~HostDb() = default;

    // Lists rows; limit 0 means no limit. Returns the number of rows read.
    virtual int find(int lib, std::string_view table, std::string_view where, ResultTable& out,
                     std::string_view fields, std::string_view order, int limit) = 0;
    // Reads the first matching row; false when none matches.
    virtual bool findOne(int lib, std::string_view table, std::string_view where, Row& out,
                         std::string_view fields, std::string_view order) = 0;
    // The first matching row's value of one field, "" when none matches.
    virtual std::string findOnly(int lib, std::string_view table, std::string_view where,
                                 std::string_view field, std::string_view order) = 0;
    virtual long long count(int lib, std::string_view table, std::string_view where) = 0;

    // Adds a row from an assignment list; returns the new id, below 1 on failure.
    // addItem crosses to the host as UTF-16, addItemUtf as UTF-8; both store the same text.
    virtual long long addItem(int lib, std::string_view table, std::string_view assignments) = 0;
    virtual long long addItemUtf(int lib, std::string_view table, std::string_view assignments) = 0;
    // Changes rows; returns the number changed, -1 when the statement failed (so a
    // failure is never taken for "nothing matched").
    virtual long long update(int lib, std::string_view table, std::string_view where,
                             std::string_view assignments) = 0;
    virtual long long updateUtf(int lib, std::string_view table, std::string_view where,
                                std::string_view assignments) = 0;
    // Deletes rows; returns the number deleted, -1 when the statement failed.
    virtual long long deleteItem(int lib, std::string_view table, std::string_view where) = 0;
    // Largest value of a column, 0 for an empty table.
    virtual long long maxId(int lib, std::string_view table, std::string_view field,
                            std::string_view where) = 0;

    // False when the step failed (a commit that did not land: its writes are gone). A
    // host that cannot tell answers true.
    virtual bool transaction(int lib, TransactionStep step) = 0;
    virtual void vacuum(int lib) = 0;
    // Text of the last error on that library.
    virtual std::string errMsg(int lib) = 0;
};

// A host transaction on one library, committed on every way out (host transactions are
// never rolled back); commit() says whether the commit landed.
class HostTransaction {
public:
    HostTransaction(HostDb& db, int lib) : db_(db), lib_(lib) {
        begun_ = db_.transaction(lib_, TransactionStep::Begin);
    }
    ~HostTransaction() {
        if (!committed_) db_.transaction(lib_, TransactionStep::Commit);
    }
    HostTransaction(const HostTransaction&) = delete;
    HostTransaction& operator=(const HostTransaction&) = delete;

    bool begun() const { return begun_; }
    bool commit() {
        committed_ = true;
        return db_.transaction(lib_, TransactionStep::Commit) && begun_;
    }

private:
    HostDb& db_;
    int lib_;
    bool begun_ = false;
    bool committed_ = false;
};

// The message shown when an add returned an id below 1.
std::string failedAddMessage(HostDb& db, int lib);
// The same words for an error text read when the write failed (every later request of
// the host starts its last-error text afresh).
std::string failedWriteMessage(std::string_view error);

}  // namespace orv::library
