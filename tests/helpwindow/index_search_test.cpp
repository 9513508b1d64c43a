// The index, search and favorites panes over real in-memory libraries: what the list
// holds and in which order, what is selected, opened and asked; and orvhelp's index,
// search and favorites commands over library files.
#include "helpwindow/index_search.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "support/orvhelp_runner.h"
#include "support/queued_window_thread.h"
#include "support/temp_dir.h"
#include "support/watched_host_db.h"
#include "text/ascii.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>

using namespace orv;
using namespace orv::helpwindow;
using library::kPrivate;
using library::kPublic;
namespace tables = library::tables;

namespace {

class ScriptedPrompter : public library::Prompter {
public:
    bool answer = false;
    std::vector<std::string> asked, told;
    void message(std::string_view text, library::MessageKind) override { told.emplace_back(text); }
    bool ask(std::string_view question) override {
        asked.emplace_back(question);
        return answer;
    }
};

// The libraries, able to hold one lookup inside its first count of a chosen condition
// until the test lets it go, and keeping every count asked for.
class GatedDb : public test::WatchedHostDb {
public:
    std::string gate;  // a piece of the condition to hold; empty: nothing is held

    long long count(int lib, std::string_view table, std::string_view where) override {
        {
            std::unique_lock lock(mutex_);
            counted.push_back(std::to_string(lib) + ":" + std::string(where));
            if (!gate.empty() && !held_ && where.find(gate) != std::string_view::npos) {
                held_ = true;
                changed_.notify_all();
                changed_.wait(lock, [&] { return released_; });
            }
        }
        return WatchedHostDb::count(lib, table, where);
    }
    bool waitHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return held_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    std::vector<std::string> counts() {
        std::lock_guard lock(mutex_);
        return counted;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> counted;
    bool held_ = false;
    bool released_ = false;
};

// The list, keeping every line ever added.
class LoggingList : public MemoryList {
public:
    void add(std::string_view text, std::unique_ptr<library::TreeNode> record) override {
        {
            std::lock_guard lock(mutex_);
            added_.emplace_back(text);
        }
        MemoryList::add(text, std::move(record));
    }
    std::vector<std::string> added() const {
        std::lock_guard lock(mutex_);
        return added_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> added_;
};

// Adds an entry's texts (KeyWord and its upper case, plus `more` assignments); the sID.
long long addData(library::HostDb& db, int lib, const std::string& keyword, const std::string& more = "") {
    const long long sID = db.addItemUtf(lib, tables::KeywordData,
                                        library::Assignments()
                                            .addText("KeyWord", keyword)
                                            .addText("UKeyWord", text::toUpperAscii(keyword))
                                            .append(more)
                                            .str());
    EXPECT_GT(sID, 0) << db.errMsg(lib);
    return sID;
}

// Places texts in a category (or under an entry, for a member); the kID.
long long place(library::HostDb& db, int lib, long long sID, const std::string& display, int type = 1,
                long long dID = 1, const std::string& more = "") {
    const long long kID = db.addItemUtf(
        lib, tables::KeywordList,
        library::Assignments().add("dID", dID).add("sID", sID).addText("DisplayKeyWord", display).add("nType", type)
            .append(more).str());
    EXPECT_GT(kID, 0) << db.errMsg(lib);
    return kID;
}

// A private text row without a placement (never listed), so that the private texts that
// follow are numbered apart from the public ones: a private row sharing its sID with the
// public row listed just before it is taken for the same entry and skipped.
void numberPrivateTextsApart(library::HostDb& db) {
    ASSERT_EQ(db.addItemUtf(kPrivate, tables::KeywordData, "sID=5000,KeyWord='',UKeyWord=''"), 5000);
}

long long addEntry(library::HostDb& db, int lib, const std::string& name, int type = 1) {
    return place(db, lib, addData(db, lib, name), name, type);
}

void addFavorite(library::HostDb& db, long long kID, int lib, const std::string& name, int type = 1) {
    ASSERT_GT(db.addItemUtf(kPrivate, tables::Favorite,
                            library::Assignments().add("kID", kID).add("PriPub", lib).add("nType", type)
                                .addText("DisplayKeyWord", name).str()),
              0);
}

std::string numbered(const char* format, int n) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
}

std::string notice(int left) { return "--已限制显示条数，还有" + std::to_string(left) + "条没显示--"; }

// One line of the list as the tests compare it: "lib kID type name", or a notice alone.
std::string lineOf(const ResultList& list, int i) {
    const auto record = list.record(i);
    if (!record) return list.text(i);
    return std::to_string(record->lib) + " " + std::to_string(record->id) + " " + std::to_string(record->type) + " " +
           list.text(i);
}

// The panes of one help window over their own libraries; the test plays the window's
// thread.
struct Window {
    explicit Window(test::QueuedWindowThread::Jobs jobs = test::QueuedWindowThread::Jobs::OnThreads) : thread(jobs) {
        numberPrivateTextsApart(db);
    }

