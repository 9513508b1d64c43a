// Completing extracted entries and writing them to the private library.
#include "tools/entry_writer.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "tools/entry_completion.h"
#include "tools/member_names.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

using library::doubleApostrophes;

bool isProcedureOrStatement(int type) {
    return type == library::kEntryStatement || type == library::kEntrySub ||
           type == library::kEntryFunction;
}

bool keepsFileSource(int type) {
    return type == library::kEntrySub || type == library::kEntryFunction ||
           library::canOwnMembers(type);
}

std::string dataText(const ExtractedEntry& e) {
    return "KeyWord='" + e.KeyWord + "',UKeyWord='" + e.UKeyWord + "',Description='" +
           e.Description + "',Explain='" + e.Explain + "',Syntax='" + e.Syntax + "',Member='" +
           e.Member + "',Parameter='" + e.Parameter + "',Examples='" + e.Examples +
           "',Source='" + e.Source + "',Related='" + e.Related + "',Include='" + e.Include +
           "',Platform=" + std::to_string(e.Platform) + ",Attribute=" +
           std::to_string(e.Attribute) + ",nType=" + std::to_string(e.nType);
}

}  // namespace

void AddErrorLine(RunStatistics& statistics, std::string_view name, std::string_view hostError) {
    statistics.errorList += EscapeExplainHtml(name) + "  err: " + EscapeExplainHtml(hostError) + "<br>";
}

long long AddEntryRows(library::HostDb& db, RunStatistics& statistics, std::string_view name,
                       const std::string& dataText, const std::string& listText) {
    const long long sID = db.addItemUtf(library::kPrivate, library::tables::KeywordData, dataText);
    // A placement without its texts would point at nothing: a failed data row fails
    // the entry as a failed list row does.
    const long long kID = sID < 1 ? 0
                                  : db.addItemUtf(library::kPrivate, library::tables::KeywordList,
                                                  listText + ",sID=" + std::to_string(sID));
    if (kID >= 1) return kID;
    AddErrorLine(statistics, name, db.errMsg(library::kPrivate));
    // Texts without a placement would be an entry no one can reach: take them back.
    if (sID >= 1 && db.deleteItem(library::kPrivate, library::tables::KeywordData,
                                  "sID=" + std::to_string(sID)) < 1)
        AddErrorLine(statistics, name, db.errMsg(library::kPrivate));
    return 0;
}

EntryWriter::EntryWriter(library::HostDb& db, const RunSettings& settings,
                         RunStatistics& statistics, KnownNames& knownNames, const FileTarget& target)
    : db_(db), settings_(settings), statistics_(statistics), knownNames_(knownNames), target_(target) {}

bool EntryWriter::applyMode(ExtractedEntry& e, std::size_t firstLine, bool& filter) {
    if (settings_.mode == ExtractionMode::Reference) {
        e.Include = IncludeLine(target_.includePath, firstLine + 1);
        e.Attribute = library::kAttrExtension;
        ++statistics_.referenceEntries;
        return true;
    }
    e.Include.clear();
    e.Attribute = library::kAttrSourceCode;
    if (keepsFileSource(e.nType) && target_.fileText) e.Source = *target_.fileText;
    ++statistics_.sourceEntries;
    // Source mode keeps a file with its first procedure definition, nothing else.
    if (startsWithNoCase(trim(e.Syntax), "DECLARE ") || !isProcedureOrStatement(e.nType))
        filter = true;
    return !filter;
}

void EntryWriter::completeTexts(ExtractedEntry& e) {
    e.Platform = settings_.platform;
    if (e.nType >= 0 && e.nType < kTypeCountSlots) ++statistics_.typeCounts[e.nType];
    e.KeyWord = doubleApostrophes(e.KeyWord);
    e.UKeyWord = doubleApostrophes(e.UKeyWord);
    e.DisplayKeyWord = doubleApostrophes(e.DisplayKeyWord);
    if (!e.Explain.empty()) {
        e.Explain = CleanExplain(e.Explain);
        if (e.Description.empty()) e.Description = DescriptionFromExplain(e.Explain);
    }
    e.Description = doubleApostrophes(e.Description);
    e.Explain = doubleApostrophes(EscapeExplainHtml(e.Explain));
    e.Syntax = doubleApostrophes(CollapseBlanks(e.Syntax));
    for (std::string* field : {&e.Member, &e.Parameter, &e.Examples, &e.Source, &e.Related, &e.Include})
        *field = doubleApostrophes(*field);
}

