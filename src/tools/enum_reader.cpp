// ReadEnum: an ENUM with its values up to END ENUM; an anonymous one is named after
// its values.
#include "library/schema.h"
#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/reader_tables.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

// Values are split at top-level commas only: a value may hold a string or a call with
// commas of its own (asc(","), cast(DWORD, x)).
void readValues(std::string_view line, const std::string& comment, ExtractedEntries& entries,
                std::string& collectedNames) {
    for (const std::string_view part : SplitTopLevel(line)) {
        const std::size_t eq = part.find('=');
        const std::string name(trim(part.substr(0, eq)));
        // An empty part (",," or a line that is only a comma) names nothing.
        if (name.empty()) continue;
        const std::string value = eq == npos ? "" : std::string(trim(part.substr(eq + 1)));
        const std::string valueText = initText(value);
        entries.front().Member += "\r\n" + name + "<AS:>" + valueText + "<'>" + comment;
        ExtractedEntry entry = makeEntry(name, library::kEntryEnumMember, name + valueText);
        entry.Description = comment;
        entries.push_back(std::move(entry));
        collectedNames += name;
    }
}

}  // namespace

ExtractedEntries ReadEnum(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note;
    const std::string s = JoinStatement(lines, index, note);
    clampToLastLine(lines, index);
    std::string_view rest = s;
    const std::size_t p = rest.find(' ');
    if (p != npos) rest = trim(rest.substr(p + 1));
    if (text::toUpperAscii(rest) == "ENUM") rest = {};
    ExtractedEntries entries;
    entries.push_back(makeEntry(std::string(rest.substr(0, rest.find(' '))), library::kEntryEnum,
                                "Enum " + std::string(rest)));
    std::string collectedNames;
    while (index + 1 < lines.size()) {
        ++index;
        std::string comment;
        std::string line = JoinStatement(lines, index, comment);
        if (line.empty()) continue;
        line = CollapseBlanks(line);
        if (text::toUpperAscii(line) == "END ENUM") break;
        entries.front().Syntax += "\r\n   " + line;
        readValues(line, comment, entries, collectedNames);
    }
    clampToLastLine(lines, index);
    ExtractedEntry& owner = entries.front();
    if (owner.Member.compare(0, 2, "\r\n") == 0) owner.Member.erase(0, 2);
    owner.Syntax += "\r\nEnd Enum";
    if (owner.KeyWord.empty()) {
        // Nothing to name an anonymous enumeration after: there is nothing to look up.
        if (collectedNames.empty()) return {};
        const std::string name(cutAtCharBoundary(collectedNames, tables::kAnonymousEnumNameBytes));
        owner.KeyWord = owner.DisplayKeyWord = name;
        owner.UKeyWord = text::toUpperAscii(name);
    }
    attachComments(entries, note, block, false);
    return entries;
}

}  // namespace orv::tools
