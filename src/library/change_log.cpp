// Carrying out recorded changes on a library, and writing the records of local ones.
#include "library/change_log.h"

#include "library/fragment.h"
#include "library/fragment_check.h"
#include "library/schema.h"
#include "text/ascii.h"

#include <set>

namespace orv::library {
namespace {

enum class Part { Both, List, Data, Placement };

// Which table an item of an entry's list belongs to; names not listed are data columns.
struct Slot {
    std::string_view column;
    Part part;
};
constexpr Slot kEntrySlots[] = {
    {"sID", Part::Both},  {"nType", Part::Both},         {"kID", Part::List},
    {"dID", Part::List},  {"DisplayKeyWord", Part::List}, {"Sort", Part::List},
    {"dID2", Part::Placement}, {"dID3", Part::Placement}, {"dID4", Part::Placement},
    {"dID5", Part::Placement},
};

Part partOf(std::string_view column) {
    for (const Slot& s : kEntrySlots)
        if (s.column == column) return s.part;
    return Part::Data;
}

struct MoveMarkers {
    std::string_view categories;
    std::string_view entries;
};
constexpr std::string_view kSourceMarker = "原分类ID=(";
constexpr std::string_view kTargetMarker = "目标分类ID=(";
constexpr MoveMarkers kDeleteMarkers{"被删分类=(", "被删词条=("};
constexpr MoveMarkers kMoveMarkers{"被移分类=(", "被移词条=("};

const ColumnSet& categoryColumns() {
    static const ColumnSet set = ColumnSet().add(kDirectoryColumns);
    return set;
}

const ColumnSet& entryColumns() {
    static const ColumnSet set = [] {
        ColumnSet s;
        s.add(kKeywordListColumns).add(kKeywordDataColumns);
        for (std::string_view c : kPlacementColumns) s.add(c);
        return s;
    }();
    return set;
}

std::string num(long long value) { return std::to_string(value); }

bool namesColumn(std::string_view list, std::string_view column) {
    for (std::string_view item : splitOutsideQuotes(list)) {
        Assignment a;
        if (splitAssignment(item, a) && a.column == column) return true;
    }
    return false;
}

// A bare non-negative id of at most 18 digits, so that it always fits.
bool readId(std::string_view text, long long& out) {
    if (text.size() > 18 || !isIntegerLiteral(text) || text.front() == '-') return false;
    out = toInt(text);
    return true;
}

bool takeMarker(std::string_view& rest, std::string_view marker) {
    if (rest.substr(0, marker.size()) != marker) return false;
    rest.remove_prefix(marker.size());
    return true;
}

bool takeUntilClose(std::string_view& rest, std::string_view& inside) {
    const size_t close = rest.find(')');
    if (close == std::string_view::npos) return false;
    inside = rest.substr(0, close);
    rest.remove_prefix(close + 1);
    return true;
}

// Whatever arrives from the server is checked whole before anything is read or written.
bool acceptable(long long code, long long target, std::string_view body, MoveDescription& move) {
    switch (code) {
    case kNewCategory: return checkAssignments(body, categoryColumns());
    case kCategoryChanged: return target != 0 && checkAssignments(body, categoryColumns());
    case kNewEntry: return checkAssignments(body, entryColumns());
    case kEntryChanged: return target != 0 && checkAssignments(body, entryColumns());
    case kDeleted:
    case kMoved: return parseMoveDescription(body, code, move) && move.source != move.target;
    default: return false;
    }
}

struct Author {
    long long uID;
    std::string_view uName;
    long long date;
};

void registerAuthor(HostDb& db, const Author& author) {
    if (author.uID <= 0 || author.uName.empty()) return;
    if (toInt(db.findOnly(kPublic, tables::User, "uID=" + num(author.uID), "uID", "")) == author.uID) return;
    db.addItemUtf(kPublic, tables::User, Assignments().add("uID", author.uID).addText("uName", author.uName).str());
}

std::string stamped(std::string_view items, const Author& author) {
    return Assignments().append(items).add("uID", author.uID).add("uDate", author.date).str();
}

long long newCategory(HostDb& db, int lib, long long target, std::string_view body, const Author& author) {
    // The body goes first as written, so that the appended items keep their spelling.
    std::string items = std::string(body) + ",uID=" + num(author.uID) + ",uDate=" + num(author.date);
    if (target != 0) items += ",dID=" + num(target);
    registerAuthor(db, author);
    const long long dID = db.addItemUtf(lib, tables::Directory, items);
    return dID < 1 ? 0 : dID;
}

long long changeCategory(HostDb& db, int lib, long long target, std::string_view body, const Author& author) {
    const std::string where = "dID=" + num(target);
    // A missing category must leave the library untouched, the author's row included.
    if (db.findOnly(lib, tables::Directory, where, "dID", "").empty()) return 0;
    const std::string items = std::string(body) + ",uID=" + num(author.uID) + ",uDate=" + num(author.date);
    registerAuthor(db, author);
    return db.updateUtf(lib, tables::Directory, where, items) > 0 ? 1 : 0;
}

// A write through the host: adds give the new id (below 1 on failure), updates and
// deletes the rows touched (-1 on failure).
bool added(long long id) { return id > 0; }
bool ran(long long changed) { return changed >= 0; }

// Takes back every row of a new entry that could not be completed, so that a failed
// replay can be tried again without leaving a second copy behind.
void removeEntry(HostDb& db, int lib, long long kID, long long sID) {
    if (kID > 0) db.deleteItem(lib, tables::KeywordList, "kID=" + num(kID));
    db.deleteItem(lib, tables::KeywordList, "sID=" + num(sID));
    db.deleteItem(lib, tables::KeywordData, "sID=" + num(sID));
}

long long newEntry(HostDb& db, int lib, long long& target, std::string_view body, const Author& author) {
    const SplitParts parts = SplitAssignments(body);
    Assignments list;
    list.append(parts.list);
    if (target != 0) list.add("kID", target);
    registerAuthor(db, author);
    const long long sID = db.addItemUtf(lib, tables::KeywordData, stamped(parts.data, author));
    if (!added(sID)) return 0;
    if (!namesColumn(list.str(), "sID")) list.add("sID", sID);
    const long long kID = db.addItemUtf(lib, tables::KeywordList, list.str());
    // Texts without a placement would be unreachable, and a placement the record asked
    // for but did not get would be missed: either way the half-made entry goes.
    if (!added(kID) || (!parts.placements.empty() && !ApplyPlacements(db, lib, sID, parts.placements))) {
        removeEntry(db, lib, kID, sID);
        return 0;
    }
    target = kID;
    return kID;
}

long long changeEntry(HostDb& db, int lib, long long target, std::string_view body, const Author& author) {
    const SplitParts parts = SplitAssignments(body);
    const std::string where = "kID=" + num(target);
    // A missing entry must leave the library untouched, so look before writing.
    long long sID = toInt(db.findOnly(lib, tables::KeywordList, where, "sID", ""));
    if (sID < 1) return 0;
    registerAuthor(db, author);
    if (!parts.list.empty()) {
        if (db.updateUtf(lib, tables::KeywordList, where, parts.list) < 1) return 0;
        // The list may have pointed the entry at other texts.
        sID = toInt(db.findOnly(lib, tables::KeywordList, where, "sID", ""));
        if (sID < 1) return 0;
    }
    const long long changed = db.updateUtf(lib, tables::KeywordData, "sID=" + num(sID), stamped(parts.data, author));
    if (changed < 1) return 0;
    if (!parts.placements.empty() && !ApplyPlacements(db, lib, sID, parts.placements)) return 0;
    return 1;
}

// True when `target` is one of `categories` or lies below one of them: moving there
// would cut that branch off the tree.
bool movesUnderItself(HostDb& db, int lib, long long target, std::string_view categories) {
    std::set<long long> moved;
    for (std::string_view id : splitOutsideQuotes(categories)) moved.insert(toInt(id));
    std::set<long long> seen;
    for (long long d = target; d != 0 && seen.insert(d).second;
         d = toInt(db.findOnly(lib, tables::Directory, "dID=" + num(d), "ParentDir", ""))) {
        if (moved.count(d)) return true;
    }
    return false;
}

long long applyMove(HostDb& db, int lib, const MoveDescription& move, const Author& author) {
    const std::string target = num(move.target);
    if (move.target != 0 && db.findOnly(lib, tables::Directory, "dID=" + target, "dID", "").empty()) return 0;
    if (!move.categories.empty() && movesUnderItself(db, lib, move.target, move.categories)) return 0;
    registerAuthor(db, author);
    // Nothing matching is no failure (an entry already moved on stays where it is); a
    // statement that failed is.
    if (!move.categories.empty() &&
        !ran(db.updateUtf(lib, tables::Directory, "dID in (" + move.categories + ")", "ParentDir=" + target)))
        return 0;
    if (!move.entries.empty() &&
        !ran(db.updateUtf(lib, tables::KeywordList, "kID in (" + move.entries + ") And dID=" + num(move.source),
                          "dID=" + target)))
        return 0;
    return 1;
}

bool addPlacement(HostDb& db, int lib, long long sID, long long dID) {
    Row data;
    if (!db.findOne(lib, tables::KeywordData, "sID=" + num(sID), data, "nType,KeyWord", "")) return false;
    std::string name = db.findOnly(lib, tables::KeywordList, "sID=" + num(sID), "DisplayKeyWord", "");
    if (name.empty()) name = cellText(data, 1);
    return added(db.addItemUtf(lib, tables::KeywordList,
                               Assignments().add("dID", dID).add("sID", sID).add("nType", cellNumber(data, 0))
                                   .addText("DisplayKeyWord", name).str()));
}

}  // namespace

std::string_view commandText(long long code) {
    if (code < 0 || code >= static_cast<long long>(kCommandTexts.size())) return kUnknownCommandText;
    return kCommandTexts[static_cast<size_t>(code)];
}

std::string_view stateText(long long state) {
    if (state < 0 || state >= static_cast<long long>(kStateTexts.size())) return kStateTexts[kStateAbandoned];
    return kStateTexts[static_cast<size_t>(state)];
}

SplitParts SplitAssignments(std::string_view text) {
    SplitParts parts;
    const auto append = [](std::string& part, std::string_view item) {
        if (!part.empty()) part += ',';
        part.append(item);
    };
    for (std::string_view raw : splitOutsideQuotes(text)) {
        const std::string_view item = text::trimBlanks(raw);
        const size_t eq = item.find('=');
        if (item.empty() || eq == std::string_view::npos) continue;
        switch (partOf(text::trimBlanks(item.substr(0, eq)))) {
        case Part::Both: append(parts.list, item); append(parts.data, item); break;
        case Part::List: append(parts.list, item); break;
        case Part::Data: append(parts.data, item); break;
        case Part::Placement: append(parts.placements, item); break;
        }
    }
    return parts;
}

bool ApplyPlacements(HostDb& db, int lib, long long sID, std::string_view placements) {
    bool done = true;
    for (std::string_view item : splitOutsideQuotes(placements)) {
        Assignment a;
        if (!splitAssignment(item, a)) continue;
        const size_t bar = a.value.find('|');
        if (bar == std::string_view::npos) continue;
        const long long kID = toInt(a.value.substr(0, bar));
        const long long dID = toInt(a.value.substr(bar + 1));
        // A further placement shares the entry's texts; a kID of another entry is not ours to touch.
        const std::string own = "kID=" + num(kID) + " And sID=" + num(sID);
        // Every item is tried, so one failed write does not hold back the others.
        if (kID == 0 && dID != 0) done = addPlacement(db, lib, sID, dID) && done;
        else if (kID != 0 && dID == 0) done = ran(db.deleteItem(lib, tables::KeywordList, own)) && done;
        else if (kID != 0) done = ran(db.updateUtf(lib, tables::KeywordList, own, "dID=" + num(dID))) && done;
    }
    return done;
}

std::string moveDescriptionText(ChangeCode code, const MoveDescription& move) {
    const MoveMarkers& m = code == kDeleted ? kDeleteMarkers : kMoveMarkers;
    std::string text;
    text.append(kSourceMarker).append(num(move.source)).append(")");
    text.append(kTargetMarker).append(num(move.target)).append(")");
    text.append(m.categories).append(move.categories).append(")");
    text.append(m.entries).append(move.entries).append(")");
    return text;
}

bool parseMoveDescription(std::string_view body, long long code, MoveDescription& out) {
    if (code != kDeleted && code != kMoved) return false;
    const MoveMarkers& m = code == kDeleted ? kDeleteMarkers : kMoveMarkers;
    std::string_view rest = body, source, target, categories, entries;
    const bool formed = takeMarker(rest, kSourceMarker) && takeUntilClose(rest, source) &&
                        takeMarker(rest, kTargetMarker) && takeUntilClose(rest, target) &&
                        takeMarker(rest, m.categories) && takeUntilClose(rest, categories) &&
                        takeMarker(rest, m.entries) && takeUntilClose(rest, entries) && rest.empty();
    MoveDescription move;
    if (!formed || !readId(source, move.source) || !readId(target, move.target) || !isIdList(categories) ||
        !isIdList(entries))
        return false;
    move.categories = std::string(categories);
    move.entries = std::string(entries);
    out = std::move(move);
    return true;
}

long long ApplyChange(HostDb& db, int lib, long long code, long long& target, std::string_view body,
                      long long uID, std::string_view uName, long long date) {
    MoveDescription move;
    if (!acceptable(code, target, body, move)) return 0;
    const Author author{uID, uName, date};
    switch (code) {
    case kNewCategory: return newCategory(db, lib, target, body, author);
    case kCategoryChanged: return changeCategory(db, lib, target, body, author);
    case kNewEntry: return newEntry(db, lib, target, body, author);
    case kEntryChanged: return changeEntry(db, lib, target, body, author);
    default: return applyMove(db, lib, move, author);
    }
}

std::string recordedUserName(std::string_view accountName) {
    return accountName == "澄岭9" ? std::string("澄岭") : std::string(accountName);
}

std::string changeRecordAssignments(const ChangeRecord& record) {
    return Assignments()
        .add("tID", record.target)
        .addText("uName", recordedUserName(record.userName))
        .add("sCommand", record.code)
        .addText("sName", record.name)
        .addText("sText", record.body)
        .add("sExecute", kStateApplied)
        .add("uDate", record.date)
        .str();
}

long long writeChangeRecord(HostDb& db, const ChangeRecord& record, AddService service) {
    const std::string items = changeRecordAssignments(record);
    return service == AddService::Utf8 ? db.addItemUtf(kPublic, tables::UpdateList, items)
                                       : db.addItem(kPublic, tables::UpdateList, items);
}

}  // namespace orv::library
