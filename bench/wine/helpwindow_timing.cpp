// Timing of the help window under Wine (not a test): a person's keystroke in the search
// box until the index list is filled, a click on a tree item until its page is in the
// engine, and a click on a link of the page until the target's page is there; beside
// each, the time the library itself spent on the queries those steps sent. The library is
// the FreeBASIC manual fixture multiplied past 50 000 entries; without the fixture the
// program says so and stops. Prints the median of each over N runs.
//   wine-run helpwindow_timing.exe [N]
#include "helpwindow/window_driver.h"

#include "helpwindow/menu_states.h"
#include "helpwindow/win32/help_window.h"
#include "helpwindow/window_layout.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "text/win32/wide_text.h"
#include "wine/user_input.h"

#include "large_library.h"
#include "timing_clock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

using namespace orv;
using namespace orv::helpwindow_test;

namespace {

using orv::bench::median;
using orv::bench::nowMs;

// The libraries, adding up the time every read spends in SQLite (workers included).
class TimedHostDb : public library::SqliteHostDb {
public:
    double spentMs() const { return spent_.load(); }
    void reset() { spent_ = 0; }

    int find(int lib, std::string_view table, std::string_view where, library::ResultTable& out,
             std::string_view fields, std::string_view order, int limit) override {
        return timed([&] { return SqliteHostDb::find(lib, table, where, out, fields, order, limit); });
    }
    bool findOne(int lib, std::string_view table, std::string_view where, library::Row& out,
                 std::string_view fields, std::string_view order) override {
        return timed([&] { return SqliteHostDb::findOne(lib, table, where, out, fields, order); });
    }
    std::string findOnly(int lib, std::string_view table, std::string_view where, std::string_view field,
                         std::string_view order) override {
        return timed([&] { return SqliteHostDb::findOnly(lib, table, where, field, order); });
    }
    long long count(int lib, std::string_view table, std::string_view where) override {
        return timed([&] { return SqliteHostDb::count(lib, table, where); });
    }

private:
    template <typename Body>
    std::invoke_result_t<Body&> timed(Body&& body) {
        const double start = nowMs();
        auto result = body();
        double seen = spent_.load();
        while (!spent_.compare_exchange_weak(seen, seen + (nowMs() - start))) {
        }
        return result;
    }
    std::atomic<double> spent_{0};
};

std::string programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return text::wideToUtf8(folder.substr(0, folder.find_last_of(L"\\/")));
}

