// Cost of a keyword page whose examples hold 300 lines of code, against a library of
// more than 50 000 entries, next to the cost of its word look-ups alone and of the
// highlighter without any library.
//   build/native/bench/render_bench [--benchmark_filter=...]
// The library is the FreeBASIC manual fixture multiplied into a temporary file.
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "render/highlighter.h"
#include "render/library_word_lookup.h"
#include "render/page_renderer.h"

#include <benchmark/benchmark.h>

#include "large_library.h"

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace orv;

namespace {

constexpr long long kMinEntries = 50000;
constexpr int kExampleLines = 300;

// Counts the single-value queries that pages make.
class CountingDb : public library::HostDb {
public:
    explicit CountingDb(library::HostDb& inner) : in_(inner) {}
    long long findOnlyCalls = 0;
    int find(int l, std::string_view t, std::string_view w, library::ResultTable& o, std::string_view f,
             std::string_view r, int n) override { return in_.find(l, t, w, o, f, r, n); }
    bool findOne(int l, std::string_view t, std::string_view w, library::Row& o, std::string_view f,
                 std::string_view r) override { return in_.findOne(l, t, w, o, f, r); }
    std::string findOnly(int l, std::string_view t, std::string_view w, std::string_view f, std::string_view r) override {
        ++findOnlyCalls;
        return in_.findOnly(l, t, w, f, r);
    }
    long long count(int l, std::string_view t, std::string_view w) override { return in_.count(l, t, w); }
    long long addItem(int l, std::string_view t, std::string_view a) override { return in_.addItem(l, t, a); }
    long long addItemUtf(int l, std::string_view t, std::string_view a) override { return in_.addItemUtf(l, t, a); }
    long long update(int l, std::string_view t, std::string_view w, std::string_view a) override { return in_.update(l, t, w, a); }
    long long updateUtf(int l, std::string_view t, std::string_view w, std::string_view a) override { return in_.updateUtf(l, t, w, a); }
    long long deleteItem(int l, std::string_view t, std::string_view w) override { return in_.deleteItem(l, t, w); }
    long long maxId(int l, std::string_view t, std::string_view f, std::string_view w) override { return in_.maxId(l, t, f, w); }
    bool transaction(int l, library::TransactionStep s) override { return in_.transaction(l, s); }
    void vacuum(int l) override { in_.vacuum(l); }
    std::string errMsg(int l) override { return in_.errMsg(l); }

private:
    library::HostDb& in_;
};

struct BenchLibrary {
    fs::path dir;
    library::SqliteHostDb db;
    long long pageKID = 0;
    std::string examples;
    std::string error;  // set when the fixture is missing
};

// A large library, and one entry whose examples are 300 lines of the manual's own
// example code.
BenchLibrary& benchLibrary() {
    static std::unique_ptr<BenchLibrary> lib = [] {
        auto b = std::make_unique<BenchLibrary>();
        b->dir = fs::temp_directory_path() / "orv-render-bench";
        fs::remove_all(b->dir);
        b->error = bench::makeLargeLibrary(b->dir / "PubHelp.db", kMinEntries);
        if (!b->error.empty()) return b;
        fs::copy(fs::path(ORV_SOURCE_DIR) / "view", b->dir / "view", fs::copy_options::recursive);
        if (!b->db.open(library::kPublic, (b->dir / "PubHelp.db").string(), library::OpenMode::ExistingOnly, b->error) ||
            !b->db.openInMemory(library::kPrivate, library::kPrivate, b->error))
            return b;

        library::ResultTable rows;
        b->db.find(0, library::tables::KeywordData, "Examples<>''", rows, "Examples", "sID", 0);
        int lines = 0;
        for (int i = 0; i < rows.count() && lines < kExampleLines; ++i) {
            const std::string& code = rows.text(i, 0);
            for (size_t from = 0; from < code.size() && lines < kExampleLines; ++lines) {
                size_t end = code.find("\r\n", from);
                if (end == std::string::npos) end = code.size();
                b->examples.append(code, from, end - from).append("\r\n");
                from = end + 2;
            }
        }
        const long long sID = b->db.addItemUtf(0, library::tables::KeywordData,
            library::Assignments().addText("KeyWord", "PRINT").addText("UKeyWord", "PRINT").addText("Description", "bench")
                .add("Attribute", 1).add("nType", 1).addText("Examples", b->examples).str());
        b->pageKID = b->db.addItemUtf(0, library::tables::KeywordList,
                                      "dID=1,nType=1,DisplayKeyWord='PRINT',sID=" + std::to_string(sID));
        return b;
    }();
    return *lib;
}

void BM_RenderKeywordPage(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    CountingDb db(b.db);
    render::PageSources sources{db, b.dir.string() + "/", true};
    library::TreeNode record;
    record.id = b.pageKID;
    size_t bytes = 0;
    for (auto _ : state) {
        auto page = render::buildKeywordPage(sources, record, {});
        bytes = page ? page->html.size() : 0;
        benchmark::DoNotOptimize(page);
    }
    state.counters["entries"] = static_cast<double>(b.db.count(0, library::tables::KeywordData, ""));
    state.counters["lookups/page"] = static_cast<double>(db.findOnlyCalls) / static_cast<double>(state.iterations());
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RenderKeywordPage)->Unit(benchmark::kMillisecond);

// The same words' look-ups alone: what a page cannot do without.
void BM_LookupsOnly(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    struct Recorder : render::WordLookup {
        std::vector<std::string> words;
        std::optional<render::WordTarget> find(std::string_view w) override {
            words.emplace_back(w);
            return std::nullopt;
        }
    } recorder;
    render::HighlightCode(b.examples, "PRINT", render::CodeMode::Numbered, recorder);
    for (auto _ : state) {
        render::LibraryWordLookup lookup(b.db);
        for (const std::string& w : recorder.words) benchmark::DoNotOptimize(lookup.find(w));
    }
    state.counters["words"] = static_cast<double>(recorder.words.size());
}
BENCHMARK(BM_LookupsOnly)->Unit(benchmark::kMillisecond);

// The highlighter with no library behind it.
void BM_HighlightOnly(benchmark::State& state) {
    BenchLibrary& b = benchLibrary();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    struct None : render::WordLookup {
        std::optional<render::WordTarget> find(std::string_view) override { return std::nullopt; }
    } none;
    for (auto _ : state) benchmark::DoNotOptimize(render::HighlightCode(b.examples, "PRINT", render::CodeMode::Numbered, none));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(b.examples.size()));
}
BENCHMARK(BM_HighlightOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