    GatedDb db;
    LoggingList list;
    MemoryView view;
    ScriptedPrompter prompter;
    std::vector<std::string> opened;
    test::QueuedWindowThread thread;
    IndexAndSearch panes{
        {db, list, view, [this](std::string_view link) { opened.emplace_back(link); }, prompter, thread.seam()}};

    // The lookups end, and what they handed back reaches the list.
    void settle() {
        panes.waitIdle();
        thread.runPosted();
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < list.count(); ++i) out.push_back(lineOf(list, i));
        return out;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (int i = 0; i < list.count(); ++i) out.push_back(list.text(i));
        return out;
    }
    void lookup(const std::string& text) {
        view.tab = kTabIndex;
        view.box = text;
        panes.StartIndexLookup();
        settle();
    }
    void search(int tab, const std::string& text) {
        view.tab = tab;
        view.box = text;
        panes.RunSearch();
    }
    void choose(int line) {
        list.select(line);
        panes.OpenListItem();
    }
    // No query was refused: a text that broke its fragment would show here.
    void expectQueriesRan() {
        EXPECT_EQ(db.errMsg(kPublic), "");
        EXPECT_EQ(db.errMsg(kPrivate), "");
    }
};

void bulk(library::HostDb& db, int lib, const std::function<void()>& adds) {
    library::HostTransaction t(db, lib);
    adds();
    ASSERT_TRUE(t.commit());
}

// --- index -----------------------------------------------------------------------------

// 999 rows per library at most; the rows left out of both are counted in one notice put
// first; public rows come first, each library in name order; the exact match is selected
// (its line counting the notice) and nothing is opened.
TEST(IndexLookup, ListsAtMost999PerLibraryUnderOneNotice) {
    const struct {
        int publicMatches, privateMatches;
        int left;  // 0: no notice
    } cases[] = {{1200, 3, 201}, {1200, 1001, 203}, {999, 0, 0}, {1, 2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.publicMatches) + " public, " + std::to_string(c.privateMatches) + " private");
        Window w;
        // Added against name order, so that the order shown is the query's.
        bulk(w.db, kPublic, [&] {
            addEntry(w.db, kPublic, "PRI");
            for (int i = c.publicMatches - 1; i >= 1; --i) addEntry(w.db, kPublic, numbered("pri%04d", i));
            addEntry(w.db, kPublic, "PRAGMA");
            addEntry(w.db, kPublic, "SPRINT");
            place(w.db, kPublic, addData(w.db, kPublic, "PRIMEMBER"), "PRIMEMBER", library::kEntryMember, 2);
        });
        bulk(w.db, kPrivate, [&] {
            for (int i = c.privateMatches - 1; i >= 0; --i) addEntry(w.db, kPrivate, numbered("Private%04d", i));
            addEntry(w.db, kPrivate, "APRIVATE");
        });

        w.lookup("pri");

        const std::vector<std::string> names = w.names();
        const int first = c.left ? 1 : 0;
        const int publicShown = std::min(c.publicMatches, kIndexLimit);
        const int privateShown = std::min(c.privateMatches, kIndexLimit);
        ASSERT_EQ(names.size(), static_cast<size_t>(first + publicShown + privateShown));
        if (c.left) {
            EXPECT_EQ(names[0], notice(c.left));
            EXPECT_FALSE(w.list.record(0));
        }
        EXPECT_EQ(names[first], "PRI");
        for (int i = 1; i < publicShown; ++i) ASSERT_EQ(names[first + i], numbered("pri%04d", i));
        for (int i = 0; i < privateShown; ++i) {
            ASSERT_EQ(names[first + publicShown + i], numbered("Private%04d", i));
            ASSERT_EQ(w.list.record(first + publicShown + i)->lib, kPrivate);
        }
        EXPECT_EQ(w.list.record(first + publicShown - 1)->lib, kPublic);
        EXPECT_EQ(w.list.selected(), c.left ? 1 : 0) << "the entry PRI is the exact match";
        EXPECT_TRUE(w.opened.empty());
        EXPECT_TRUE(w.view.shownPages().empty());
        EXPECT_TRUE(w.list.redrawing());
        w.expectQueriesRan();
    }
}

