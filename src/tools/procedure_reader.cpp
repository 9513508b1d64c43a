// ReadProcedure: SUB and FUNCTION declarations and definitions; a definition's body is
// consumed so that nothing inside it is taken for a declaration of the file.
#include <optional>

#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/reader_tables.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

const tables::ProcedureKind* dropProcedureKind(std::string& s) {
    for (const auto& kind : tables::kProcedureKinds)
        if (dropLeadingWord(s, kind.word)) return &kind;
    return nullptr;
}

// Consumes the lines up to and including the end marker, or to the end of the file.
void skipBody(const SourceLines& lines, std::size_t& index, std::string_view endMarker) {
    while (index + 1 < lines.size()) {
        ++index;
        const std::string u = text::toUpperAscii(CollapseBlanks(trim(lines[index])));
        if (u.compare(0, endMarker.size(), endMarker) == 0) return;
    }
}

std::optional<ExtractedEntry> readHeader(const std::string& statement, bool& isDefinition,
                                         std::string_view& endMarker) {
    std::string s = statement;
    isDefinition = !dropLeadingWord(s, "DECLARE ");
    if (isDefinition) {
        for (const std::string_view word : tables::kProcedureVisibility)
            if (dropLeadingWord(s, word)) break;
    }
    const auto* kind = dropProcedureKind(s);
    if (!kind) return std::nullopt;
    endMarker = kind->endMarker;
    const std::string name = s.substr(0, s.find_first_of(" ("));
    // "Sub Foo.Bar": a method body written outside its type, which its type lists.
    if (name.empty() || name.find('.') != std::string::npos) return std::nullopt;
    std::string_view head = s;
    const std::size_t e = FindTopLevelEquals(head);
    if (e != npos) head = trim(head.substr(0, e));
    ExtractedEntry entry = makeEntry(name, kind->type, statement);
    const std::size_t a = FindAsKeyword(head);
    if (a != npos) entry.Member = text::toUpperAscii(trim(head.substr(a + 3)));
    return entry;
}

}  // namespace

ExtractedEntries ReadProcedure(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note;
    const std::string s = JoinStatement(lines, index, note);
    clampToLastLine(lines, index);
    bool isDefinition = false;
    std::string_view endMarker;
    std::optional<ExtractedEntry> entry = readHeader(s, isDefinition, endMarker);
    if (isDefinition && !endMarker.empty()) skipBody(lines, index, endMarker);
    ExtractedEntries entries;
    if (entry) entries.push_back(std::move(*entry));
    attachComments(entries, note, block, false);
    // The block belonged to this procedure even when it yields no entry.
    block.clear();
    return entries;
}

}  // namespace orv::tools
