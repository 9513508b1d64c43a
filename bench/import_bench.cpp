// Cost of importing the whole FreeBASIC header corpus as a folder in reference mode into
// a fresh private library file, next to its two halves: reading and scanning the files
// without writing anything, and adding the same rows through the host seam without
// reading anything. Rates are of wall time: the commit's disk writes count.
//   build/native/bench/import_bench [--benchmark_filter=...]
// The corpus is ../shared/corpus/fbc-inc (or ORV_SHARED_DIR); the public library the
// duplicate check reads is the FreeBASIC manual fixture, as it comes (no index on the
// name column, so every look-up reads the whole table) or with that index added (/1).
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "tools/import_run.h"
#include "tools/line_scan.h"
#include "tools/plain_progress.h"
#include "tools/source_text.h"
#include "large_library.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace orv;
using library::kPrivate;
using library::kPublic;

namespace {

using Clock = std::chrono::steady_clock;

// Adds and duplicate look-ups timed apart; every add is kept when asked to.
class MeasuredDb : public library::SqliteHostDb {
public:
    long long addItemUtf(int lib, std::string_view table, std::string_view assignments) override {
        const auto start = Clock::now();
        const long long id = SqliteHostDb::addItemUtf(lib, table, assignments);
        addTime += Clock::now() - start;
        ++adds;
        if (keepAdds) kept.push_back({std::string(table), std::string(assignments)});
        return id;
    }
    std::string findOnly(int lib, std::string_view table, std::string_view where, std::string_view field,
                         std::string_view order) override {
        const auto start = Clock::now();
        std::string value = SqliteHostDb::findOnly(lib, table, where, field, order);
        lookupTime += Clock::now() - start;
        return value;
    }