// An entry placed in several categories is listed once when its rows meet, even across
// the two libraries (the first private row is compared with the last public one); rows
// of the same data that do not meet are all listed; members are not listed.
TEST(IndexLookup, ListsRowsOfOneEntryOnceWhenTheyMeet) {
    Window w;
    const long long print = addData(w.db, kPublic, "PRINT");
    const long long printA = addData(w.db, kPublic, "PRINTA");
    const long long printKID = place(w.db, kPublic, print, "PRINT", 1, 1);
    place(w.db, kPublic, print, "PRINT", 1, 2);
    const long long aKID = place(w.db, kPublic, printA, "PRINTA");
    const long long bKID = addEntry(w.db, kPublic, "PRINTB");
    const long long cKID = place(w.db, kPublic, printA, "PRINTC");  // PRINTA's data again, after PRINTB
    place(w.db, kPublic, addData(w.db, kPublic, "PRINTM"), "PRINTM", library::kEntryEnumMember, aKID);
    // The private library's first match happens to carry the sID of the public PRINTC.
    const long long shared = addData(w.db, kPrivate, "PRINTP", "sID=" + std::to_string(printA));
    ASSERT_EQ(shared, printA);
    place(w.db, kPrivate, shared, "PRINTP");
    const long long qKID = addEntry(w.db, kPrivate, "PRINTQ");

    w.lookup("print");

    const auto k = [](int lib, long long id, const char* name) {
        return std::to_string(lib) + " " + std::to_string(id) + " 0 " + name;
    };
    EXPECT_EQ(w.lines(), (std::vector<std::string>{k(0, printKID, "PRINT"), k(0, aKID, "PRINTA"), k(0, bKID, "PRINTB"),
                                                   k(0, cKID, "PRINTC"), k(1, qKID, "PRINTQ")}));
    EXPECT_EQ(w.list.selected(), 0);
    EXPECT_TRUE(w.opened.empty());
    EXPECT_EQ(w.view.box, "print");
}

// Choosing an index line opens its entry; the box takes the entry's name only when the
// user is not typing in it.
TEST(IndexLookup, ChosenLineOpensItsEntry) {
    for (bool boxFocused : {false, true}) {
        SCOPED_TRACE(boxFocused ? "box focused" : "box not focused");
        Window w;
        addEntry(w.db, kPublic, "Locate");
        const long long kID = addEntry(w.db, kPrivate, "LOCATE_EX");
        w.view.boxFocused = boxFocused;
        w.lookup("loc");
        ASSERT_EQ(w.list.count(), 2);
        EXPECT_EQ(w.list.selected(), -1);
        w.choose(1);
        EXPECT_EQ(w.opened, std::vector<std::string>{"k1" + std::to_string(kID)});
        EXPECT_EQ(w.view.box, boxFocused ? "loc" : "LOCATE_EX");
        EXPECT_TRUE(w.prompter.asked.empty());
    }
}

