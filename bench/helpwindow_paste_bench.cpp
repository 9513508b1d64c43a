// Cost of pasting a category subtree of 2 000 entries (20 categories of 100, texts of a
// few hundred bytes each) within the private library, free changes, through the help
// window's core: the count for the progress bar, every row copied, the commit and the
// tree shown at the target afterwards; plainly (texts copied) and with shared texts.
//   build/native/bench/helpwindow_paste_bench [--benchmark_filter=...]
// The library is built in a temporary file; no fixture is needed.
#include "helpwindow/catalogue.h"
#include "helpwindow/contents.h"
#include "helpwindow/link_dispatch.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "library/plain_progress.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace orv;
using library::kPrivate;
using library::kPublic;
namespace tables = library::tables;

namespace {

constexpr int kCategories = 20;
constexpr int kEntriesEach = 100;
constexpr int kEntries = kCategories * kEntriesEach;
constexpr long long kNow = 1700000000;

class SilentPrompter : public library::Prompter {
public:
    void message(std::string_view, library::MessageKind) override { ++messages; }
    bool ask(std::string_view) override { return true; }
    int messages = 0;
};

struct Library {
    fs::path dir;
    fs::path base;
    long long source = 0, target = 0;
    std::string error;
};

// A private library with the subtree "Source" (20 categories of 100 entries) and an
// empty "Target", built once and copied for each run.
const Library& library() {
    static const Library lib = [] {
        Library l;
        l.dir = fs::temp_directory_path() / "orv-paste-bench";
        fs::remove_all(l.dir);
        fs::create_directories(l.dir);
        l.base = l.dir / "base.db";
        library::SqliteHostDb db;
        if (!db.open(kPrivate, l.base.string(), library::OpenMode::CreateMissing, l.error)) return l;
        db.transaction(kPrivate, library::TransactionStep::Begin);
        l.source = db.addItemUtf(kPrivate, tables::Directory, "DirName='Source',ParentDir=0,nType=10");
        l.target = db.addItemUtf(kPrivate, tables::Directory, "DirName='Target',ParentDir=0,nType=10");
        for (int c = 0; c < kCategories; ++c) {
            const long long dID = db.addItemUtf(
                kPrivate, tables::Directory,
                library::Assignments().addText("DirName", "Group " + std::to_string(c)).add("ParentDir", l.source)
                    .add("nType", 10).add("Sort", c).str());
            for (int e = 0; e < kEntriesEach; ++e) {
                const std::string name = "Entry" + std::to_string(c) + "_" + std::to_string(e);
                const long long sID = db.addItemUtf(
                    kPrivate, tables::KeywordData,
                    library::Assignments().addText("KeyWord", name).addText("UKeyWord", name)
                        .addText("Description", "What " + name + " does, in a sentence or two.")
                        .addText("Syntax", "Declare Function " + name + " (ByVal x As Integer, s As String) As Long")
                        .addText("Explain", "<p>It's explained here:</p><pre>Print " + name + "(1, \"a\")</pre>")
                        .add("nType", 3).str());
                db.addItemUtf(kPrivate, tables::KeywordList,
                              library::Assignments().add("dID", dID).add("sID", sID).addText("DisplayKeyWord", name)
                                  .add("nType", 3).add("Sort", e).str());
            }
        }
        if (!db.transaction(kPrivate, library::TransactionStep::Commit)) l.error = db.errMsg(kPrivate);
        return l;
    }();
    return lib;
}

// One paste as the help window runs it, on a fresh copy of the library.
struct Window {
    explicit Window(const Library& l) {
        const fs::path pub = l.dir / "PubHelp.db", pri = l.dir / "PriHelp.db";
        fs::remove(pub);
        fs::copy_file(l.base, pri, fs::copy_options::overwrite_existing);
        ok = db.open(kPublic, pub.string(), library::OpenMode::CreateMissing, error) &&
             db.open(kPrivate, pri.string(), library::OpenMode::ExistingOnly, error);
        settings.update = 1;
    }

    library::SqliteHostDb db;
    std::string error;
    bool ok = false;
    library::Settings settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    SilentPrompter prompter;
    library::PlainProgress progress;
    helpwindow::Contents contents{{db, tree, view, settings, [] { return kNow; }, prompter}};
    helpwindow::LinkDispatcher links{contents, helpwindow::inlineWindowThread()};
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    helpwindow::Catalogue catalogue{{contents, links, prompter, progress, session}};
};

void BM_PasteSubtree(benchmark::State& state) {
    const bool shared = state.range(0) != 0;
    const Library& l = library();
    if (!l.error.empty()) return state.SkipWithError(l.error.c_str());
    long long copied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Window w(l);
        if (!w.ok) return state.SkipWithError(w.error.c_str());
        w.contents.Reload();
        w.tree.select(helpwindow::revealTarget(w.contents, {kPrivate, l.source, helpwindow::TargetKind::Category}));
        w.catalogue.CopySelection();
        w.tree.select(helpwindow::revealTarget(w.contents, {kPrivate, l.target, helpwindow::TargetKind::Category}));
        state.ResumeTiming();
        w.catalogue.PasteCopied(shared);
        state.PauseTiming();
        copied = w.db.count(kPrivate, tables::KeywordList, "") - kEntries;
        if (w.prompter.messages != 0) return state.SkipWithError("the paste reported a failure");
        state.ResumeTiming();
    }
    if (copied != kEntries) return state.SkipWithError("not every entry was copied");
    state.counters["entries"] = kEntries;
    state.counters["entries/s"] = benchmark::Counter(kEntries, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PasteSubtree)
    ->ArgName("shared")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
