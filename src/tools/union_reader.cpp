// ReadUnion: a UNION with its members up to END UNION. Unions are read more simply
// than types: no nesting, no sections, fields only in the name-first form.
#include <iterator>

#include "library/schema.h"
#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/reader_tables.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"
#include "tools/type_members.h"

namespace orv::tools {
namespace {

constexpr MemberDialect kUnionDialect{false, false, true};

bool startsWithBodyEndingWord(std::string_view u) {
    for (const std::string_view w : tables::kBodyEndingWords)
        if (StartsWithWord(u, w)) return true;
    return false;
}

void readMember(MemberCollector& members, std::string line, const std::string& comment) {
    const std::string orig = line;
    dropLeadingWord(line, "DECLARE ");
    for (const std::string_view word : tables::kMethodQualifiers)
        if (dropLeadingWord(line, word)) break;
    const auto* kind =
        takeMethodKind(line, tables::kUnionMethodKinds, std::size(tables::kUnionMethodKinds));
    if (kind) {
        members.addMethod(*kind, std::move(line), orig, comment);
        return;
    }
    for (const std::string_view word : tables::kUnionFieldWords)
        if (dropLeadingWord(line, word)) break;
    members.addNameFirstField(line, comment);
}

// Leaves index on END UNION, on the last line, or before a procedure that begins where
// END UNION is missing.
void readBody(MemberCollector& members, const SourceLines& lines, std::size_t& index) {
    while (index + 1 < lines.size()) {
        const std::size_t start = ++index;
        std::string comment;
        std::string line = JoinStatement(lines, index, comment);
        if (line.empty()) continue;
        line = CollapseBlanks(line);
        const std::string u = text::toUpperAscii(line);
        if (u == "END UNION") return;
        members.owner().Syntax += "\r\n   " + line;
        if (u == "TYPE" || u == "END TYPE") continue;
        if (!IsFieldNamedByKeyword(u) && startsWithBodyEndingWord(u)) {
            index = start - 1;
            return;
        }
        readMember(members, std::move(line), comment);
    }
}

}  // namespace

ExtractedEntries ReadUnion(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note, after;
    if (!joinStatementAfterKeyword(lines, index, note, after)) return {};
    const std::string rest(trim(after));
    if (rest.empty()) return {};
    ExtractedEntry owner =
        makeEntry(rest.substr(0, rest.find(' ')), library::kEntryUnion, "Union " + rest);
    owner.Parameter = ExtendsParameter(rest);
    MemberCollector members(std::move(owner), kUnionDialect);
    readBody(members, lines, index);
    clampToLastLine(lines, index);
    ExtractedEntries entries = members.finish("End Union");
    attachComments(entries, note, block, false);
    return entries;
}

}  // namespace orv::tools
