// Completing extracted entries and writing them to the private library.
#include "tools/entry_writer.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "tools/entry_completion.h"
#include "tools/member_names.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {


bool isProcedureOrStatement(int type) {
    return type == library::kEntryStatement || type == library::kEntrySub ||
           type == library::kEntryFunction;
}

bool keepsFileSource(int type) {
    return type == library::kEntrySub || type == library::kEntryFunction ||
           library::canOwnMembers(type);
}

library::Assignments dataText(const ExtractedEntry& e) {
    library::Assignments data;
    data.addText("KeyWord", e.KeyWord).addText("UKeyWord", e.UKeyWord).addText("Description", e.Description)
        .addText("Explain", e.Explain).addText("Syntax", e.Syntax).addText("Member", e.Member)
        .addText("Parameter", e.Parameter).addText("Examples", e.Examples).addText("Source", e.Source)
        .addText("Related", e.Related).addText("Include", e.Include).add("Platform", e.Platform)
        .add("Attribute", e.Attribute).add("nType", e.nType);
    return data;
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
    if (!e.Explain.empty()) {
        e.Explain = CleanExplain(e.Explain);
        if (e.Description.empty()) e.Description = DescriptionFromExplain(e.Explain);
    }
    e.Explain = EscapeExplainHtml(e.Explain);
    e.Syntax = CollapseBlanks(e.Syntax);
}

// The duplicate check and rule for an entry of a type below 20; also reports the
// names met before.
std::optional<bool> EntryWriter::admitted(const ExtractedEntry& e) {
    const std::string& name = e.KeyWord;
    const std::string& key = e.UKeyWord;
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
    const std::string data = dataText(e).add("uID", settings_.uID).add("uDate", settings_.uDate).str();
    const std::string list = library::Assignments()
                                 .add("dID", dID)
                                 .addText("DisplayKeyWord", e.DisplayKeyWord)
                                 .add("nType", e.nType)
                                 .add("Sort", sort)
                                 .str();
    kID = AddEntryRows(db_, statistics_, e.KeyWord, data, list);
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
