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

#include <filesystem>
#include <memory>
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
    library::SqliteHostDb db_;
    std::unique_ptr<HelpWindowDriver> window_;
};

}  // namespace orv::helpwindow_test
