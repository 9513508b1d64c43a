// Reading and checking the fields of unpacked requests.
#include "request_fields.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/fragment_check.h"
#include "library/schema.h"
#include "sync/wire_packing.h"
#include "text/encoding.h"

#include <algorithm>
#include <array>

namespace orv::server {
namespace {

using library::ColumnSet;

constexpr size_t kDigestLength = 32;
// Larger ids would not survive the clients' reading of numbers.
constexpr size_t kMaxIdDigits = 18;

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

bool isDigest(std::string_view text) {
    return text.size() == kDigestLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool readId(std::string_view text, long long& out) {
    if (text.empty() || text.size() > kMaxIdDigits || !library::isIntegerLiteral(text) || text.front() == '-') return false;
    out = library::toInt(text);
    return true;
}

std::optional<AccountFields> account(std::string_view name, std::string_view digest, std::string& why) {
    if (name.empty()) {
        why = "no account name";
        return std::nullopt;
    }
    if (!isDigest(digest)) {
        why = "the password digest is not 32 lower-case hexadecimal characters";
        return std::nullopt;
    }
    // Clients send the name with its apostrophes doubled, as their settings once held it.
    return AccountFields{library::undoubleApostrophes(name), std::string(digest)};
}

// A row's own id travels as the target, and the author and date are stamped by every
// replaying client: a body that names them would clash with what is appended.
constexpr std::array<std::string_view, 4> kNotInBody{"dID", "kID", "uID", "uDate"};

template <size_t N>
void addColumns(ColumnSet& set, const std::array<library::Column, N>& columns, bool keepCategory) {
    for (const library::Column& c : columns) {
        const bool stamped = std::find(kNotInBody.begin(), kNotInBody.end(), c.name) != kNotInBody.end();
        // An entry's dID is the category it is placed in, not its own id.
        if (!stamped || (keepCategory && c.name == "dID")) set.add(c.name);
    }
}

const ColumnSet& categoryColumns() {
    static const ColumnSet set = [] {
        ColumnSet s;
        addColumns(s, library::kDirectoryColumns, false);
        return s;
    }();
    return set;
}

const ColumnSet& entryColumns() {
    static const ColumnSet set = [] {
        ColumnSet s;
        addColumns(s, library::kKeywordListColumns, true);
        addColumns(s, library::kKeywordDataColumns, false);
        for (std::string_view c : library::kPlacementColumns) s.add(c);
        return s;
    }();
    return set;
}

bool namesColumn(std::string_view body, std::string_view column) {
    for (std::string_view item : library::splitOutsideQuotes(body)) {
        library::Assignment a;
        if (library::splitAssignment(item, a) && a.column == column) return true;
    }
    return false;
}

bool checkBody(long long code, long long target, std::string_view body, std::string& why) {
    const bool isNew = code == library::kNewCategory || code == library::kNewEntry;
    if (code <= library::kEntryChanged && isNew != (target == 0)) {
        why = isNew ? "a new row must come with target 0" : "a change needs the id of its row";
        return false;
    }
    switch (code) {
    case library::kNewCategory:
    case library::kCategoryChanged: return library::checkAssignments(body, categoryColumns(), &why);
    case library::kNewEntry:
    case library::kEntryChanged:
        if (!library::checkAssignments(body, entryColumns(), &why)) return false;
        // Whoever replays the entry takes this as the id of its data row.
        if (namesColumn(body, "sID") && !dataIdOf(body)) {
            why = "the sID is not an id";
            return false;
        }
        return true;
    default: break;
    }
    library::MoveDescription move;
    if (!library::parseMoveDescription(body, code, move)) {
        why = "not a move description of this command";
        return false;
    }
    if (move.source == move.target) {
        why = "the source and the target category are the same";
        return false;
    }
    // The client names the category it took from for a delete, and the one it moved to
    // for a move.
    if (target != (code == library::kDeleted ? move.source : move.target)) {
        why = "the target does not match the move description";
        return false;
    }
    return true;
}

// Whatever is kept goes out again to every client, which reads it as UTF-8.
bool isText(std::string_view text, std::string& why) {
    if (orv::text::isValidUtf8(text)) return true;
    why = "not UTF-8 text";
    return false;
}

void addIdList(std::vector<long long>& out, std::string_view list) {
    if (list.empty()) return;
    for (std::string_view item : splitFields(list)) out.push_back(library::toInt(item));
}

}  // namespace

std::optional<AccountFields> readAccountFields(std::string_view text, std::string& why) {
    if (!isText(text, why)) return std::nullopt;
    const std::vector<std::string_view> f = splitFields(text);
    if (f.size() != 2) {
        why = "an account test has two fields, not " + std::to_string(f.size());
        return std::nullopt;
    }
    return account(f[0], f[1], why);
}

std::optional<ChangeFields> readChangeFields(std::string_view text, std::string& why) {
    if (!isText(text, why)) return std::nullopt;
    const std::vector<std::string_view> f = splitFields(text);
    if (f.size() != 6) {
        why = "a submission has six fields, not " + std::to_string(f.size());
        return std::nullopt;
    }
    std::optional<AccountFields> who = account(f[0], f[1], why);
    if (!who) return std::nullopt;
    ChangeFields change;
    change.account = std::move(*who);
    if (!readId(f[2], change.code) || change.code > library::kMoved) {
        why = "unknown command code \"" + std::string(f[2]) + "\"";
        return std::nullopt;
    }
    if (!readId(f[3], change.target)) {
        why = "the target \"" + std::string(f[3]) + "\" is not an id";
        return std::nullopt;
    }
    change.name = std::string(f[4]);
    std::optional<std::string> body = sync::tryUnscrambleText(f[5]);
    if (!body) {
        why = "the change body fails its check characters";
        return std::nullopt;
    }
    change.body = std::move(*body);
    if (!isText(change.body, why)) return std::nullopt;
    if (!checkBody(change.code, change.target, change.body, why)) return std::nullopt;
    return change;
}

std::optional<FetchFields> readFetchFields(std::string_view text, std::string& why) {
    if (!isText(text, why)) return std::nullopt;
    const std::vector<std::string_view> f = splitFields(text);
    if (f.size() != 2 && f.size() != 3) {
        why = "a fetch has two or three fields, not " + std::to_string(f.size());
        return std::nullopt;
    }
    FetchFields fetch;
    if (f[0].empty()) {
        why = "the random part is missing";
        return std::nullopt;
    }
    if (f[1].size() > kMaxIdDigits || !library::isIntegerLiteral(f[1])) {
        why = "the date \"" + std::string(f[1]) + "\" is not a whole number";
        return std::nullopt;
    }
    fetch.after = library::toInt(f[1]);
    if (f.size() == 3) fetch.except = library::undoubleApostrophes(f[2]);
    return fetch;
}

IdsSeen idsSeenIn(const ChangeFields& change) {
    IdsSeen seen;
    switch (change.code) {
    case library::kCategoryChanged: seen.categories.push_back(change.target); break;
    case library::kEntryChanged: seen.entries.push_back(change.target); break;
    case library::kDeleted:
    case library::kMoved: {
        library::MoveDescription move;
        if (!library::parseMoveDescription(change.body, change.code, move)) break;
        seen.categories.push_back(move.source);
        seen.categories.push_back(move.target);
        addIdList(seen.categories, move.categories);
        addIdList(seen.entries, move.entries);
        break;
    }
    default: break;
    }
    if (change.code == library::kNewEntry || change.code == library::kEntryChanged)
        if (std::optional<long long> sID = dataIdOf(change.body)) seen.data.push_back(*sID);
    return seen;
}

std::optional<long long> dataIdOf(std::string_view body) {
    for (std::string_view item : library::splitOutsideQuotes(body)) {
        library::Assignment a;
        if (!library::splitAssignment(item, a) || a.column != "sID") continue;
        long long id = 0;
        if (readId(a.value, id) && id > 0) return id;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace orv::server
