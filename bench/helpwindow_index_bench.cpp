// Cost of the index lookup and the full-text search through the help window's core (into
// an in-memory list), next to the very statements they send run straight on the SQLite
// files, on a library of more than 50 000 entries.
//   build/native/bench/helpwindow_index_bench [--benchmark_filter=...]
// The library is the FreeBASIC manual fixture multiplied into a temporary file.
#include "helpwindow/index_search.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "large_library.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace orv;

namespace {

constexpr long long kMinEntries = 50000;

// The host stand-in, keeping the SQL of every list request while asked to: counts reach
// SQLite as list requests too, so this is every statement a routine sends.
class RecordingHostDb : public library::SqliteHostDb {
public:
    bool recording = false;
    std::vector<std::pair<int, std::string>> statements;

    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override {
        if (recording) {
            std::string sql = "SELECT " + std::string(fields.empty() ? "*" : fields) + " FROM " + std::string(table);
            if (!where.empty()) sql += " WHERE " + std::string(where);
            if (!order.empty()) sql += " ORDER BY " + std::string(order);
            if (limit > 0) sql += " LIMIT " + std::to_string(limit);
            statements.emplace_back(lib, std::move(sql));
        }
        return SqliteHostDb::find(lib, table, where, out, fields, order, limit);
    }
};

class NoPrompts : public library::Prompter {
public:
    void message(std::string_view, library::MessageKind) override {}
    bool ask(std::string_view) override { return false; }
};

struct BenchLibrary {
    fs::path dir;
    RecordingHostDb db;
    sqlite3* raw[2] = {nullptr, nullptr};  // the same two files, opened straight
    std::string error;                     // set when the fixture is missing or a step failed

    ~BenchLibrary() {
        for (sqlite3* r : raw) sqlite3_close_v2(r);
    }
};

BenchLibrary& benchLibrary() {
    static std::unique_ptr<BenchLibrary> lib = [] {
        auto b = std::make_unique<BenchLibrary>();
        b->dir = fs::temp_directory_path() / "orv-index-bench";
        fs::remove_all(b->dir);
        const fs::path files[2] = {b->dir / "PubHelp.db", b->dir / "PriHelp.db"};
        b->error = bench::makeLargeLibrary(files[0], kMinEntries);
        if (!b->error.empty()) return b;
        // The private library is an empty one with the host's tables and indexes.
        if (!b->db.open(library::kPublic, files[0].string(), library::OpenMode::ExistingOnly, b->error) ||
            !b->db.open(library::kPrivate, files[1].string(), library::OpenMode::CreateMissing, b->error))
            return b;
        for (int i : {0, 1}) {
            if (sqlite3_open_v2(files[i].string().c_str(), &b->raw[i], SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
                b->error = "cannot open " + files[i].string() + " for the raw statements";
                return b;
            }
        }
        return b;
    }();
    return *lib;
}

// The panes over the bench library, filling a list in memory; a line they open goes
// nowhere.
struct Panes {
    explicit Panes(library::HostDb& db) : panes({db, list, view, [](std::string_view) {}, prompts, helpwindow::inlineWindowThread()}) {}
    helpwindow::MemoryList list;
    helpwindow::MemoryView view;
    NoPrompts prompts;
    helpwindow::IndexAndSearch panes;
};

// What a routine sends, recorded while it runs once.
std::vector<std::pair<int, std::string>> statementsOf(BenchLibrary& b, const std::function<void()>& routine) {
    b.db.statements.clear();
    b.db.recording = true;
    routine();
    b.db.recording = false;
    return std::move(b.db.statements);
}

// How many of the statements SQLite answers by searching an index of KeywordData rather
// than scanning a table from end to end (EXPLAIN QUERY PLAN).
int indexSearches(BenchLibrary& b, const std::vector<std::pair<int, std::string>>& statements) {
    int searches = 0;
    for (const auto& [lib, sql] : statements) {
        sqlite3_stmt* plan = nullptr;
        if (sqlite3_prepare_v2(b.raw[lib], ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &plan, nullptr) != SQLITE_OK)
            continue;
        bool search = false;
        while (sqlite3_step(plan) == SQLITE_ROW) {
            const std::string detail = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
            search = search || detail.rfind("SEARCH KeywordData USING COVERING INDEX", 0) == 0 ||
                     detail.rfind("SEARCH KeywordData USING INDEX", 0) == 0;
        }
        sqlite3_finalize(plan);
        searches += search;
    }
    return searches;
}

// The statements prepared once, as the host stand-in keeps them, and run to their end
// with every column's text read.
void runRaw(benchmark::State& state, BenchLibrary& b, const std::vector<std::pair<int, std::string>>& statements) {
    std::vector<sqlite3_stmt*> prepared;
    for (const auto& [lib, sql] : statements) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(b.raw[lib], sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            const std::string error = sql + ": " + sqlite3_errmsg(b.raw[lib]);
            for (sqlite3_stmt* s : prepared) sqlite3_finalize(s);
            return state.SkipWithError(error.c_str());
        }
        prepared.push_back(stmt);
    }
    long long rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (sqlite3_stmt* stmt : prepared) {
            sqlite3_reset(stmt);
            const int columns = sqlite3_column_count(stmt);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                ++rows;
                for (int i = 0; i < columns; ++i) benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
            }
        }
    }
    for (sqlite3_stmt* s : prepared) sqlite3_finalize(s);
    state.counters["statements"] = static_cast<double>(statements.size());
    state.counters["index_searches"] = indexSearches(b, statements);
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_IndexLookupCore(benchmark::State& state, const char* prefix) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    Panes p(b.db);
    for (auto _ : state) p.panes.IndexLookup(prefix);
    state.counters["lines"] = p.list.count();
    state.counters["entries"] = static_cast<double>(b.db.count(library::kPublic, library::tables::KeywordData, ""));
}

void BM_IndexLookupRawSqlite(benchmark::State& state, const char* prefix) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    Panes p(b.db);
    runRaw(state, b, statementsOf(b, [&] { p.panes.IndexLookup(prefix); }));
}

void BM_FullTextSearchCore(benchmark::State& state, const char* text) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    Panes p(b.db);
    p.view.tab = helpwindow::kTabSearch;
    p.view.box = text;
    for (auto _ : state) p.panes.RunSearch();
    state.counters["lines"] = p.list.count();
}

void BM_FullTextSearchRawSqlite(benchmark::State& state, const char* text) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    Panes p(b.db);
    p.view.tab = helpwindow::kTabSearch;
    p.view.box = text;
    runRaw(state, b, statementsOf(b, [&] { p.panes.RunSearch(); }));
}

// PRI: a few hundred rows; SCR: more than the 999 a library may show.
BENCHMARK_CAPTURE(BM_IndexLookupCore, PRI, "pri")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IndexLookupRawSqlite, PRI, "pri")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IndexLookupCore, SCR, "scr")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IndexLookupRawSqlite, SCR, "scr")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FullTextSearchCore, pointer, "pointer")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FullTextSearchRawSqlite, pointer, "pointer")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
