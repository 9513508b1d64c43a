// ReadVariables and ReadConstants: statements that declare a list of names, each in
// the name-first or the type-first form.
#include "library/schema.h"
#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

struct ListStyle {
    std::string prefix;      // "Dim Shared " or "CONST "
    bool alwaysEquals;       // constants show " = " even without a value
    int type;
};

void readTypeFirst(std::string_view s, const ListStyle& style, ExtractedEntries& out) {
    const auto head = ReadTypeFirstHead(s);
    if (!head || head->names.empty()) return;
    for (const std::string_view part : SplitTopLevel(head->names)) {
        const TypeFirstDeclaration d = SplitTypeFirstPart(part, head->type);
        if (d.name.empty()) continue;
        ExtractedEntry entry = makeEntry(d.name, style.type, style.prefix + d.syntax);
        entry.Member = text::toUpperAscii(head->type);
        out.push_back(std::move(entry));
    }
}

void readNameFirst(std::string_view s, const ListStyle& style, ExtractedEntries& out) {
    for (const std::string_view part : SplitTopLevel(s)) {
        const NameFirstDeclaration d = SplitNameFirst(part);
        if (d.name.empty()) continue;
        std::string syntax = style.prefix + d.name + d.decl;
        if (!d.type.empty()) syntax += " As " + d.type;
        syntax += style.alwaysEquals ? " = " + d.init : initText(d.init);
        ExtractedEntry entry = makeEntry(d.name, style.type, std::move(syntax));
        entry.Member = text::toUpperAscii(d.type);
        out.push_back(std::move(entry));
    }
}

ExtractedEntries readList(std::string_view s, const ListStyle& style) {
    ExtractedEntries entries;
    if (s.empty()) return entries;
    if (startsWithNoCase(s, "AS ")) readTypeFirst(s, style, entries);
    else readNameFirst(s, style, entries);
    return entries;
}

}  // namespace

ExtractedEntries ReadVariables(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note;
    const std::string s = JoinStatement(lines, index, note);
    clampToLastLine(lines, index);
    const std::size_t p = s.find(' ');
    if (p == npos) return {};
    const std::string keyword = s.substr(0, p);
    std::string_view rest = trimLeft(std::string_view(s).substr(p + 1));
    // Only shared variables are visible outside the header that declares them.
    if (!startsWithNoCase(rest, "SHARED ")) return {};
    rest = trimLeft(rest.substr(7));
    ExtractedEntries entries =
        readList(rest, {keyword + " Shared ", false, library::kEntryVariable});
    attachComments(entries, note, block, true);
    return entries;
}

ExtractedEntries ReadConstants(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note, after;
    if (!joinStatementAfterKeyword(lines, index, note, after)) return {};
    const std::string_view rest = after;
    ExtractedEntries entries = readList(rest, {"CONST ", true, library::kEntryConstant});
    attachComments(entries, note, block, true);
    return entries;
}

}  // namespace orv::tools
