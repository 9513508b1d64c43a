// orvhelp's command line: option placement, exit statuses and the store commands.
#include "cli/commands.h"
#include "cli/terminal.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/orvhelp_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

using namespace orv;
using orv::test::TempDir;

namespace {

using Result = orv::test::OrvhelpResult;
using orv::test::orvhelp;

// An IDE folder with a public library holding categories 5 > (9 > 12), 10.
class IdeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "Settings");
        std::filesystem::create_directories(dir.path() / "Private");
        library::SqliteHostDb db;
        std::string error;
        ASSERT_TRUE(db.open(library::kPublic, dir.file("Settings/PubHelp.db"), library::OpenMode::CreateMissing, error));
        for (auto [d, p] : {std::pair{5, 0}, {9, 5}, {12, 9}, {10, 5}})
            db.addItemUtf(library::kPublic, library::tables::Directory,
                          "dID=" + std::to_string(d) + ",ParentDir=" + std::to_string(p));
    }
    std::string ide() const { return dir.path().string(); }
    TempDir dir;
};

}  // namespace

TEST_F(IdeFolder, OptionsStandBeforeOrAfterTheCommand) {
    for (const auto& args : {std::vector<std::string>{"--ide", ide(), "descendants", "0", "5"},
                             std::vector<std::string>{"descendants", "0", "5", "--ide", ide()},
                             std::vector<std::string>{"descendants", "--ide=" + ide(), "0", "5"}}) {
        const Result r = orvhelp(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "5,9,12,10\n");
    }
}

TEST_F(IdeFolder, ExitStatuses) {
    std::filesystem::create_directories(dir.path() / "Private");
    test::writeFile(dir.path() / "Private" / "PriHelp.db", "not a database at all, only text");
    const struct { std::vector<std::string> args; int status; const char* says; } cases[] = {
        {{"--help"}, 0, ""},
        {{}, 2, ""},
        {{"frobnicate", "--ide", ide()}, 2, "unknown command"},
        {{"descendants", "0", "--ide", ide()}, 2, "usage: orvhelp descendants LIB DID"},
        {{"descendants", "3", "5", "--ide", ide()}, 2, "LIB must be 0"},
        {{"descendants", "0", "x5", "--ide", ide()}, 2, "DID must be a whole number"},
        {{"descendants", "0", "5"}, 2, "needs --ide"},
        {{"descendants", "0", "5", "--ide"}, 2, "needs a value"},
        {{"descendants", "0", "5", "--ide", ide() + "/nowhere"}, 1, "does not exist"},
        {{"descendants", "1", "5", "--ide", ide()}, 1, "not a SQLite library file"},
    };
    for (const auto& c : cases) {
        const Result r = orvhelp(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        if (c.status == 2 && !r.err.empty()) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
    EXPECT_NE(orvhelp({"--help"}).out.find("descendants LIB DID"), std::string::npos);
    // The damaged file is left as it was.
    EXPECT_EQ(test::readFile(dir.path() / "Private" / "PriHelp.db"), "not a database at all, only text");
}

TEST_F(IdeFolder, MissingLibraryFile) {
    const Result r = orvhelp({"--ide", ide(), "descendants", "1", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("PriHelp.db"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Private" / "PriHelp.db"));
}

TEST_F(IdeFolder, SettingsPrintsTheEffectiveValues) {
    test::writeFile(dir.path() / "Settings" / "orv.ini", "[setup]\r\nuser=it's\r\nserver=http://h:1314\r\n");
    const Result r = orvhelp({"settings", "--ide", ide()});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* line : {"\nuser=it's\n", "\nserver=http://h:1314/\n", "\nkill=1\n", "\nRight=750\n", "\nDividing=205\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
}

TEST_F(IdeFolder, RenderPrintsThePageOfALink) {
    // No view folder: the page is the empty document, as the browser would show it.
    std::filesystem::create_directories(dir.path() / "Private");
    library::SqliteHostDb db;
    std::string error;
    ASSERT_TRUE(db.open(library::kPrivate, dir.file("Private/PriHelp.db"), library::OpenMode::CreateMissing, error));
    Result r = orvhelp({"render", "r05", "--ide", ide()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "<html><head></head><body></body></html>");
    r = orvhelp({"render", "zz", "--ide", ide()});
    EXPECT_EQ(r.status, 2);
    r = orvhelp({"render", "k0999", "--ide", ide()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing to show"), std::string::npos) << r.err;
}

TEST(Terminal, ProgressLineUpdatesInPlaceOnlyOnATerminal) {
    std::ostringstream shown, hidden;
    cli::TerminalProgress terminal(shown, true), pipe(hidden, false);
    for (cli::TerminalProgress* p : {&terminal, &pipe}) {
        p->OpenProgress("制作帮助数据库中...", 1, 100, true);
        p->SetProgressText("提取文件：a.bi");
        p->SetProgressText(std::string(200, 'x'));
        p->CloseProgress();
    }
    EXPECT_EQ(hidden.str(), "");
    const std::string out = shown.str();
    EXPECT_EQ(out.find('\n'), std::string::npos);
    // "| " and the text; the shorter line covers the longer one's rest with blanks.
    EXPECT_EQ(out.rfind("\r| 制作帮助数据库中...", 0), 0u) << out;
    EXPECT_NE(out.find("\r| 提取文件：a.bi     \r"), std::string::npos) << out;
    // A line never wider than the terminal, and cleared at the end.
    EXPECT_NE(out.find("\r| " + std::string(76, 'x') + "\r"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 80), "\r" + std::string(78, ' ') + "\r");
    EXPECT_EQ(cli::displayWidth("提取a"), 5u);
}

TEST(Terminal, CtrlCIsAStopRequestWhileGuarded) {
    std::ostringstream out;
    cli::TerminalProgress progress(out, false);
    {
        const cli::InterruptGuard guard;
        EXPECT_FALSE(progress.stopRequested());
        std::raise(SIGINT);
        std::raise(SIGINT);  // a second Ctrl+C does not end the process either
        EXPECT_TRUE(progress.stopRequested());
    }
    // The former handling is back.
    const auto restored = std::signal(SIGINT, SIG_DFL);
    EXPECT_EQ(restored, SIG_DFL);
}