// The duplicate check and rule for an entry of a type below 20; also reports the
// names met before.
std::optional<bool> EntryWriter::admitted(const ExtractedEntry& e) {
    // The report shows the name as written, not as quoted for a fragment.
    const std::string name = library::undoubleApostrophes(e.KeyWord);
    const std::string key = library::undoubleApostrophes(e.UKeyWord);
    const std::optional<bool> inPublic = knownNames_.contains(library::kPublic, key);
    const std::optional<bool> inPrivate = inPublic ? knownNames_.contains(library::kPrivate, key) : std::nullopt;
    if (!inPublic || !inPrivate) {
        // Without the names the rule cannot be kept: nothing is added unchecked.
        AddErrorLine(statistics_, name, db_.errMsg(inPublic ? library::kPrivate : library::kPublic));
        return std::nullopt;
    }
    bool add = true;
    switch (settings_.duplicateRule) {
        case DuplicateRule::AddAll: break;
        case DuplicateRule::SkipPublicNames: add = !*inPublic; break;
        case DuplicateRule::SkipPrivateNames: add = !*inPrivate; break;
        case DuplicateRule::SkipAnyKnownName: add = !*inPublic && !*inPrivate; break;
    }
    // The list becomes part of the report page, where a name is text, not markup.
    const std::string shown = EscapeExplainHtml(name) + (add ? " (已增)" : " (不增)") + "<br>";
    if (*inPublic) statistics_.duplicateList += "公库重复：" + shown;
    if (*inPrivate) statistics_.duplicateList += "私库重复：" + shown;
    return add;
}

bool EntryWriter::add(const ExtractedEntry& e, long long dID, int sort, long long& kID) {
    const std::string stamp =
        ",uID=" + std::to_string(settings_.uID) + ",uDate=" + std::to_string(settings_.uDate);
    kID = AddEntryRows(db_, statistics_, library::undoubleApostrophes(e.KeyWord), dataText(e) + stamp,
                       "dID=" + std::to_string(dID) + ",DisplayKeyWord='" + e.DisplayKeyWord +
                           "',nType=" + std::to_string(e.nType) + ",Sort=" + std::to_string(sort));
    return kID >= 1;
}

StatementOutcome EntryWriter::write(ExtractedEntries& entries, std::size_t firstLine) {
    long long parent = 0;
    bool filter = false;
    for (ExtractedEntry& e : entries) {
        if (!applyMode(e, firstLine, filter)) continue;
        completeTexts(e);
        const bool member = e.nType >= library::kFirstMemberType;
        long long dID = target_.categoryId;
        int sort = 10000;
        if (member) {
            if (parent == 0) continue;  // its owner was not added
            const MemberPlacement p = PlaceMember(e.KeyWord, e.UKeyWord);
            dID = parent;
            sort = p.sort;
            e.DisplayKeyWord = p.displayKeyWord;
            if (e.Description.empty()) e.Description = std::string(p.description);
        }
        long long kID = 0;
        bool adding = true;
        if (!member) {
            const std::optional<bool> admit = admitted(e);
            if (!admit) return StatementOutcome::Fail;
            adding = *admit;
        }
        if (adding && !add(e, dID, sort, kID)) return StatementOutcome::Fail;
        if (!member) parent = library::canOwnMembers(e.nType) ? kID : 0;
    }
    const bool storedDefinition = settings_.mode == ExtractionMode::Source && !filter;
    return storedDefinition ? StatementOutcome::EndScan : StatementOutcome::Continue;
}

}  // namespace orv::tools
