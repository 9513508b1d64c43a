// Cost of opening a level of the contents tree that holds more than 500 entries (500
// shown and the "more" line), of the whole-tree reload, and of following a link to an
// entry beyond a level's first 500, against a library of more than 50 000 entries.
//   build/native/bench/helpwindow_tree_bench [--benchmark_filter=...]
// The library is the FreeBASIC manual fixture multiplied into a temporary file.
#include "helpwindow/contents.h"
#include "helpwindow/link_dispatch.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

#include <benchmark/benchmark.h>

#include "large_library.h"

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace orv;

namespace {

constexpr long long kMinEntries = 50000;

// Nothing the tree says is timed.
class Unheard : public library::Prompter {
public:
    void message(std::string_view, library::MessageKind) override {}
    bool ask(std::string_view) override { return false; }
};

struct BenchTree {
    fs::path dir;
    library::SqliteHostDb db;
    library::Settings settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    Unheard prompter;
    std::unique_ptr<helpwindow::Contents> contents;
    long long biggest = 0;       // the category with the most entries
    long long entriesThere = 0;
    long long lastThere = 0;     // its entry that sorts last, beyond the first 500
    std::string error;           // set when the fixture is missing
};

BenchTree& benchTree() {
    static std::unique_ptr<BenchTree> t = [] {
        auto b = std::make_unique<BenchTree>();
        b->dir = fs::temp_directory_path() / "orv-tree-bench";
        fs::remove_all(b->dir);
        b->error = bench::makeLargeLibrary(b->dir / "PubHelp.db", kMinEntries);
        if (!b->error.empty()) return b;
        if (!b->db.open(library::kPublic, (b->dir / "PubHelp.db").string(), library::OpenMode::ExistingOnly, b->error) ||
            !b->db.openInMemory(library::kPrivate, library::kPrivate, b->error))
            return b;
        b->contents = std::make_unique<helpwindow::Contents>(
            helpwindow::ContentsSources{b->db, b->tree, b->view, b->settings, {}, b->prompter});

        library::ResultTable categories;
        b->db.find(library::kPublic, library::tables::Directory, "dID>0", categories, "dID", "", 0);
        for (int i = 0; i < categories.count(); ++i) {
            const long long dID = categories.number(i, 0);
            const long long n = b->db.count(library::kPublic, library::tables::KeywordList,
                                            "nType <20 And dID=" + std::to_string(dID));
            if (n > b->entriesThere) {
                b->entriesThere = n;
                b->biggest = dID;
            }
        }
        if (b->entriesThere <= helpwindow::kLevelLimit) {
            b->error = "no category of the multiplied fixture holds more than 500 entries";
            return b;
        }
        b->lastThere = library::toInt(b->db.findOnly(library::kPublic, library::tables::KeywordList,
                                                     "nType <20 And dID=" + std::to_string(b->biggest), "kID",
                                                     "Sort DESC,DisplayKeyWord DESC"));
        return b;
    }();
    return *t;
}

// Opening (and closing) the biggest category: the count, 500 rows, 500 items, the "more" line.
void BM_OpenLevelOf500Entries(benchmark::State& state) {
    BenchTree& b = benchTree();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    b.contents->Reload();
    const helpwindow::ItemId item = helpwindow::revealTarget(*b.contents, {0, b.biggest, render::TargetKind::Category});
    if (item == helpwindow::kNoItem) return state.SkipWithError("the biggest category is not in the tree");
    size_t shown = 0;
    for (auto _ : state) {
        b.contents->Collapse(item);
        b.contents->Expand(item);
        shown = b.tree.children(item).size();
    }
    state.counters["entries"] = static_cast<double>(b.db.count(library::kPublic, library::tables::KeywordList, ""));
    state.counters["in_category"] = static_cast<double>(b.entriesThere);
    state.counters["items_shown"] = static_cast<double>(shown);
}
BENCHMARK(BM_OpenLevelOf500Entries)->Unit(benchmark::kMillisecond);

// The whole-tree reload: the top level of both libraries' placeholder and bins.
void BM_ReloadTree(benchmark::State& state) {
    BenchTree& b = benchTree();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    for (auto _ : state) b.contents->Reload();
    state.counters["top_items"] = static_cast<double>(b.tree.children(b.tree.root()).size());
}
BENCHMARK(BM_ReloadTree)->Unit(benchmark::kMillisecond);

// A link to the entry that sorts last in the biggest category: page, reload, the walk
// down with that entry located, the quiet selection.
void BM_ShowTargetBeyondTheLimit(benchmark::State& state) {
    BenchTree& b = benchTree();
    if (!b.error.empty()) return state.SkipWithError(b.error.c_str());
    helpwindow::LinkDispatcher links(*b.contents, helpwindow::inlineWindowThread());
    helpwindow::ItemId item = helpwindow::kNoItem;
    for (auto _ : state) item = links.ShowTarget(library::kPublic, b.lastThere, render::TargetKind::Entry);
    const library::TreeNode* reached = b.tree.record(item);
    if (!reached || reached->id != b.lastThere) state.SkipWithError("the walk did not reach the entry");
}
BENCHMARK(BM_ShowTargetBeyondTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
