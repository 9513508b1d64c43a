// An import run against two in-memory libraries, with a prompter and a progress seam
// that record what the user would have seen, and a host whose steps can be made to fail.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"
#include "tools/extractor.h"
#include "support/recording_prompter.h"

namespace orv::tools::test {

using RecordingPrompter = orv::test::RecordingPrompter;

class RecordingProgress : public library::Progress {
public:
    void OpenProgress(std::string_view, int, int, bool) override { stop = false; }
    void CloseProgress() override {}
    void StepProgress(int) override { ++steps; }
    void SetProgressText(std::string_view text) override { texts.emplace_back(text); }
    void SetProgressRange(int, int) override {}
    bool stopRequested() const override {
        ++polls;
        return stop || (stopAfterPolls > 0 && polls > stopAfterPolls);
    }
    std::vector<std::string> texts;
    int steps = 0;
    mutable int polls = 0;
    int stopAfterPolls = 0;
    bool stop = false;
};

// Libraries (in memory, or the given files) whose steps fail as a full, locked or broken
// library's would. A failing add or read reaches SQLite with a broken statement, so the
// host's error text is a real one (and carries markup characters).
class FailingStepsDb : public library::SqliteHostDb {
public:
    FailingStepsDb() {
        std::string error;
        EXPECT_TRUE(openInMemory(library::kPublic, library::kPublic, error)) << error;
        EXPECT_TRUE(openInMemory(library::kPrivate, library::kPrivate, error)) << error;
    }
    FailingStepsDb(const std::string& publicFile, const std::string& privateFile) {
        std::string error;
        EXPECT_TRUE(open(library::kPublic, publicFile, library::OpenMode::ExistingOnly, error)) << error;
        EXPECT_TRUE(open(library::kPrivate, privateFile, library::OpenMode::ExistingOnly, error)) << error;
    }

    long long addItemUtf(int lib, std::string_view table, std::string_view a) override {
        const bool fails = (failCategories && table == library::tables::Directory) ||
                           (table == library::tables::KeywordList && named(a, "DisplayKeyWord", failingList)) ||
                           (table == library::tables::KeywordData && named(a, "KeyWord", failingData));
        return SqliteHostDb::addItemUtf(lib, table, fails ? "<full>" : a);
    }
    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override {
        if (table == library::tables::KeywordData) ++dataReads[static_cast<std::size_t>(lib)];
        const bool fails = lib == failingReads && table == library::tables::KeywordData;
        return SqliteHostDb::find(lib, fails ? "NoSuchTable" : table, where, out, fields, order, limit);
    }
    bool transaction(int lib, library::TransactionStep step) override {
        if (onTransaction) onTransaction(lib, step);
        const bool begin = step == library::TransactionStep::Begin;
        if ((begin && lib == failingBegin) || (!begin && lib == failingCommit)) return false;
        return SqliteHostDb::transaction(lib, step);
    }

    // The entry whose list row, or whose data row, cannot be added.
    std::string failingList = "Second";
    std::string failingData;
    bool failCategories = false;
    int failingReads = -1;  // the library whose KeywordData cannot be read
    int failingBegin = -1;
    int failingCommit = -1;
    std::function<void(int lib, library::TransactionStep step)> onTransaction;
    std::array<int, 2> dataReads{};

private:
    // Whether the assignment list sets the column (not one ending in its name) to the name.
    static bool named(std::string_view assignments, std::string_view column, const std::string& name) {
        if (name.empty()) return false;
        const std::string item = std::string(column) + "='" + library::doubleApostrophes(name) + "'";
        return assignments.compare(0, item.size(), item) == 0 ||
               assignments.find("," + item) != std::string_view::npos;
    }
};

// The private library's rows as the tests look at them.
struct StoredEntry {
    long long kID, dID, sort;
    std::string display;
    library::Row data;  // KeywordData '*' columns
};

class ExtractorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(db.openInMemory(library::kPublic, library::kPublic, error)) << error;
        ASSERT_TRUE(db.openInMemory(library::kPrivate, library::kPrivate, error)) << error;
        settings.rootFolder = dir.path().string() + "/";
        settings.uID = 7;
        settings.uDate = 1700000000;
        settings.platform = library::kPlatformWindows;
    }

    // A fresh run: its own statistics and the sID limits of this moment.
    int extractFile(const std::string& relative, long long category = 1) {
        settings.publicSidLimit = db.maxId(library::kPublic, library::tables::KeywordData, "sID", "");
        settings.privateSidLimit = db.maxId(library::kPrivate, library::tables::KeywordData, "sID", "");
        Extractor extractor(db, prompter, progress, settings, statistics);
        return extractor.ExtractFile(category, dir.file(relative));
    }

    void write(const std::string& relative, const std::string& text) {
        orv::test::writeFile(dir.path() / relative, text);
    }

    std::vector<StoredEntry> entries(const std::string& where = "") {
        library::ResultTable list;
        db.find(library::kPrivate, library::tables::KeywordList, where, list, "*", "kID", 0);
        std::vector<StoredEntry> out;
        for (const auto& row : list.rows) {
            StoredEntry e{library::toInt(row[library::list::kID]), library::toInt(row[library::list::dID]),
                          library::toInt(row[library::list::Sort]), row[library::list::DisplayKeyWord], {}};
            db.findOne(library::kPrivate, library::tables::KeywordData,
                       "sID=" + row[library::list::sID], e.data, "*", "");
            out.push_back(std::move(e));
        }
        return out;
    }

    const StoredEntry* named(const std::vector<StoredEntry>& all, const std::string& keyWord) {
        for (const auto& e : all)
            if (e.data[library::data::KeyWord] == keyWord) return &e;
        return nullptr;
    }

    orv::test::TempDir dir;
    library::SqliteHostDb db;
    RecordingPrompter prompter;
    RecordingProgress progress;
    RunSettings settings;
    RunStatistics statistics;
};

}  // namespace orv::tools::test