struct Timing {
    std::vector<double> total, sqlite;
    void report(const char* what) const {
        std::printf("%-44s %9.1f ms   (SQLite %7.1f ms)   median of %zu\n", what, median(total), median(sqlite),
                    total.size());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string folder = programFolder();
    const std::filesystem::path publicFile = std::filesystem::u8path(library::ideFile(folder, library::kPublicFile));
    std::filesystem::create_directories(publicFile.parent_path());
    // A library left by an earlier run goes first: this runtime's copy cannot overwrite.
    std::error_code ignored;
    std::filesystem::remove(publicFile, ignored);
    const std::string why = bench::makeLargeLibrary(publicFile, 50000);
    if (!why.empty()) {
        std::printf("helpwindow_timing: skipped: %s\n", why.c_str());
        return 0;
    }
    const std::filesystem::path privateFile = std::filesystem::u8path(library::ideFile(folder, library::kPrivateFile));
    std::filesystem::create_directories(privateFile.parent_path());
    TimedHostDb db;
    std::string error;
    if (!db.open(library::kPublic, publicFile.u8string(), library::OpenMode::CreateMissing, error) ||
        !db.open(library::kPrivate, privateFile.u8string(), library::OpenMode::CreateMissing, error)) {
        std::printf("helpwindow_timing: %s\n", error.c_str());
        return 1;
    }
    std::printf("public library: %lld entries\n", db.count(library::kPublic, library::tables::KeywordData, ""));

    helpwindow::openHelpWindow(db, folder, 0);
    HWND form = helpwindow::helpWindowHandle();
    if (!form) {
        std::printf("helpwindow_timing: the help window did not open\n");
        return 1;
    }
    HelpWindowDriver window(form);
    pumpUntil([&] { return !window.childTexts(nullptr).empty(); }, 10000);

    // A keystroke: "pr" is there, "i" is typed; until the list holds the new lines.
    Timing index;
    window.clickTab(helpwindow::kTabIndex);
    SetFocus(window.text1());
    // Every line begins with the prefix, ignoring case (the list is that lookup's).
    const auto listFor = [&](const std::string& prefix) {
        const std::vector<std::string> lines = window.listLines();
        if (lines.empty()) return false;
        for (const std::string& line : lines) {
            if (line.size() < prefix.size()) return false;
            for (std::size_t i = 0; i < prefix.size(); ++i)
                if (std::toupper(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
        }
        return true;
    };
    for (int run = 0; run < runs; ++run) {
        SendMessageW(window.text1(), EM_SETSEL, 0, -1);
        wine::typeText(window.text1(), L"pr");
        pumpUntil([&] { return listFor("PR"); });
        pumpFor(1000);
        db.reset();
        const double start = nowMs();
        PostMessageW(window.text1(), WM_CHAR, L'i', 1);
        // Filled: the last change of the line count, once it has held still a while.
        LRESULT lines = -1;
        double lastChange = start;
        const bool filled = pumpUntil([&] {
            const LRESULT now = SendMessageW(window.list(), LB_GETCOUNT, 0, 0);
            if (now != lines) {
                lines = now;
                lastChange = nowMs();
            }
            return nowMs() - lastChange > 500 && listFor("PRI");
        });
        const double spent = lastChange - start;
        if (filled) {
            index.total.push_back(spent);
            index.sqlite.push_back(db.spentMs());
        }
    }

    // A click on a tree item: until its page is in the engine.
    Timing treeClick;
    window.clickTab(helpwindow::kTabContents);
    HTREEITEM category = nullptr;
    for (const std::string& name : window.childTexts(nullptr)) {
        HTREEITEM item = window.child(nullptr, name);
        if (SendMessageW(window.tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)) ||
            wine::clickTreeButton(window.tree(), item)) {
            pumpFor(500);
            if (SendMessageW(window.tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))) {
                category = item;
                break;
            }
        }
    }
    std::vector<HTREEITEM> items;
    for (auto item = reinterpret_cast<HTREEITEM>(
             SendMessageW(window.tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(category)));
         item && static_cast<int>(items.size()) < runs + 1;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageW(window.tree(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        items.push_back(item);
    for (HTREEITEM item : items) {
        const std::string before = window.pageSource();
        db.reset();
        const double start = nowMs();
        window.click(item);
        const bool shown = pumpUntil([&] {
            const std::string now = window.pageSource();
            return !now.empty() && now != before;
        });
        const double spent = nowMs() - start;
        pumpFor(300);
        if (shown) {
            treeClick.total.push_back(spent);
            treeClick.sqlite.push_back(db.spentMs());
        }
    }

    // A click on a link of the page (the category trail's first link, which every page
    // has): until the target's page is there.
    Timing linkClick;
    for (int run = 0; run < runs && !items.empty(); ++run) {
        window.click(items[static_cast<std::size_t>(run) % items.size()]);
        pumpFor(800);
        const std::wstring first = window.runScript(L"var a = document.querySelector('a[href^=\"r\"]');"
                                                    L"return a ? a.textContent.trim() : '';");
        if (first.empty()) continue;
        window.settle();
        const std::string before = window.pageSource();
        db.reset();
        const double start = nowMs();
        if (!window.clickLink(first, false)) continue;
        const bool shown = pumpUntil([&] {
            const std::string now = window.pageSource();
            return !now.empty() && now != before;
        });
        const double spent = nowMs() - start;
        if (shown) {
            linkClick.total.push_back(spent);
            linkClick.sqlite.push_back(db.spentMs());
        }
    }

    index.report("keystroke to index list filled (\"pri\")");
    treeClick.report("tree click to page in the engine");
    linkClick.report("link click to page in the engine");
    SendMessageW(form, WM_CLOSE, 0, 0);
    pumpFor(200);
    return 0;
}
