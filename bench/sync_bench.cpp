// Cost of replaying 10 000 fetched change records (new entries and entry changes) into a
// public library of at least 50 000 entries in one transaction, next to writing the same
// rows straight through the host seam; and of the sync window's list read over those
// records. Rates are of wall time: the commit's disk writes count.
//   build/native/bench/sync_bench [--benchmark_filter=...]
// The library is the FreeBASIC manual fixture multiplied into a temporary file.
#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sync/pending_changes.h"
#include "sync/sync_list.h"
#include "large_library.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace orv;
using library::kPublic;
namespace tables = library::tables;

namespace {

constexpr long long kMinEntries = 50000;
constexpr int kRecords = 10000;
constexpr long long kAuthor = 7;
constexpr long long kFirstDate = 1800000000;

// One fetched change as the server relays it, and the same change as plain writes.
struct Change {
    int code = 0;
    long long target = 0;  // the new kID, or the changed entry's kID
    long long sID = 0;     // the new data row, or the changed entry's
    std::string name;
    std::string list;  // KeywordList items
    std::string data;  // KeywordData items
};

struct BenchLibrary {
    fs::path dir;
    fs::path base;  // the multiplied library, copied afresh for each run
    std::vector<Change> changes;
    long long entries = 0;
    std::string error;  // set when the fixture is missing or could not be prepared
};

bool openCopy(const BenchLibrary& b, library::SqliteHostDb& db, std::string& error) {
    const fs::path work = b.dir / "PubHelp.db";
    fs::copy_file(b.base, work, fs::copy_options::overwrite_existing);
    return db.open(kPublic, work.string(), library::OpenMode::CreateMissing, error);
}

// Half the records add entries, half change existing ones, each with the text of a
// manual entry, as a busy day of other users' edits would look.
std::vector<Change> makeChanges(const library::ResultTable& rows, long long nextKID, long long nextSID) {
    std::vector<Change> changes;
    for (int i = 0; i < kRecords; ++i) {
        const int r = i % rows.count();
        Change c;
        if (i % 2 == 0) {
            c.code = library::kNewEntry;
            c.target = nextKID++;
            c.sID = nextSID++;
            c.name = rows.text(r, 1) + "_new" + std::to_string(i);
            c.list = library::Assignments().add("dID", rows.number(r, 0)).addText("DisplayKeyWord", c.name)
                         .add("nType", rows.number(r, 3)).str();
            c.data = library::Assignments().addText("KeyWord", c.name).addText("UKeyWord", c.name)
                         .addText("Description", rows.text(r, 2)).addText("Syntax", rows.text(r, 4))
                         .add("nType", rows.number(r, 3)).str();
        } else {
            c.code = library::kEntryChanged;
            c.target = rows.number(r, 5);
            c.sID = rows.number(r, 6);
            c.name = rows.text(r, 1);
            c.list = library::Assignments().addText("DisplayKeyWord", c.name + " (changed)").str();
            c.data = library::Assignments().addText("Description", rows.text(r, 2) + "<p>changed</p>").str();
        }
        changes.push_back(std::move(c));
    }
    return changes;
}

BenchLibrary& benchLibrary() {
    static std::unique_ptr<BenchLibrary> lib = [] {
        auto b = std::make_unique<BenchLibrary>();
        b->dir = fs::temp_directory_path() / "orv-sync-bench";
        fs::remove_all(b->dir);
        b->base = b->dir / "PubHelp-base.db";
        b->error = bench::makeLargeLibrary(b->base, kMinEntries);
        if (!b->error.empty()) return b;

        library::SqliteHostDb db, manual;
        if (!db.open(kPublic, b->base.string(), library::OpenMode::ExistingOnly, b->error) ||
            !manual.open(kPublic, bench::manualFixture().string(), library::OpenMode::ExistingOnly, b->error))
            return b;
        // The manual's own entries (same ids in the large copy) give the texts of the records.
        library::ResultTable rows;
        manual.find(kPublic, tables::ListAndData, tables::JoinCondition, rows,
                    "KeywordList.dID,KeywordData.KeyWord,KeywordData.Description,KeywordData.nType,"
                    "KeywordData.Syntax,KeywordList.kID,KeywordList.sID",
                    "KeywordData.sID", 0);
        b->entries = db.count(kPublic, tables::KeywordData, "");
        b->changes = makeChanges(rows, db.maxId(kPublic, tables::KeywordList, "kID", "") + 1,
                                 db.maxId(kPublic, tables::KeywordData, "sID", "") + 1);
        return b;
    }();
    return *lib;
}

// The records as a fetch leaves them: pending, with the relayed body (a new entry's
// list and data items together with the sID the server gave).
void addPendingRecords(const BenchLibrary& b, library::HostDb& db) {
    db.transaction(kPublic, library::TransactionStep::Begin);
    long long date = kFirstDate;
    for (const Change& c : b.changes) {
        std::string body = c.list + "," + c.data;
        if (c.code == library::kNewEntry) body += ",sID=" + std::to_string(c.sID);
        db.addItemUtf(kPublic, tables::UpdateList,
                      library::Assignments().add("uID", kAuthor).addText("uName", "bench").add("sCommand", c.code)
                          .addText("sName", c.name).addText("sText", body).add("sExecute", library::kStatePending)
                          .add("uDate", date++).add("tID", c.target).str());
    }
    db.transaction(kPublic, library::TransactionStep::Commit);
}

benchmark::Counter recordRate() {
    return benchmark::Counter(static_cast<double>(kRecords), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReplayFetchedRecords(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    int applied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        library::SqliteHostDb db;
        std::string error;
        if (!openCopy(b, db, error)) return state.SkipWithError(error.c_str());
        addPendingRecords(b, db);
        state.ResumeTiming();
        applied = sync::ApplyPendingChanges(db).applied;
    }
    if (applied != kRecords) state.SkipWithError("not every record was applied");
    state.counters["entries"] = static_cast<double>(b.entries);
    state.counters["records/s"] = recordRate();
}
BENCHMARK(BM_ReplayFetchedRecords)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same rows written straight through the host seam in one transaction: new entries
// added, changed entries updated, without reading, checking or splitting any record.
void BM_DirectWrites(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        library::SqliteHostDb db;
        std::string error;
        if (!openCopy(b, db, error)) return state.SkipWithError(error.c_str());
        state.ResumeTiming();
        db.transaction(kPublic, library::TransactionStep::Begin);
        long long date = kFirstDate;
        for (const Change& c : b.changes) {
            const std::string stamp = ",uID=" + std::to_string(kAuthor) + ",uDate=" + std::to_string(date++);
            if (c.code == library::kNewEntry) {
                db.addItemUtf(kPublic, tables::KeywordData, c.data + stamp + ",sID=" + std::to_string(c.sID));
                db.addItemUtf(kPublic, tables::KeywordList,
                              c.list + ",kID=" + std::to_string(c.target) + ",sID=" + std::to_string(c.sID));
            } else {
                db.updateUtf(kPublic, tables::KeywordList, "kID=" + std::to_string(c.target), c.list);
                db.updateUtf(kPublic, tables::KeywordData, "sID=" + std::to_string(c.sID), c.data + stamp);
            }
        }
        db.transaction(kPublic, library::TransactionStep::Commit);
    }
    state.counters["entries"] = static_cast<double>(b.entries);
    state.counters["records/s"] = recordRate();
}
BENCHMARK(BM_DirectWrites)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// What the sync window reads each time it fills its list, with 10 000 records pending:
// the newest 300 pending and the newest 300 others, with their column texts.
void BM_FillSyncList(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    library::SqliteHostDb db;
    std::string error;
    if (!openCopy(b, db, error)) return state.SkipWithError(error.c_str());
    addPendingRecords(b, db);
    size_t rows = 0;
    for (auto _ : state) rows = sync::ReadSyncList(db).size();
    if (rows != static_cast<size_t>(sync::kSyncListLimit)) state.SkipWithError("the list does not hold 300 rows");
}
BENCHMARK(BM_FillSyncList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
