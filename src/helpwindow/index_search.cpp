// Filling the result list of the index, search and favorites tabs, and opening its lines:
// the queries, the per-library limits, the limit notice, the exact match.
#include "helpwindow/index_search.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"

#include <limits>

namespace orv::helpwindow {

using library::ResultTable;
using library::TreeNode;
namespace tables = library::tables;

namespace {

constexpr std::string_view kIndexFields =
    "KeywordList.kID,KeywordList.DisplayKeyWord,KeywordData.UKeyWord,KeywordList.sID";
constexpr std::string_view kSearchFields =
    "KeywordList.kID,KeywordList.DisplayKeyWord,KeywordList.nType,KeywordList.sID";
constexpr std::string_view kFavoriteFields = "kID,DisplayKeyWord,PriPub,nType";
constexpr std::string_view kByName = "KeywordList.DisplayKeyWord";
constexpr int kLibraries[] = {library::kPublic, library::kPrivate};

// The texts the full-text search looks in, in the order it asks; Member, Related and
// Include are not searched.
constexpr std::string_view kSearchedColumns[] = {
    "KeywordData.UKeyWord", "KeywordData.Description", "KeywordData.Explain", "KeywordData.Syntax",
    "KeywordData.Parameter", "KeywordData.Examples", "KeywordData.Source"};

std::string limitNotice(long long left) {
    return "--已限制显示条数，还有" + std::to_string(left) + "条没显示--";
}

// Entries whose upper-case keyword starts with `upper`; members are not listed.
std::string indexCondition(const std::string& upper) {
    const std::string prefix = "KeywordData.UKeyWord LIKE '" + library::doubleApostrophes(upper) + "%'";
    return library::joinConditions({tables::JoinCondition, "KeywordList.nType<20", prefix});
}

// Rows with the text anywhere in one of the searched columns. LIKE ignores the case of
// ASCII letters, so the text goes in as typed.
std::string searchCondition(const std::string& text) {
    const std::string pattern = " LIKE '%" + library::doubleApostrophes(text) + "%'";
    std::string where = "(";
    for (std::string_view column : kSearchedColumns) {
        if (where.size() > 1) where += " Or ";
        where.append(column).append(pattern);
    }
    return where + " ) And " + std::string(tables::JoinCondition);
}

// Collects one refill of the list: the lines, the rows the libraries hold against the
// rows read, and the first exact match.
class LineCollector {
public:
    // The sID of a row that carries none (a favorite).
    static constexpr long long kNoData = std::numeric_limits<long long>::min();

    void counted(long long total, int read) {
        total_ += total;
        read_ += read;
    }

    // Adds a line for the row. A row that shares its data (sID) with the line added just
    // before is one entry placed in several categories and is listed once; rows without
    // an sID (favorites) are always listed.
    void add(int lib, long long kID, const std::string& name, int type, long long sID, bool exact) {
        if (sID != kNoData && sID == lastSID_) return;
        lastSID_ = sID;
        TreeNode record;
        record.id = kID;
        record.name = name;
        record.lib = lib;
        record.type = type;
        if (exact && found_.exact < 0) found_.exact = static_cast<int>(found_.lines.size());
        found_.lines.push_back({name, std::move(record)});
    }

