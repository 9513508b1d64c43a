// ReadDefine and ReadMacro: the preprocessor's one-line and block macros.
#include "library/schema.h"
#include "tools/declaration_parts.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

constexpr std::string_view kEndMacro = "#ENDMACRO";

// "MAX(a, b) iif(a > b, a, b)" -> name "MAX", replacement "iif(a > b, a, b)".
void splitDefine(std::string_view s, std::string& name, std::string& replacement) {
    bool parenSeen = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ' && !parenSeen) {
            name = std::string(s.substr(0, i));
            replacement = std::string(trim(s.substr(i + 1)));
            return;
        }
        if (c == '(' && !parenSeen) {
            name = std::string(s.substr(0, i));
            parenSeen = true;
        } else if (c == ')' && parenSeen) {
            replacement = std::string(trim(s.substr(i + 1)));
            return;
        }
    }
    name = std::string(s);
    replacement.clear();
}

bool isEndMacro(std::string_view line) { return startsWithNoCase(trimLeft(line), kEndMacro); }

}  // namespace

ExtractedEntries ReadDefine(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note, after;
    if (!joinStatementAfterKeyword(lines, index, note, after)) return {};
    const std::string_view rest = after;
    if (rest.empty()) return {};
    std::string name, replacement;
    splitDefine(rest, name, replacement);
    if (name.empty()) return {};
    ExtractedEntries entries;
    entries.push_back(makeEntry(name, library::kEntryMacro, "#define " + std::string(rest)));
    entries.back().Member = std::move(replacement);
    attachComments(entries, note, block, false);
    return entries;
}

ExtractedEntries ReadMacro(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note, after;
    if (!joinStatementAfterKeyword(lines, index, note, after)) return {};
    const std::string_view rest = after;
    const std::string name(trim(rest.substr(0, rest.find_first_of(" ("))));
    if (name.empty()) return {};
    ExtractedEntries entries;
    entries.push_back(makeEntry(name, library::kEntryMacro, "#macro " + std::string(rest)));
    ExtractedEntry& macro = entries.back();
    // The body runs to #ENDMACRO, or to the end of the file when that line is missing.
    bool first = true;
    while (index + 1 < lines.size()) {
        ++index;
        if (isEndMacro(lines[index])) break;
        const std::string_view line = trimLeft(lines[index]);
        if (!first) macro.Member += "\r\n";
        macro.Member += line;
        macro.Syntax += "\r\n   ";
        macro.Syntax += line;
        first = false;
    }
    macro.Syntax += "\r\n#ENDMACRO";
    attachComments(entries, note, block, false);
    return entries;
}

}  // namespace orv::tools