// A lookup overtaken by a newer one stops: it adds no line, asks the private library
// nothing, and the list is the newer lookup's. The first lookup is held inside its
// first count until the second has been started.
TEST(IndexLookup, OnlyTheNewestLookupFillsTheList) {
    Window w;
    addEntry(w.db, kPublic, "PRINT");
    const long long pro = addEntry(w.db, kPublic, "PROC");
    addEntry(w.db, kPrivate, "PRINTF");
    const long long proPrivate = addEntry(w.db, kPrivate, "PROPERTY");
    w.db.gate = "LIKE 'PRI%'";

    w.view.tab = kTabIndex;
    w.view.box = "pri";
    w.panes.StartIndexLookup();
    ASSERT_TRUE(w.db.waitHeld()) << "the first lookup never reached the library";
    w.view.box = "pro";
    w.panes.StartIndexLookup();
    w.db.release();
    w.settle();

    EXPECT_EQ(w.lines(), (std::vector<std::string>{"0 " + std::to_string(pro) + " 0 PROC",
                                                   "1 " + std::to_string(proPrivate) + " 0 PROPERTY"}));
    EXPECT_EQ(w.list.added(), (std::vector<std::string>{"PROC", "PROPERTY"}));
    for (const std::string& c : w.db.counts())
        EXPECT_FALSE(c.rfind("1:", 0) == 0 && c.find("'PRI%'") != std::string::npos) << c;
    EXPECT_TRUE(w.list.redrawing());
}

// Typing fast starts many lookups at once; whichever worker runs last, the list ends as
// the last change of the box asks.
TEST(IndexLookup, TheLastChangeDecidesAmongManyLookups) {
    Window w;
    bulk(w.db, kPublic, [&] {
        for (int i = 0; i < 300; ++i) {
            addEntry(w.db, kPublic, numbered("PRINT%03d", i));
            addEntry(w.db, kPublic, numbered("PROC%03d", i));
        }
    });
    w.view.tab = kTabIndex;
    for (int round = 0; round < 20; ++round) {
        for (const char* text : {"p", "pr", "pri", "pr", "pro"}) {
            w.view.box = text;
            w.panes.StartIndexLookup();
        }
        w.settle();
        const std::vector<std::string> names = w.names();
        ASSERT_EQ(names.size(), 300u) << "round " << round;
        EXPECT_EQ(names.front(), "PROC000");
        EXPECT_EQ(names.back(), "PROC299");
        EXPECT_TRUE(w.list.redrawing());
    }
}

// The index looks only on its own tab, and an empty box looks nothing up.
TEST(IndexLookup, LooksUpOnlyOnTheIndexTabAndOnlyText) {
    Window w;
    addEntry(w.db, kPublic, "PRINT");
    w.list.add("kept", nullptr);
    for (int tab : {kTabContents, kTabSearch, kTabFavorites}) {
        w.view.tab = tab;
        w.view.box = "pri";
        w.panes.StartIndexLookup();
        w.settle();
    }
    w.lookup("");
    EXPECT_EQ(w.names(), std::vector<std::string>{"kept"});
    EXPECT_TRUE(w.db.counts().empty());
}

