// The editors' test rig: libraries in memory with a few categories and entries, a page
// that answers the editor's scripts from a table, a prompter that records, and a server
// session pointed at the sync server stand-in.
#pragma once

#include "editors/editor_sources.h"
#include "helpwindow/helpwindow_fixture.h"
#include "library/plain_progress.h"
#include "server/running_server.h"
#include "support/watched_host_db.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace orv::test {

// The page as the editor sees it: scripts it runs are recorded; none of them throws
// unless `throws` names it.
class ScriptedPage : public editors::EditorPage {
public:
    std::optional<std::string> run(std::string_view script) override {
        ran.emplace_back(script);
        if (!throws.empty() && script.find(throws) != std::string_view::npos) return std::nullopt;
        return std::string();
    }
    std::vector<std::string> ran;
    std::string throws;
};

class EditorTest : public ::testing::Test {
protected:
    static constexpr long long kNow = 1700000000;
    static constexpr long long kServerNow = 1800000000;

    EditorTest();
    // Sends changes to the server stand-in as `account` (free changes off).
    void useServer(const std::string& account);
    // Changes the public library without the server.
    void useFreeChanges();
    // Changes the server has relayed so far.
    int changesOnServer();
    std::string value(int lib, std::string_view table, const std::string& where, std::string_view field);
    long long count(int lib, std::string_view table, const std::string& where);

    RunningServer server;
    WatchedHostDb db;
    library::Settings settings;
    RecordingPrompter prompter;
    library::PlainProgress progress;
    sync::ServerSession session;
    editors::EditorSources sources;

    // Public: Statements (Print, Input placed in Statements and Graphics), Graphics with
    // child Drawing, the type Point with member x, the bin holding Old; the private root.
    // Private: Mine with the entry Helper.
    long long bin = 0, statements = 0, graphics = 0, drawing = 0, old = 0, root = 0;
    long long print = 0, input = 0, inputAgain = 0, point = 0, x = 0, square = 0;
    long long mine = 0, helper = 0;
};

}  // namespace orv::test
