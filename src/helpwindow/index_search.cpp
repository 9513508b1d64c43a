// Filling the result list of the index, search and favorites tabs, and opening its lines:
// the queries, the per-library limits, the limit notice, the exact match.
#include "helpwindow/index_search.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"

#include <chrono>
#include <limits>
#include <thread>

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

// One refill of the list: the lines added, the rows the libraries hold against the rows
// read, and the first exact match.
class ListFill {
public:
    // The sID of a row that carries none (a favorite).
    static constexpr long long kNoData = std::numeric_limits<long long>::min();

    explicit ListFill(ResultList& list) : list_(list) {}

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
        auto record = std::make_unique<TreeNode>();
        record->id = kID;
        record->name = name;
        record->lib = lib;
        record->type = type;
        pending_.push_back({name, std::move(record)});
        if (pending_.size() >= kBatch) flush();
        if (exact && exactLine_ < 0) exactLine_ = lines_;
        ++lines_;
    }

    // Puts the lines still held and, when rows were left out, the limit notice first;
    // returns the exact match's line (counting the notice), -1 for none.
    int finish() {
        flush();
        if (total_ <= read_) return exactLine_;
        list_.insertFirst(limitNotice(total_ - read_));
        return exactLine_ < 0 ? -1 : exactLine_ + 1;
    }

private:
    // Lines go to the list in batches: few enough trips to a list box's thread, and
    // early enough that a long list shows its top while the rest is read.
    static constexpr std::size_t kBatch = 200;

    void flush() {
        if (pending_.empty()) return;
        list_.addLines(std::move(pending_));
        pending_.clear();
    }

    ResultList& list_;
    std::vector<ResultLine> pending_;
    long long lastSID_ = kNoData;
    int lines_ = 0;
    int exactLine_ = -1;
    long long total_ = 0;
    long long read_ = 0;
};

}  // namespace

std::string listItemLink(const TreeNode& record) {
    return (record.type >= library::kFirstMemberType ? "y" : "k") + std::to_string(record.lib) +
           std::to_string(record.id);
}

IndexAndSearch::IndexAndSearch(PaneSources sources) : s_(std::move(sources)) {}

IndexAndSearch::~IndexAndSearch() { waitIdle(); }

void IndexAndSearch::StartIndexLookup() {
    if (s_.view.currentTab() != kTabIndex) return;
    const std::string text = s_.view.searchText();
    // The generation is taken here, in the order the box changed, rather than by the
    // worker: workers start in no fixed order, and the last change must be the one that
    // fills the list.
    const long long generation = ++generation_;
    // No thread to be had: this change is not looked up (the next one will be), and the
    // list that an older lookup stopped filling is shown as it stands.
    if (!workers_.start([this, generation, text] { runWorker(generation, text); })) s_.list.setRedraw(true);
}

void IndexAndSearch::runWorker(long long generation, const std::string& text) {
    try {
        lookupAs(generation, text);
    } catch (...) {
        // A lookup that failed half way must not leave the list frozen.
        if (current(generation)) s_.list.setRedraw(true);
    }
}

void IndexAndSearch::IndexLookup(const std::string& text) { lookupAs(++generation_, text); }

void IndexAndSearch::lookupAs(long long generation, const std::string& text) {
    std::lock_guard lock(lookupLock_);
    if (!current(generation)) return;
    if (text.empty()) {
        // Nothing to look up; the list stays as it is, but visible again if an older
        // lookup stopped with its redrawing off.
        s_.list.setRedraw(true);
        return;
    }
    const std::string upper = text::toUpperAscii(text);
    s_.list.setRedraw(false);
    s_.list.clear();
    ListFill fill(s_.list);
    const std::string where = indexCondition(upper);
    for (int lib : kLibraries) {
        if (!current(generation)) return;
        const long long total = s_.db.count(lib, tables::ListAndData, where);
        ResultTable rows;
        fill.counted(total, s_.db.find(lib, tables::ListAndData, where, rows, kIndexFields, kByName, kIndexLimit));
        for (int i = 0; i < rows.count() && current(generation); ++i)
            fill.add(lib, rows.number(i, 0), rows.text(i, 1), 0, rows.number(i, 3), rows.text(i, 2) == upper);
    }
    if (!current(generation)) return;
    // The exact match is only marked: the user is still typing, and opening pages under
    // their fingers would steal the box's focus.
    const int exact = fill.finish();
    if (exact >= 0) s_.list.select(exact);
    s_.list.setRedraw(true);
}

void IndexAndSearch::RunSearch() {
    const int tab = s_.view.currentTab();
    if (tab != kTabSearch && tab != kTabFavorites) return;
    const std::string text = s_.view.searchText();
    if (text.empty() && tab != kTabFavorites) return;
    // An index lookup still filling the list stops at its next check: the list is this
    // routine's now. (The user-interface thread never waits for the lookup's lock: the
    // lookup fills the list through that thread's messages.)
    ++generation_;
    const std::string upper = text::toUpperAscii(text);
    const auto isExact = [&](const std::string& name) { return !upper.empty() && text::toUpperAscii(name) == upper; };
    s_.list.setRedraw(false);
    s_.list.clear();
    ListFill fill(s_.list);
    if (tab == kTabFavorites) {
        const long long total = s_.db.count(library::kPrivate, tables::Favorite, "");
        ResultTable rows;
        fill.counted(total, s_.db.find(library::kPrivate, tables::Favorite, "", rows, kFavoriteFields, "", kFavoritesLimit));
        for (int i = 0; i < rows.count(); ++i)
            fill.add(static_cast<int>(rows.number(i, 2)), rows.number(i, 0), rows.text(i, 1),
                     static_cast<int>(rows.number(i, 3)), ListFill::kNoData, isExact(rows.text(i, 1)));
    } else {
        const std::string where = searchCondition(text);
        for (int lib : kLibraries) {
            const long long total = s_.db.count(lib, tables::DataAndList, where);
            ResultTable rows;
            fill.counted(total, s_.db.find(lib, tables::DataAndList, where, rows, kSearchFields, kByName, kSearchLimit));
            for (int i = 0; i < rows.count(); ++i)
                fill.add(lib, rows.number(i, 0), rows.text(i, 1), static_cast<int>(rows.number(i, 2)), rows.number(i, 3),
                         isExact(rows.text(i, 1)));
        }
    }
    const int exact = fill.finish();
    if (exact >= 0) {
        s_.list.select(exact);
        OpenListItem();
    }
    if (s_.list.count() == 0) s_.list.add(tab == kTabFavorites ? kNoFavorites : kNothingFound, nullptr);
    s_.list.setRedraw(true);
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

void IndexAndSearch::waitIdle(const std::function<void()>& pump) { workers_.waitIdle(pump); }

}  // namespace orv::helpwindow