// A lookup whose lines come back after the user moved on leaves the list alone: a search
// run meanwhile, another tab, or the panes gone. Its worker runs only when the test says.
TEST(IndexLookup, LateLinesLeaveTheListAlone) {
    const auto held = test::QueuedWindowThread::Jobs::Held;
    {
        Window w(held);
        addEntry(w.db, kPublic, "PRINT");
        w.view.tab = kTabIndex;
        w.view.box = "pri";
        w.panes.StartIndexLookup();
        w.search(kTabSearch, "PRINT");
        const std::vector<std::string> searched = w.names();
        ASSERT_EQ(searched, std::vector<std::string>{"PRINT"});
        ASSERT_TRUE(w.thread.runHeldJob());
        w.thread.runPosted();
        EXPECT_EQ(w.names(), searched);
        EXPECT_TRUE(w.list.redrawing());
    }
    {
        Window w(held);
        addEntry(w.db, kPublic, "PRINT");
        w.list.add("kept", nullptr);
        w.view.tab = kTabIndex;
        w.view.box = "pri";
        w.panes.StartIndexLookup();
        ASSERT_TRUE(w.thread.runHeldJob());
        w.view.tab = kTabContents;
        w.thread.runPosted();
        EXPECT_EQ(w.names(), std::vector<std::string>{"kept"});
    }
    {
        GatedDb db;
        MemoryList list;
        MemoryView view;
        ScriptedPrompter prompter;
        test::QueuedWindowThread thread(held);
        addEntry(db, kPublic, "PRINT");
        view.tab = kTabIndex;
        view.box = "pri";
        auto panes = std::make_unique<IndexAndSearch>(PaneSources{db, list, view, {}, prompter, thread.seam()});
        panes->StartIndexLookup();
        ASSERT_TRUE(thread.runHeldJob());
        // The lines outlive the panes, as a posted message outlives a closed window.
        panes.reset();
        EXPECT_EQ(thread.runPosted(), 1);
        EXPECT_EQ(list.count(), 0);
    }
}

// --- search ----------------------------------------------------------------------------

