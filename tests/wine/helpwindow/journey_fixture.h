// The help window journeys' fixture: the sample libraries in the test program's own IDE
// folder, the window opened over them with given settings, and its driver. Win32 only.
#pragma once

#include "helpwindow/window_driver.h"

#include "framework/win32/engine_binding.h"
#include "helpwindow/win32/help_window.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sample_libraries.h"
#include "support/temp_dir.h"
#include "text/win32/wide_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace orv::helpwindow_test {

using helpwindow::helpWindowHandle;
using helpwindow::openHelpWindow;

// The test program sits in its IDE folder, beside the engine, the view folder and the
// sample row lists.
inline std::string programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return text::wideToUtf8(folder.substr(0, folder.find_last_of(L"\\/")));
}

inline std::string sampleSettings() { return test::readFile(std::filesystem::u8path(programFolder()) / "orv.ini"); }

// The libraries as the journeys hand them to the window, with two hooks for hurried
// people: a read off the window's thread (a worker's) can be held at a latch until the
// test lets it go, and each row the window's thread adds can call the test back, in the
// middle of the command that adds it.
class JourneyDb : public library::SqliteHostDb {
public:
    JourneyDb() : windowThread_(GetCurrentThreadId()) {}

    // The next read of a worker waits inside the library until release().
    void holdNextWorkerRead() {
        std::lock_guard lock(mutex_);
        armed_ = true;
        held_ = released_ = false;
    }
    bool waitHeld(int ms) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return held_; });
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
            armed_ = false;
        }
        changed_.notify_all();
    }

    // Called after each row the window's thread adds (library, table, assignments).
    std::function<void(int, std::string_view, std::string_view)> afterAdd;

    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override {
        holdIfArmed();
        return SqliteHostDb::find(lib, table, where, out, fields, order, limit);
    }
    std::string findOnly(int lib, std::string_view table, std::string_view where, std::string_view field,
                         std::string_view order) override {
        holdIfArmed();
        return SqliteHostDb::findOnly(lib, table, where, field, order);
    }
    long long count(int lib, std::string_view table, std::string_view where) override {
        holdIfArmed();
        return SqliteHostDb::count(lib, table, where);
    }
    long long addItem(int lib, std::string_view table, std::string_view assignments) override {
        const long long id = SqliteHostDb::addItem(lib, table, assignments);
        added(lib, table, assignments);
        return id;
    }
    long long addItemUtf(int lib, std::string_view table, std::string_view assignments) override {
        const long long id = SqliteHostDb::addItemUtf(lib, table, assignments);
        added(lib, table, assignments);
        return id;
    }

private:
    void holdIfArmed() {
        if (GetCurrentThreadId() == windowThread_) return;
        std::unique_lock lock(mutex_);
        if (!armed_) return;
        armed_ = false;
        held_ = true;
        changed_.notify_all();
        // Ten seconds at most, so that a failing test still ends.
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return released_; });
    }
    void added(int lib, std::string_view table, std::string_view assignments) {
        if (afterAdd && GetCurrentThreadId() == windowThread_) {
            auto hook = afterAdd;  // the hook may replace itself
            hook(lib, table, assignments);
        }
    }

    const DWORD windowThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false, held_ = false, released_ = false;
};

class HelpWindowJourney : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = programFolder();
        std::string error;
        ASSERT_TRUE(samples::makeSampleLibraries(folder_, library::ideFile(folder_, "public.rows"),
                                                 library::ideFile(folder_, "private.rows"), error))
            << error;
        for (int lib : {library::kPublic, library::kPrivate}) {
            const std::string_view file = lib == library::kPublic ? library::kPublicFile : library::kPrivateFile;
            ASSERT_TRUE(db_.open(lib, library::ideFile(folder_, file), library::OpenMode::CreateMissing, error)) << error;
        }
    }

    void TearDown() override {
        if (HWND form = helpWindowHandle()) SendMessageW(form, WM_CLOSE, 0, 0);
        pumpFor(100);
    }

    // Opens the window over the sample folder with these settings, and waits until its
    // tree and page view are there.
    void open(const std::string& settings = sampleSettings()) {
        test::writeFile(std::filesystem::u8path(settingsFile()), settings);
        openHelpWindow(db_, folder_, 0);
        HWND form = helpWindowHandle();
        ASSERT_NE(form, nullptr);
        window_ = std::make_unique<HelpWindowDriver>(form);
        ASSERT_NE(window_->view(), nullptr) << text::wideToUtf8(framework::EngineProblem());
        ASSERT_TRUE(pumpUntil([&] { return !window_->childTexts(nullptr).empty(); }, 5000)) << "the tree stays empty";
    }

    std::string settingsFile() const { return library::ideFile(folder_, library::kSettingsFile); }

    long long count(int lib, std::string_view table, std::string_view where) {
        return db_.count(lib, table, where);
    }

    HelpWindowDriver& window() { return *window_; }

    std::string folder_;
    JourneyDb db_;
    std::unique_ptr<HelpWindowDriver> window_;
};

}  // namespace orv::helpwindow_test
