// The catalogue commands over any pair of libraries: the core objects the help window
// builds (tree, view, contents, links, server session, catalogue), a progress that
// records what it was told and can play the stop button, and ways to select nodes.
#pragma once

#include "helpwindow/catalogue.h"
#include "helpwindow/helpwindow_fixture.h"
#include "library/progress.h"

#include <string>
#include <vector>

namespace orv::test {

class RecordingProgress : public library::Progress {
public:
    void OpenProgress(std::string_view text, int, int maximum, bool) override {
        texts.emplace_back(text);
        ++opened;
        this->maximum = maximum;
        if (depth++ == 0) stop_ = false;
    }
    void CloseProgress() override {
        ++closed;
        --depth;
    }
    void StepProgress(int) override {
        ++steps;
        if (stopAfterSteps > 0 && steps >= stopAfterSteps) stop_ = true;
    }
    void SetProgressText(std::string_view text) override { texts.emplace_back(text); }
    void SetProgressRange(int, int maximum) override { this->maximum = maximum; }
    bool stopRequested() const override { return stop_; }

    std::vector<std::string> texts;  // opened with, then set
    int opened = 0, closed = 0, steps = 0, maximum = 0;
    int stopAfterSteps = 0;  // the user presses stop at this step (0: never)
    int depth = 0;           // levels open now

private:
    bool stop_ = false;
};

// The help window's core as it runs the catalogue commands.
class CatalogueRig {
public:
    static constexpr long long kNow = 1700000000;

    CatalogueRig(library::HostDb& db, library::Settings& settings);
    ~CatalogueRig();

    // Reloads the tree and selects the nodes ("r012", "k17", "y03"), each reached as
    // following a link reaches it; fails the test when one cannot be reached.
    void select(const std::vector<std::string>& nodes);
    helpwindow::ItemId reach(const std::string& node);
    // The item of the node in the tree as it stands; kNoItem when it is not shown.
    helpwindow::ItemId shown(const std::string& node);

    library::HostDb& db;
    library::Settings& settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    RecordingPrompter prompter;
    RecordingProgress progress;
    helpwindow::Contents contents;
    helpwindow::LinkDispatcher links;
    sync::ServerSession session;
    helpwindow::Catalogue catalogue;
};

// Counts of the catalogue tables of one library, to see that nothing changed.
struct TableCounts {
    long long directory = 0, list = 0, data = 0, records = 0, favorites = 0;
    bool operator==(const TableCounts& o) const {
        return directory == o.directory && list == o.list && data == o.data && records == o.records &&
               favorites == o.favorites;
    }
};
TableCounts countsOf(library::HostDb& db, int lib);


}  // namespace orv::test