// The full-text search looks in seven texts (the keyword, description, explanation,
// syntax, parameters, examples and source) and not in the member list, the related
// entries or the include files; LIKE ignores the case of the text.
TEST(FullTextSearch, LooksInSevenTexts) {
    const struct {
        const char* column;
        bool found;
    } cases[] = {{"UKeyWord", true},   {"Description", true}, {"Explain", true}, {"Syntax", true},
                 {"Parameter", true},  {"Examples", true},    {"Source", true},  {"Member", false},
                 {"Related", false},   {"Include", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        Window w;
        const std::string column = c.column;
        const long long sID = column == "UKeyWord"
                                  ? addData(w.db, kPublic, "XZEBRAFISHX")
                                  : addData(w.db, kPublic, "ENTRY", column + "='a ZEBRAFISH here'");
        const long long kID = place(w.db, kPublic, sID, "ENTRY");
        w.search(kTabSearch, "zebraFish");
        if (c.found)
            EXPECT_EQ(w.lines(), std::vector<std::string>{"0 " + std::to_string(kID) + " 1 ENTRY"});
        else
            EXPECT_EQ(w.lines(), std::vector<std::string>{std::string(kNothingFound)});
        EXPECT_EQ(w.list.selected(), -1);
        EXPECT_TRUE(w.opened.empty());
        EXPECT_TRUE(w.list.redrawing());
        w.expectQueriesRan();
    }
}

// A search line whose name equals the text is selected and opened at once; members are
// found too and open as members; an entry placed twice is listed once.
TEST(FullTextSearch, OpensTheExactMatch) {
    Window w;
    const long long lprint = addEntry(w.db, kPublic, "LPRINT");
    const long long printSID = addData(w.db, kPublic, "PRINT");
    const long long print = place(w.db, kPublic, printSID, "Print", 1, 1);
    place(w.db, kPublic, printSID, "Print", 1, 7);
    const long long widget = addEntry(w.db, kPrivate, "Widget", library::kEntryDefinedType);
    const long long paint = place(w.db, kPrivate, addData(w.db, kPrivate, "Paint", "Explain='prints the widget'"),
                                  "Paint", library::kEntryMember, widget);
    const auto line = [](int lib, long long id, int type, const char* name) {
        return std::to_string(lib) + " " + std::to_string(id) + " " + std::to_string(type) + " " + name;
    };
    const struct {
        const char* text;
        std::vector<std::string> lines;
        int selected;
        std::string opened;
    } cases[] = {
        {"print", {line(0, lprint, 1, "LPRINT"), line(0, print, 1, "Print"), line(1, paint, 20, "Paint")}, 1,
         "k0" + std::to_string(print)},
        {"PAINT", {line(1, paint, 20, "Paint")}, 0, "y1" + std::to_string(paint)},
        {"prin", {line(0, lprint, 1, "LPRINT"), line(0, print, 1, "Print"), line(1, paint, 20, "Paint")}, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        w.opened.clear();
        w.search(kTabSearch, c.text);
        EXPECT_EQ(w.lines(), c.lines);
        EXPECT_EQ(w.list.selected(), c.selected);
        EXPECT_EQ(w.opened, c.opened.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opened});
        EXPECT_EQ(w.view.box, c.text) << "the search tab leaves the box alone";
    }
}

// At most 300 rows per library; the rest are counted in the notice put first.
TEST(FullTextSearch, ListsAtMost300PerLibrary) {
    Window w;
    bulk(w.db, kPublic, [&] {
        for (int i = 0; i < 350; ++i) addEntry(w.db, kPublic, numbered("Pub%03d", i));
    });
    bulk(w.db, kPrivate, [&] {
        for (int i = 0; i < 310; ++i) addEntry(w.db, kPrivate, numbered("Pri%03d", i));
    });
    w.search(kTabSearch, "P");
    const std::vector<std::string> names = w.names();
    ASSERT_EQ(names.size(), 601u);
    EXPECT_EQ(names[0], notice(60));
    EXPECT_EQ(names[1], "Pub000");
    EXPECT_EQ(names[300], "Pub299");
    EXPECT_EQ(names[301], "Pri000");
    EXPECT_EQ(names[600], "Pri299");
}

// Nothing happens without text on the search tab, nor on the tabs that have no search.
TEST(FullTextSearch, SearchesOnlyTextOnItsTab) {
    Window w;
    addEntry(w.db, kPublic, "PRINT");
    w.list.add("kept", nullptr);
    w.search(kTabSearch, "");
    w.search(kTabIndex, "print");
    w.search(kTabContents, "print");
    EXPECT_EQ(w.names(), std::vector<std::string>{"kept"});
    EXPECT_TRUE(w.db.counts().empty());
}

// An apostrophe in the text is doubled in the fragment: the queries run and find the
// names that hold one.
TEST(IndexAndSearchText, ApostropheIsQuoted) {
    const struct {
        int tab;
        const char* text;
        std::vector<std::string> names;
        int selected;
        bool opened;
    } cases[] = {
        {kTabIndex, "o'brien", {"O'Brien", "O'Briens"}, 0, false},
        {kTabIndex, "'", {}, -1, false},
        {kTabSearch, "o'brien", {"O'Brien", "O'Briens"}, 0, true},
        {kTabSearch, "'", {"O'Brien", "O'Briens"}, -1, false},
        {kTabSearch, "x' Or 1=1 Or '", {std::string(kNothingFound)}, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Window w;
        const long long obrien = addEntry(w.db, kPublic, "O'Brien");
        addEntry(w.db, kPrivate, "O'Briens");
        addEntry(w.db, kPublic, "Other");
        if (c.tab == kTabIndex) w.lookup(c.text);
        else w.search(c.tab, c.text);
        EXPECT_EQ(w.names(), c.names);
        EXPECT_EQ(w.list.selected(), c.selected);
        EXPECT_EQ(w.opened, c.opened ? std::vector<std::string>{"k0" + std::to_string(obrien)}
                                     : std::vector<std::string>{});
        w.expectQueriesRan();
    }
}

// --- favorites -------------------------------------------------------------------------

// Favorites are listed as stored, each with the library it names (a public and a
// private entry with the same kID are two favorites), with no line skipped; choosing one
// opens it as an entry or a member; a name equal to the box text is opened at once.
TEST(Favorites, ListsEveryFavoriteAsStored) {
    Window w;
    const long long pub = addEntry(w.db, kPublic, "Alpha");
    const long long priv = place(w.db, kPrivate, addData(w.db, kPrivate, "Beta"), "Beta", 1, 1,
                                 "kID=" + std::to_string(pub));
    ASSERT_EQ(priv, pub);
    const long long member = place(w.db, kPublic, addData(w.db, kPublic, "Field"), "Field", library::kEntryMember, pub);
    addFavorite(w.db, pub, kPrivate, "Beta");
    addFavorite(w.db, pub, kPublic, "Alpha");
    addFavorite(w.db, member, kPublic, "Field", library::kEntryMember);
    addFavorite(w.db, pub, kPublic, "Alpha");
    const std::string id = std::to_string(pub), memberId = std::to_string(member);

    w.search(kTabFavorites, "");
    EXPECT_EQ(w.lines(), (std::vector<std::string>{"1 " + id + " 1 Beta", "0 " + id + " 1 Alpha",
                                                   "0 " + memberId + " 20 Field", "0 " + id + " 1 Alpha"}));
    EXPECT_EQ(w.list.selected(), -1);
    EXPECT_TRUE(w.opened.empty());

    for (int line : {0, 1, 2}) w.choose(line);
    EXPECT_EQ(w.opened, (std::vector<std::string>{"k1" + id, "k0" + id, "y0" + memberId}));
    EXPECT_TRUE(w.prompter.asked.empty());

    w.opened.clear();
    w.search(kTabFavorites, "beta");
    EXPECT_EQ(w.list.count(), 4);
    EXPECT_EQ(w.list.selected(), 0);
    EXPECT_EQ(w.opened, std::vector<std::string>{"k1" + id});
}

TEST(Favorites, ListsAtMost999UnderTheNotice) {
    Window w;
    bulk(w.db, kPrivate, [&] {
        for (int i = 1199; i >= 0; --i) addFavorite(w.db, i + 1, kPublic, numbered("F%04d", i));
    });
    w.search(kTabFavorites, "");
    const std::vector<std::string> names = w.names();
    ASSERT_EQ(names.size(), 1000u);
    EXPECT_EQ(names[0], notice(201));
    EXPECT_EQ(names[1], "F1199");
    EXPECT_EQ(names[999], "F0201");
}

// With no favorites the list holds the placeholder alone, and choosing it does nothing.
TEST(Favorites, PlaceholderWhenThereAreNone) {
    Window w;
    addEntry(w.db, kPublic, "Alpha");
    w.search(kTabFavorites, "");
    EXPECT_EQ(w.lines(), std::vector<std::string>{std::string(kNoFavorites)});
    w.choose(0);
    EXPECT_TRUE(w.opened.empty());
    EXPECT_TRUE(w.prompter.asked.empty());
    EXPECT_EQ(w.lines(), std::vector<std::string>{std::string(kNoFavorites)});
}

// A favorite whose entry is gone is offered for removal: Yes deletes that favorite (and
// not the other library's favorite with the same kID) and its line; No keeps both; a
// delete the library refuses is reported and keeps both. Nothing is opened.
TEST(Favorites, GoneEntryIsOfferedForRemoval) {
    const struct {
        const char* what;
        bool answer;
        bool deleteFails;
        bool removed;
    } cases[] = {{"yes", true, false, true}, {"no", false, false, false}, {"yes, refused", true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        const long long kept = place(w.db, kPrivate, addData(w.db, kPrivate, "Kept"), "Kept", 1, 1, "kID=77");
        ASSERT_EQ(kept, 77);
        addFavorite(w.db, 77, kPublic, "Gone");
        addFavorite(w.db, 77, kPrivate, "Kept");
        w.search(kTabFavorites, "");
        ASSERT_EQ(w.list.count(), 2);
        w.prompter.answer = c.answer;
        if (c.deleteFails) w.db.failWrite(test::WatchedHostDb::Write::Delete, 1);

        w.choose(0);

        EXPECT_EQ(w.prompter.asked, std::vector<std::string>{std::string(kFavoriteGoneQuestion)});
        EXPECT_TRUE(w.opened.empty());
        EXPECT_EQ(w.db.count(kPrivate, tables::Favorite, "kID=77 And PriPub=0"), c.removed ? 0 : 1);
        EXPECT_EQ(w.db.count(kPrivate, tables::Favorite, "kID=77 And PriPub=1"), 1);
        const std::vector<std::string> left = c.removed ? std::vector<std::string>{"Kept"}
                                                        : std::vector<std::string>{"Gone", "Kept"};
        EXPECT_EQ(w.names(), left);
        if (c.deleteFails) {
            ASSERT_EQ(w.prompter.told.size(), 1u);
            EXPECT_EQ(w.prompter.told[0].rfind("写数据库失败！\r\n错误信息：\r\n", 0), 0u) << w.prompter.told[0];
        } else {
            EXPECT_TRUE(w.prompter.told.empty());
        }
    }
}

// --- orvhelp ---------------------------------------------------------------------------

class IdeLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "Settings");
        std::filesystem::create_directories(dir.path() / "Private");
        std::string error;
        ASSERT_TRUE(db.open(kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error)) << error;
        ASSERT_TRUE(db.open(kPrivate, dir.file("Private/PriHelp.db"), library::OpenMode::CreateMissing, error)) << error;
        numberPrivateTextsApart(db);
    }
    test::OrvhelpResult run(std::vector<std::string> args) {
        args.push_back("--ide");
        args.push_back(dir.path().string());
        return test::orvhelp(args);
    }
    test::TempDir dir;
    library::SqliteHostDb db;
};

