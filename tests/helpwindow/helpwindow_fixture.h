// The help window's core over two in-memory libraries (tree, view, settings, prompts),
// and row builders that fill any library: what the help-window tests start from.
#pragma once

#include "helpwindow/contents.h"
#include "helpwindow/contents_tree.h"
#include "helpwindow/help_window_view.h"
#include "library/host_db.h"
#include "library/prompt.h"
#include "library/settings.h"
#include "support/watched_host_db.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

// Rows of the catalogue tables, added through the host services as a user's edits
// would leave them.
class LibraryRows {
public:
    explicit LibraryRows(library::HostDb& db) : db_(db) {}

    long long category(int lib, long long parent, const std::string& name, int type = 0, int sort = 0);
    // A data row and its placement.
    long long entry(int lib, long long dID, const std::string& name, int type = 0, int sort = 0);
    // Another placement of the texts of `kID` (no data row of its own).
    long long placeAgain(int lib, long long kID, long long dID);
    // A member row of the entry `owner` (its dID is the owner's kID).
    long long member(int lib, long long owner, const std::string& name, int type = 20);
    // The public private-root row, as the tree adds it.
    long long privateRoot();

private:
    library::HostDb& db_;
};

// Every row of the catalogue tables of both libraries as text, to see that nothing changed.
std::string snapshot(library::HostDb& db);

// Answers every question No and keeps what was said.
class RecordingPrompter : public library::Prompter {
public:
    void message(std::string_view text, library::MessageKind) override { said.emplace_back(text); }
    bool ask(std::string_view question) override {
        said.emplace_back(question);
        return answer;
    }
    std::vector<std::string> said;
    bool answer = false;
};

class HelpWindowFixture : public ::testing::Test {
protected:
    static constexpr long long kNow = 1700000000;

    // The texts of an item's children, in order.
    std::vector<std::string> texts(helpwindow::ItemId parent) const;
    // The child with that text; kNoItem when there is none.
    helpwindow::ItemId childNamed(helpwindow::ItemId parent, std::string_view text) const;
    helpwindow::ItemId top(std::string_view text) const { return childNamed(tree.root(), text); }

    WatchedHostDb db;
    library::Settings settings;
    helpwindow::MemoryTree tree;
    helpwindow::MemoryView view;
    RecordingPrompter prompter;
    helpwindow::Contents contents{{db, tree, view, settings, [] { return kNow; }, prompter}};
    LibraryRows rows{db};
};

}  // namespace orv::test
