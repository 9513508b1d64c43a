// Looking a line's first word up among the statements the extractor reads.
#include "tools/statement_table.h"

#include "tools/statement_text.h"

namespace orv::tools {
namespace {

constexpr std::string_view kProcedurePrefixes[] = {"PRIVATE ", "PUBLIC ", "DECLARE "};
constexpr std::string_view kProcedureWords[] = {"FUNCTION ", "SUB "};

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

const StatementWord* findStatementWord(std::string_view u) {
    for (const StatementWord& w : kStatementWords)
        if (startsWith(u, w.word)) return &w;
    return nullptr;
}

bool beginsProcedure(std::string_view u) {
    for (const std::string_view prefix : kProcedurePrefixes) {
        if (startsWith(u, prefix)) {
            u = trimLeft(u.substr(u.find(' ')));
            break;
        }
    }
    for (const std::string_view word : kProcedureWords)
        if (startsWith(u, word)) return !startsWith(trimLeft(u.substr(word.size())), "=");
    return false;
}

}  // namespace

StatementMatch FindStatementReader(std::string_view u) {
    if (const StatementWord* w = findStatementWord(u)) return {w->reader, w->inSourceMode};
    if (beginsProcedure(u)) return {ReadProcedure, SourceModeAction::Read};
    return {};
}

}  // namespace orv::tools