    FoundLines finish() {
        found_.notShown = total_ > read_ ? total_ - read_ : 0;
        return std::move(found_);
    }

private:
    FoundLines found_;
    long long lastSID_ = kNoData;
    long long total_ = 0;
    long long read_ = 0;
};

}  // namespace

std::string listItemLink(const TreeNode& record) {
    return (record.type >= library::kFirstMemberType ? "y" : "k") + std::to_string(record.lib) +
           std::to_string(record.id);
}

std::optional<FoundLines> IndexLines(library::HostDb& db, const std::string& text,
                                     const std::function<bool()>& stillWanted) {
    const std::string upper = text::toUpperAscii(text);
    LineCollector collect;
    const std::string where = indexCondition(upper);
    for (int lib : kLibraries) {
        if (!stillWanted()) return std::nullopt;
        const long long total = db.count(lib, tables::ListAndData, where);
        ResultTable rows;
        collect.counted(total, db.find(lib, tables::ListAndData, where, rows, kIndexFields, kByName, kIndexLimit));
        for (int i = 0; i < rows.count(); ++i)
            collect.add(lib, rows.number(i, 0), rows.text(i, 1), 0, rows.number(i, 3), rows.text(i, 2) == upper);
    }
    if (!stillWanted()) return std::nullopt;
    return collect.finish();
}

IndexAndSearch::IndexAndSearch(PaneSources sources) : s_(std::move(sources)), workers_(s_.thread.startJob) {}

IndexAndSearch::~IndexAndSearch() { waitIdle(); }

void IndexAndSearch::StartIndexLookup() {
    if (s_.view.currentTab() != kTabIndex) return;
    const std::string text = s_.view.searchText();
    // Taken here, in the order the box changed: workers start in no fixed order, and the
    // last change must be the one whose lines are shown.
    const long long generation = ++*generation_;
    // Nothing to look up: the list stays as it is.
    if (text.empty()) return;
    library::HostDb& db = s_.db;
    // No thread to be had: this change is not looked up; the next one will be.
    workers_.start([&db, post = s_.thread.post, token = lifetime_.token(), this, counter = generation_, generation,
                    text] {
        std::optional<FoundLines> found = IndexLines(db, text, [&] { return counter->load() == generation; });
        if (!found) return;
        auto lines = std::make_shared<const FoundLines>(std::move(*found));
        post([token, this, generation, lines] {
            if (!Lifetime::ended(token)) looked(generation, *lines);
        });
    });
}

void IndexAndSearch::looked(long long generation, const FoundLines& found) {
    // A later lookup or a search owns the list now; on another tab the lines are not wanted.
    if (generation_->load() != generation || s_.view.currentTab() != kTabIndex) return;
    show(found);
}

void IndexAndSearch::IndexLookup(const std::string& text) {
    ++*generation_;
    if (text.empty()) return;
    if (std::optional<FoundLines> found = IndexLines(s_.db, text, [] { return true; })) show(*found);
}

void IndexAndSearch::show(const FoundLines& found) {
    // Not repainted line by line; shown again however the filling ends.
    struct Redraw {
        ResultList& list;
        ~Redraw() { list.setRedraw(true); }
    } redraw{s_.list};
    s_.list.setRedraw(false);
    s_.list.clear();
    std::vector<ResultLine> lines;
    lines.reserve(found.lines.size());
    for (const FoundLine& line : found.lines)
        lines.push_back({line.text, line.record ? std::make_unique<TreeNode>(*line.record) : nullptr});
    s_.list.addLines(std::move(lines));
    int exact = found.exact;
    if (found.notShown > 0) {
        s_.list.insertFirst(limitNotice(found.notShown));
        if (exact >= 0) ++exact;
    }
    // The exact match is only marked: on the index tab the user is still typing, and
    // opening pages under their fingers would steal the box's focus.
    if (exact >= 0) s_.list.select(exact);
}

void IndexAndSearch::RunSearch() {
    const int tab = s_.view.currentTab();
    if (tab != kTabSearch && tab != kTabFavorites) return;
    const std::string text = s_.view.searchText();
    if (text.empty() && tab != kTabFavorites) return;
    // An index lookup still running is not shown: the list is this routine's now.
    ++*generation_;
    const std::string upper = text::toUpperAscii(text);
    const auto isExact = [&](const std::string& name) { return !upper.empty() && text::toUpperAscii(name) == upper; };
    LineCollector collect;
    if (tab == kTabFavorites) {
        const long long total = s_.db.count(library::kPrivate, tables::Favorite, "");
        ResultTable rows;
        collect.counted(total,
                        s_.db.find(library::kPrivate, tables::Favorite, "", rows, kFavoriteFields, "", kFavoritesLimit));
        for (int i = 0; i < rows.count(); ++i)
            collect.add(static_cast<int>(rows.number(i, 2)), rows.number(i, 0), rows.text(i, 1),
                        static_cast<int>(rows.number(i, 3)), LineCollector::kNoData, isExact(rows.text(i, 1)));
    } else {
        const std::string where = searchCondition(text);
        for (int lib : kLibraries) {
            const long long total = s_.db.count(lib, tables::DataAndList, where);
            ResultTable rows;
            collect.counted(total, s_.db.find(lib, tables::DataAndList, where, rows, kSearchFields, kByName, kSearchLimit));
            for (int i = 0; i < rows.count(); ++i)
                collect.add(lib, rows.number(i, 0), rows.text(i, 1), static_cast<int>(rows.number(i, 2)),
                            rows.number(i, 3), isExact(rows.text(i, 1)));
        }
    }
    FoundLines found = collect.finish();
    if (found.lines.empty() && found.notShown == 0)
        found.lines.push_back({std::string(tab == kTabFavorites ? kNoFavorites : kNothingFound), std::nullopt});
    show(found);
    if (s_.list.selected() >= 0) OpenListItem();
}

void IndexAndSearch::OpenListItem() {
    const int line = s_.list.selected();
    const std::unique_ptr<TreeNode> record = s_.list.record(line);
    if (!record) return;
    const int tab = s_.view.currentTab();
    if (tab == kTabFavorites) {
        const std::string entry = std::to_string(record->id);
        if (s_.db.findOnly(record->lib, tables::KeywordList, "kID=" + entry, "kID", "").empty()) {
            if (!s_.prompter.ask(kFavoriteGoneQuestion)) return;
            const std::string favorite = "kID=" + entry + " And PriPub=" + std::to_string(record->lib);
            if (s_.db.deleteItem(library::kPrivate, tables::Favorite, favorite) < 0) {
                s_.prompter.message(library::failedAddMessage(s_.db, library::kPrivate), library::MessageKind::Error);
                return;
            }
            s_.list.remove(line);
            return;
        }
    } else if (tab == kTabIndex && !s_.view.searchHasFocus()) {
        s_.view.setSearchTextQuietly(record->name);
    }
    if (s_.openLink) s_.openLink(listItemLink(*record));
}

}  // namespace orv::helpwindow