    struct Add {
        std::string table, assignments;
    };
    Clock::duration addTime{}, lookupTime{};
    long long adds = 0;
    bool keepAdds = false;
    std::vector<Add> kept;
};

class SilentPrompter : public library::Prompter {
public:
    void message(std::string_view text, library::MessageKind kind) override {
        if (kind != library::MessageKind::Information) errors += std::string(text) + "\n";
    }
    bool ask(std::string_view) override { return false; }
    std::string errors;
};

struct Corpus {
    fs::path folder;
    fs::path work;          // temporary folder of the library files
    fs::path indexedPublic; // the fixture with an index on KeywordData.UKeyWord
    std::vector<fs::path> headers;
    std::string skipped;    // why the benchmarks cannot run
};

const Corpus& corpus() {
    static const std::unique_ptr<Corpus> c = [] {
        auto out = std::make_unique<Corpus>();
        out->folder = bench::sharedFolder() / "corpus" / "fbc-inc";
        if (!fs::is_directory(out->folder) || !fs::exists(bench::manualFixture())) {
            out->skipped = "the header corpus or the manual fixture under " + bench::sharedFolder().string() +
                           " is absent: skipped";
            return out;
        }
        out->work = fs::temp_directory_path() / "orv-import-bench";
        fs::remove_all(out->work);
        fs::create_directories(out->work);
        fs::copy_file(bench::manualFixture(), out->work / "PubHelp.db");
        out->indexedPublic = out->work / "PubHelp-indexed.db";
        fs::copy_file(bench::manualFixture(), out->indexedPublic);
        sqlite3* raw = nullptr;
        if (sqlite3_open(out->indexedPublic.string().c_str(), &raw) != SQLITE_OK ||
            sqlite3_exec(raw, "CREATE INDEX IF NOT EXISTS benchName ON KeywordData(UKeyWord)", nullptr, nullptr,
                         nullptr) != SQLITE_OK)
            out->skipped = "cannot index the public copy";
        sqlite3_close(raw);
        for (const auto& item : fs::recursive_directory_iterator(out->folder)) {
            const std::string ext = item.path().extension().string();
            if (item.is_regular_file() && (ext == ".bi" || ext == ".BI" || ext == ".inc" || ext == ".INC"))
                out->headers.push_back(item.path());
        }
        return out;
    }();
    return *c;
}

// Opens a public copy and a new, empty private library.
bool openLibraries(const Corpus& c, library::SqliteHostDb& db, std::string& error, bool indexedPublic = false) {
    fs::remove(c.work / "PriHelp.db");
    const fs::path pub = indexedPublic ? c.indexedPublic : c.work / "PubHelp.db";
    return db.open(kPublic, pub.string(), library::OpenMode::ExistingOnly, error) &&
           db.open(kPrivate, (c.work / "PriHelp.db").string(), library::OpenMode::CreateMissing, error);
}

tools::ImportOutcome importCorpus(const Corpus& c, MeasuredDb& db, SilentPrompter& prompter) {
    tools::PlainProgress progress;
    tools::ImportRequest request;
    request.scope = tools::ImportScope::Folder;
    request.path = c.folder.string() + "/";
    return tools::RunImport(db, prompter, progress, request);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void BM_ImportCorpus(benchmark::State& state) {
    const Corpus& c = corpus();
    if (!c.skipped.empty()) return state.SkipWithError(c.skipped.c_str());
    tools::ImportOutcome outcome;
    double inAdds = 0, inLookups = 0, total = 0;
    long long rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MeasuredDb db;
        std::string error;
        if (!openLibraries(c, db, error, state.range(0) == 1)) return state.SkipWithError(error.c_str());
        SilentPrompter prompter;
        state.ResumeTiming();
        const auto start = Clock::now();
        outcome = importCorpus(c, db, prompter);
        total += seconds(Clock::now() - start);
        inAdds += seconds(db.addTime);
        inLookups += seconds(db.lookupTime);
        rows = db.adds;
        if (!prompter.errors.empty() || !outcome.statistics.errorList.empty())
            return state.SkipWithError(("the import reported errors: " + prompter.errors).c_str());
    }
    const auto rate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["files/s"] = benchmark::Counter(outcome.statistics.filesRead, rate);
    state.counters["entries/s"] = benchmark::Counter(outcome.statistics.referenceEntries, rate);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["adds%"] = 100.0 * inAdds / total;
    state.counters["lookups%"] = 100.0 * inLookups / total;
    state.counters["peakMiB"] = peakMemoryMiB();
}
// First, so that the process's peak memory is the import's own.
BENCHMARK(BM_ImportCorpus)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Reading and scanning every header, the statements' entries made and dropped.
void BM_ReadAndScanOnly(benchmark::State& state) {
    const Corpus& c = corpus();
    if (!c.skipped.empty()) return state.SkipWithError(c.skipped.c_str());
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        for (const fs::path& header : c.headers) {
            const std::optional<std::string> text = tools::ReadSourceText(header.string());
            if (!text) return state.SkipWithError(("cannot read " + header.string()).c_str());
            tools::ScanLines(tools::SplitSourceLines(*text), tools::ExtractionMode::Reference, [] { return false; },
                             [&entries](tools::ExtractedEntries& found, std::size_t) {
                                 entries += found.size();
                                 return tools::StatementOutcome::Continue;
                             });
        }
    }
    const auto rate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(c.headers.size()), rate);
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries), rate);
}
BENCHMARK(BM_ReadAndScanOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The very rows one import adds, added again in one transaction with nothing read,
// looked up or completed.
void BM_BareInserts(benchmark::State& state) {
    const Corpus& c = corpus();
    if (!c.skipped.empty()) return state.SkipWithError(c.skipped.c_str());
    static const std::vector<MeasuredDb::Add> rows = [&c] {
        MeasuredDb db;
        SilentPrompter prompter;
        std::string error;
        db.keepAdds = true;
        if (openLibraries(c, db, error)) importCorpus(c, db, prompter);
        return db.kept;
    }();
    if (rows.empty()) return state.SkipWithError("the recording import added nothing");
    for (auto _ : state) {
        state.PauseTiming();
        library::SqliteHostDb db;
        std::string error;
        if (!openLibraries(c, db, error)) return state.SkipWithError(error.c_str());
        state.ResumeTiming();
        db.transaction(kPrivate, library::TransactionStep::Begin);
        for (const auto& row : rows) db.addItemUtf(kPrivate, row.table, row.assignments);
        db.transaction(kPrivate, library::TransactionStep::Commit);
    }
    state.counters["rows"] = static_cast<double>(rows.size());
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BareInserts)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
