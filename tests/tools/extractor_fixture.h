// An import run against two in-memory libraries, with a prompter and a progress seam
// that record what the user would have seen.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/temp_dir.h"
#include "tools/extractor.h"

namespace orv::tools::test {

class RecordingPrompter : public library::Prompter {
public:
    void message(std::string_view text, library::MessageKind) override { shown.emplace_back(text); }
    bool ask(std::string_view) override { return false; }
    std::vector<std::string> shown;
};

class RecordingProgress : public Progress {
public:
    void OpenProgress(std::string_view, int, int, bool) override { stop = false; }
    void CloseProgress() override {}
    void StepProgress(int) override { ++steps; }
    void SetProgressText(std::string_view text) override { texts.emplace_back(text); }
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

// In-memory libraries whose adds fail as a full or broken library's would: the list row
// of the entry named "Second", and every category once `failCategories` is set.
class FailingAddsDb : public library::SqliteHostDb {
public:
    FailingAddsDb() {
        std::string error;
        EXPECT_TRUE(openInMemory(library::kPublic, library::kPublic, error)) << error;
        EXPECT_TRUE(openInMemory(library::kPrivate, library::kPrivate, error)) << error;
    }
    long long addItemUtf(int lib, std::string_view table, std::string_view a) override {
        if (failCategories && table == library::tables::Directory) return 0;
        if (table == library::tables::KeywordList && a.find("'Second'") != std::string_view::npos) return 0;
        return SqliteHostDb::addItemUtf(lib, table, a);
    }
    bool failCategories = false;
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
