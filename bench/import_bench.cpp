// Cost of importing the whole FreeBASIC header corpus as a folder in reference mode into
// a fresh private library file, under each duplicate rule, against the bare cost of
// adding the very rows that import adds; and, apart, reading and scanning the files
// without writing anything. Rates are of wall time: the commit's disk writes count.
//   build/native/bench/import_bench [--benchmark_filter=...]
// BM_ImportCorpus/<rule>/<index>: rule 0 to 3; index 0 reads the FreeBASIC manual fixture
// as the public library as it comes (no index on the name column), 1 with that index.
// Its counter xBare is the import's rate over the bare insert rate of its own rows
// (1.0 would mean the import costs no more than adding its rows); peakMiB includes
// those rows, kept for the bare inserts.
// The corpus is ../shared/corpus/fbc-inc (or ORV_SHARED_DIR).
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "tools/import_run.h"
#include "tools/line_scan.h"
#include "library/plain_progress.h"
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

// Adds and reads timed apart; every add is kept when asked to.
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
    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override {
        const ReadTimer timer(*this);
        return SqliteHostDb::find(lib, table, where, out, fields, order, limit);
    }
    std::string findOnly(int lib, std::string_view table, std::string_view where, std::string_view field,
                         std::string_view order) override {
        const ReadTimer timer(*this);
        return SqliteHostDb::findOnly(lib, table, where, field, order);
    }

    struct Add {
        std::string table, assignments;
    };
    Clock::duration addTime{}, readTime{};
    long long adds = 0;
    bool keepAdds = false;
    std::vector<Add> kept;

private:
    // One read may be made of others (findOnly reads through find): only the outermost
    // is timed.
    struct ReadTimer {
        explicit ReadTimer(MeasuredDb& db) : db(db), start(Clock::now()) { ++db.readDepth; }
        ~ReadTimer() {
            if (--db.readDepth == 0) db.readTime += Clock::now() - start;
        }
        MeasuredDb& db;
        Clock::time_point start;
    };
    int readDepth = 0;
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

// The fixture's copy, writable (the shared fixtures are read-only).
bool copyFixture(const fs::path& to) {
    std::error_code ec;
    fs::copy_file(bench::manualFixture(), to, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec;
}

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
        out->indexedPublic = out->work / "PubHelp-indexed.db";
        if (!copyFixture(out->work / "PubHelp.db") || !copyFixture(out->indexedPublic)) {
            out->skipped = "cannot copy the manual fixture to " + out->work.string();
            return out;
        }
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

tools::ImportOutcome importCorpus(const Corpus& c, MeasuredDb& db, SilentPrompter& prompter,
                                  tools::DuplicateRule rule) {
    library::PlainProgress progress;
    tools::ImportRequest request;
    request.scope = tools::ImportScope::Folder;
    request.path = c.folder.string() + "/";
    request.duplicateRule = rule;
    return tools::RunImport(db, prompter, progress, request);
}

// Seconds to add the rows again in one transaction, with nothing read, looked up or
// completed; negative when the libraries cannot be opened.
double bareInsertSeconds(const Corpus& c, const std::vector<MeasuredDb::Add>& rows) {
    library::SqliteHostDb db;
    std::string error;
    if (!openLibraries(c, db, error)) return -1;
    const auto start = Clock::now();
    db.transaction(kPrivate, library::TransactionStep::Begin);
    for (const auto& row : rows) db.addItemUtf(kPrivate, row.table, row.assignments);
    db.transaction(kPrivate, library::TransactionStep::Commit);
    return std::chrono::duration<double>(Clock::now() - start).count();
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
    const auto rule = static_cast<tools::DuplicateRule>(state.range(0));
    tools::ImportOutcome outcome;
    double inAdds = 0, inReads = 0, total = 0, bare = 0;
    std::vector<MeasuredDb::Add> rows;
    for (auto _ : state) {
        state.PauseTiming();
        // The rows of the last run go first, so that the peak memory is one run's.
        std::vector<MeasuredDb::Add>().swap(rows);
        MeasuredDb db;
        std::string error;
        if (!openLibraries(c, db, error, state.range(1) == 1)) return state.SkipWithError(error.c_str());
        SilentPrompter prompter;
        db.keepAdds = true;
        state.ResumeTiming();
        const auto start = Clock::now();
        outcome = importCorpus(c, db, prompter, rule);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        inAdds += seconds(db.addTime);
        inReads += seconds(db.readTime);
        if (!prompter.errors.empty() || !outcome.statistics.errorList.empty() || !outcome.committed)
            return state.SkipWithError(("the import reported errors: " + prompter.errors).c_str());
        rows = std::move(db.kept);
        const double b = bareInsertSeconds(c, rows);
        if (b < 0) return state.SkipWithError("cannot open the libraries for the bare inserts");
        bare += b;
        state.ResumeTiming();
    }
    const auto rate = benchmark::Counter::kIsIterationInvariantRate;
    const double entries = outcome.statistics.referenceEntries;
    state.counters["files/s"] = benchmark::Counter(outcome.statistics.filesRead, rate);
    state.counters["entries/s"] = benchmark::Counter(entries, rate);
    state.counters["rows"] = static_cast<double>(rows.size());
    state.counters["bareRows/s"] = static_cast<double>(rows.size()) * static_cast<double>(state.iterations()) / bare;
    state.counters["xBare"] = bare / total;
    state.counters["adds%"] = 100.0 * inAdds / total;
    state.counters["reads%"] = 100.0 * inReads / total;
    state.counters["peakMiB"] = peakMemoryMiB();
}
// First, so that the process's peak memory is the import's own.
BENCHMARK(BM_ImportCorpus)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->ArgNames({"rule", "index"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

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

}  // namespace

BENCHMARK_MAIN();
