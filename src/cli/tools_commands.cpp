// orvhelp's library tools: the header import, backups of both libraries and statements run directly.
#include "cli/command.h"
#include "cli/terminal.h"

#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"
#include "library/udate.h"
#include "os/os.h"
#include "tools/backup.h"
#include "tools/direct_sql.h"
#include "tools/import_run.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <utility>

namespace orv::cli {
namespace {

// The character references the report's texts are written with.
constexpr std::pair<std::string_view, char> kReferences[] = {
    {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}, {"&amp;", '&'}};

// Text of the page between tags, its references read back.
void appendText(std::string& out, std::string_view html) {
    for (std::size_t i = 0; i < html.size(); ++i) {
        const auto* ref = html[i] != '&' ? std::end(kReferences)
                                           : std::find_if(std::begin(kReferences), std::end(kReferences),
                                                          [&](const auto& r) { return html.substr(i, r.first.size()) == r.first; });
        if (ref == std::end(kReferences)) {
            out += html[i];
        } else {
            out += ref->second;
            i += ref->first.size() - 1;
        }
    }
}

// The report page as terminal text: one line per line break or block, tags dropped.
std::string reportText(const std::string& html) {
    std::string out;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            const std::size_t next = html.find('<', i);
            appendText(out, std::string_view(html).substr(i, next - i));
            i = next == std::string::npos ? html.size() : next;
            continue;
        }
        const std::size_t close = html.find('>', i);
        if (close == std::string::npos) break;
        const std::string tag = html.substr(i, close + 1 - i);
        if ((tag == "<br>" || tag == "</div>") && !out.empty() && out.back() != '\n') out += '\n';
        i = close + 1;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

int platformOption(const Context& ctx) {
    const std::string text = ctx.args.value("--platform", "0");
    if (text != "0" && text != "1" && text != "2") usageError("--platform must be 0 (Windows), 1 (Linux) or 2 (both)");
    return text[0] - '0';
}

tools::DuplicateRule duplicateOption(const Context& ctx) {
    const std::string text = ctx.args.value("--dup", "0");
    if (text.size() != 1 || text[0] < '0' || text[0] > '3') usageError("--dup must be 0, 1, 2 or 3");
    return static_cast<tools::DuplicateRule>(text[0] - '0');
}

int importCommand(Context& ctx) {
    tools::ImportRequest request;
    request.path = ctx.args.positional[0];
    std::error_code ec;
    request.scope = std::filesystem::is_directory(os::pathFromUtf8(request.path), ec)
                        ? tools::ImportScope::Folder
                        : tools::ImportScope::File;
    request.mode = ctx.args.has("--source") ? tools::ExtractionMode::Source : tools::ExtractionMode::Reference;
    request.duplicateRule = duplicateOption(ctx);
    request.platform = platformOption(ctx);
    const std::string ide = ideFolder(ctx);
    request.accountName = ideSettings(ide).user;
    library::SqliteHostDb db;
    openBothLibraries(db, ide);

    ConsolePrompter prompter(ctx);
    TerminalProgress progress(ctx.out, isTerminalOutput(ctx.out));
    const InterruptGuard ctrlC;
    const tools::ImportOutcome outcome = tools::RunImport(db, prompter, progress, request);
    if (outcome.rejection != tools::ImportRejection::None) return kExitFailure;
    ctx.out << reportText(outcome.report);
    return outcome.committed ? kExitOk : kExitFailure;
}

int backupCommand(Context& ctx) {
    const std::string ide = ideFolder(ctx);
    library::SqliteHostDb db;
    openBothLibraries(db, ide);
    const tools::BackupResult result =
        tools::BackupLibraries(db, library::withTrailingSeparator(ide), library::localNow());
    if (!result.ok) failure(result.message);
    ctx.out << result.message << '\n';
    return kExitOk;
}

// Columns as wide as their widest cell.
void printTable(std::ostream& out, const library::ResultTable& t) {
    std::vector<size_t> widths(t.columns.size(), 0);
    auto cellOf = [&](size_t r, size_t c) -> std::string {
        // One line per row.
        return onOneLine(r == 0 ? t.columns[c] : t.text(static_cast<int>(r - 1), static_cast<int>(c)));
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
        {"import", "import PATH [--source] [--dup 0|1|2|3] [--platform 0|1|2]",
         "extract the declarations of a header file or folder tree into the private library and print the report",
         1, 1, importCommand, {"--dup", "--platform"}},
        {"backup", "backup", "copy both library files beside themselves with a date stamp", 0, 0, backupCommand},
        {"sql", "sql LIB TABLE update|delete|query CONDITION [AUX]",
         "run a statement on Directory, KeywordList or KeywordData (AUX: the changes of an update, the order of a query)",
         4, 5, sqlCommand},
    };
}

}  // namespace orv::cli
