// Update, delete and query statements run directly on one table of a library, for
// repairs by hand. Nothing done here is written to the change log.
#pragma once

#include "library/host_db.h"
#include "library/prompt.h"

#include <string>

namespace orv::tools {

enum class SqlOperation { Update, Delete, Query };

inline constexpr int kQueryRowLimit = 300;

struct SqlResult {
    bool ok = false;
    long long affected = 0;          // rows changed, deleted or read
    library::ResultTable rows;       // a query's rows (at most 300)
    long long total = 0;             // a query's matching rows in all
    std::string message;             // the message to show (for a query that worked: none)
    std::string caption;             // a query's result window caption
};

// The tables the tool may address.
bool isDirectSqlTable(std::string_view table);

// Runs one statement; `auxiliary` is the assignment list of an update or the order of a
// query (unused for a delete). A query that finds no row counts as a failure.
SqlResult RunDirectSql(library::HostDb& db, int lib, std::string_view table, SqlOperation op,
                       std::string_view condition, std::string_view auxiliary);

}  // namespace orv::tools
