// orvhelp's library tools: backups of both libraries and statements run directly.
#include "cli/command.h"

#include "library/paths.h"
#include "library/schema.h"
#include "library/udate.h"
#include "text/encoding.h"
#include "tools/backup.h"
#include "tools/direct_sql.h"

#include <ctime>
#include <ostream>

namespace orv::cli {
namespace {

int backupCommand(Context& ctx) {
    const std::string ide = ideFolder(ctx);
    const tools::BackupResult result = tools::BackupLibraries(library::withTrailingSeparator(ide), library::localNow());
    if (!result.ok) failure(result.message);
    ctx.out << result.message << '\n';
    return kExitOk;
}

// Columns as wide as their widest cell, counting CJK characters as two.
size_t displayWidth(const std::string& utf8) {
    size_t width = 0;
    for (char16_t c : text::utf8ToUtf16(utf8)) {
        if (c >= 0xDC00 && c <= 0xDFFF) continue;  // second half of a pair
        width += (c >= 0x1100 && (c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                                  (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60)))
                     ? 2 : 1;
    }
    return width;
}

void printTable(std::ostream& out, const library::ResultTable& t) {
    std::vector<size_t> widths(t.columns.size(), 0);
    auto cellOf = [&](size_t r, size_t c) -> std::string {
        std::string s = r == 0 ? t.columns[c] : t.text(static_cast<int>(r - 1), static_cast<int>(c));
        // One line per row: line breaks inside a value are shown as "\n".
        for (size_t at; (at = s.find("\r\n")) != std::string::npos;) s.replace(at, 2, "\\n");
        for (size_t at; (at = s.find('\n')) != std::string::npos;) s.replace(at, 1, "\\n");
        return s;
    };
    for (size_t r = 0; r <= t.rows.size(); ++r)
        for (size_t c = 0; c < widths.size(); ++c) widths[c] = std::max(widths[c], displayWidth(cellOf(r, c)));
    for (size_t r = 0; r <= t.rows.size(); ++r) {
        for (size_t c = 0; c < widths.size(); ++c) {
            const std::string cell = cellOf(r, c);
            out << (c ? " | " : "") << cell;
            if (c + 1 < widths.size()) out << std::string(widths[c] - displayWidth(cell), ' ');
        }
        out << '\n';
        if (r == 0) {
            for (size_t c = 0; c < widths.size(); ++c) out << (c ? "-+-" : "") << std::string(widths[c], '-');
            out << '\n';
        }
    }
}

int sqlCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const int lib = libraryArgument(p[0]);
    const std::string& table = p[1];
    if (!tools::isDirectSqlTable(table)) usageError("TABLE must be Directory, KeywordList or KeywordData");
    tools::SqlOperation op;
    if (p[2] == "update") op = tools::SqlOperation::Update;
    else if (p[2] == "delete") op = tools::SqlOperation::Delete;
    else if (p[2] == "query") op = tools::SqlOperation::Query;
    else usageError("the operation must be update, delete or query");
    const std::string auxiliary = p.size() > 4 ? p[4] : "";
    if (op == tools::SqlOperation::Update && auxiliary.empty()) usageError("update needs AUX, the assignment list");
    const std::string ide = ideFolder(ctx);
    library::SqliteHostDb db;
    openLibrary(db, ide, lib);
    const tools::SqlResult r = tools::RunDirectSql(db, lib, table, op, p[3], auxiliary);
    if (!r.ok) failure(r.message);
    if (op == tools::SqlOperation::Query) {
        ctx.out << r.caption << '\n';
        printTable(ctx.out, r.rows);
    } else {
        ctx.out << r.message << '\n';
    }
    return kExitOk;
}

}  // namespace

std::vector<Command> toolsCommands() {
    return {
        {"backup", "backup", "copy both library files beside themselves with a date stamp", 0, 0, backupCommand},
        {"sql", "sql LIB TABLE update|delete|query CONDITION [AUX]",
         "run a statement on Directory, KeywordList or KeywordData (AUX: the changes of an update, the order of a query)",
         4, 5, sqlCommand},
    };
}

}  // namespace orv::cli
