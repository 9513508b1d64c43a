// What opening and saving an editor costs in the core: the entry read with its further
// placements and its form filled from the shipped template, the change list of a form
// holding a megabyte of text, and the chooser's tree of the whole manual fixture.
//   build/native/bench/editors_bench [--benchmark_filter=...]
#include "editors/category_chooser.h"
#include "editors/editor_template.h"
#include "editors/entry_editor.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <benchmark/benchmark.h>

#include "large_library.h"

#include <filesystem>
#include <memory>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace orv;

namespace {

// The manual fixture as it is: the chooser and the editors see its real tree.
struct FixtureLibrary {
    fs::path dir;
    library::SqliteHostDb db;
    long long kID = 0;
    std::string error;

    FixtureLibrary() {
        dir = fs::temp_directory_path() / ("orv-editors-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        error = bench::makeLargeLibrary(dir / "PubHelp.db", 0);
        if (!error.empty()) return;
        if (!db.open(library::kPublic, (dir / "PubHelp.db").string(), library::OpenMode::ExistingOnly, error)) return;
        // The entry with the longest explanation.
        library::ResultTable rows;
        db.find(library::kPublic, library::tables::ListAndData, library::tables::JoinCondition, rows, "kID",
                "length(Explain) Desc", 1);
        kID = rows.number(0, 0);
    }
    ~FixtureLibrary() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

FixtureLibrary& fixture() {
    static FixtureLibrary library;
    return library;
}

void BM_OpenEntryEditor(benchmark::State& state) {
    FixtureLibrary& f = fixture();
    if (!f.error.empty()) return state.SkipWithError(f.error.c_str());
    const std::string page = editors::LoadEditorTemplate(ORV_SOURCE_DIR, editors::kEntryTemplate);
    if (page.empty()) return state.SkipWithError("view/WordEditor.htm is missing");
    for (auto _ : state) {
        std::optional<editors::EntryState> entry = editors::LoadEntry(f.db, library::kPublic, f.kID);
        benchmark::DoNotOptimize(editors::FillEntryPage(page, *entry, "#F0F0F0"));
    }
}
BENCHMARK(BM_OpenEntryEditor)->Unit(benchmark::kMicrosecond);

void BM_CollectChangesOfAMegabyteForm(benchmark::State& state) {
    editors::EntryState entry;
    entry.isNew = false;
    entry.keyWord = "PRINT";
    entry.syntax = std::string(1 << 20, 'a') + "\r\n";
    entry.explain = std::string(1 << 20, 'b');
    editors::EntryFields fields = editors::FieldsOf(entry);
    fields.syntax = std::string(1 << 20, 'a') + "\n";  // as a text area hands it back
    fields.sort = "7";
    for (auto _ : state) benchmark::DoNotOptimize(editors::CollectEntryChanges(entry, fields));
    state.SetBytesProcessed(state.iterations() * (2 << 20));
}
BENCHMARK(BM_CollectChangesOfAMegabyteForm)->Unit(benchmark::kMillisecond);

void BM_FillAMegabyteForm(benchmark::State& state) {
    const std::string page = editors::LoadEditorTemplate(ORV_SOURCE_DIR, editors::kEntryTemplate);
    if (page.empty()) return state.SkipWithError("view/WordEditor.htm is missing");
    editors::EntryState entry;
    entry.explain = std::string(1 << 20, '<');
    entry.examples = std::string(1 << 20, 'x');
    for (auto _ : state) benchmark::DoNotOptimize(editors::FillEntryPage(page, entry, "#F0F0F0"));
    state.SetBytesProcessed(state.iterations() * (2 << 20));
}
BENCHMARK(BM_FillAMegabyteForm)->Unit(benchmark::kMillisecond);

void BM_ChooserTree(benchmark::State& state) {
    FixtureLibrary& f = fixture();
    if (!f.error.empty()) return state.SkipWithError(f.error.c_str());
    size_t top = 0;
    for (auto _ : state) top = editors::ChooserTree(f.db, library::kPublic).size();
    state.counters["top_level"] = static_cast<double>(top);
    state.counters["categories"] = static_cast<double>(f.db.count(library::kPublic, library::tables::Directory, ""));
}
BENCHMARK(BM_ChooserTree)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