TEST_F(IdeLibraries, CommandsPrintTheListsOfTheTabs) {
    const long long print = addEntry(db, kPublic, "PRINT");
    const long long lprint = place(db, kPublic, addData(db, kPublic, "LPRINT", "Description='prints to the printer'"),
                                   "LPRINT");
    const long long printf = addEntry(db, kPrivate, "PRINTF");
    addFavorite(db, printf, kPrivate, "PRINTF");
    const std::string p = std::to_string(print), l = std::to_string(lprint), f = std::to_string(printf);
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"index", "pri"}, "0\t" + p + "\t0\tPRINT\n1\t" + f + "\t0\tPRINTF\n"},
        {{"index", "print"}, "0\t" + p + "\t0\tPRINT\n1\t" + f + "\t0\tPRINTF\nselected\t1\n"},
        {{"search", "print"}, "0\t" + l + "\t1\tLPRINT\n0\t" + p + "\t1\tPRINT\n1\t" + f +
                                  "\t1\tPRINTF\nselected\t2\nopened\tk0" + p + "\n"},
        {{"search", "printer"}, "0\t" + l + "\t1\tLPRINT\n"},
        {{"search", "nowhere"}, std::string(kNothingFound) + "\n"},
        {{"favorites"}, "1\t" + f + "\t1\tPRINTF\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const test::OrvhelpResult r = run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(IdeLibraries, CommandsSayWhatIsWrong) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("Private/PriHelp.db").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE Favorite", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    const struct {
        std::vector<std::string> args;
        bool withIde;
        int status;
        const char* says;
    } cases[] = {
        {{"index", ""}, true, 2, "TEXT is empty"},
        {{"search"}, true, 2, "usage: orvhelp search TEXT"},
        {{"index", "pri"}, false, 2, "needs --ide"},
        {{"favorites"}, true, 1, "library 1: no such table: Favorite"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const test::OrvhelpResult r = c.withIde ? run(c.args) : test::orvhelp(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    const test::OrvhelpResult missing = test::orvhelp({"favorites", "--ide", dir.file("nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
}

}  // namespace
