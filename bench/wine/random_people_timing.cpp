// Timing of a random person's actions under Wine (not a test): the person of the random
// journey, numbered, in front of the help window over the FreeBASIC manual fixture made
// larger than 50 000 entries; after each action, the time until the window is idle again
// (it has handled everything the action posted, no operation or progress window runs and
// no worker of the plug-in is at work). Prints the 50th and 95th percentile and the
// longest, with the slowest actions by name. Without the fixture it says so and stops.
// Beside the sync server stand-in (tests/wine/with-sync-server) its commands reach it;
// without, they meet a closed port.
// PERSON numbers the person: the same number plays the same actions (7 unless given).
//   wine-run random_people_timing.exe [ACTIONS] [PERSON]
#include "helpwindow/random_person.h"
#include "helpwindow/window_driver.h"

#include "forms/forms_support.h"

#include "framework/win32/operations.h"
#include "framework/win32/worker_thread.h"
#include "helpwindow/win32/help_window.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "sync/wire_packing.h"
#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include "large_library.h"
#include "timing_clock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace orv;
using namespace orv::helpwindow_test;

namespace {

using orv::bench::nowMs;

// Posted by the person's thread after an action; the window thread answers by noting
// the number and whether it was idle when the note was read.
constexpr UINT kIdleProbe = WM_APP + 2;

std::string programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return text::wideToUtf8(folder.substr(0, folder.find_last_of(L"\\/")));
}

// A question or a menu of the window thread is open: the window waits for the person.
bool waitsForThePerson() {
    for (HWND window : topLevelWindows(GetCurrentThreadId()))
        if (classOf(window) == L"#32770" || classOf(window) == L"#32768") return true;
    return false;
}

// The window thread's side of the probe: nothing queued before the probe is left, and
// nothing runs that will queue more, unless it waits for the person.
struct IdleProbe {
    std::atomic<long> answered{0};
    std::atomic<bool> idle{false};

    void answer(long number) {
        const bool running = framework::PluginOperations().busy() || framework::RunningWorkers() != 0 ||
                             FindWindowW(tools::kProgressWindowClass, nullptr);
        idle = !running || waitsForThePerson();
        answered = number;
    }

    // On the person's thread: the milliseconds from `start` until two probes in a row,
    // the second posted after the first was answered, find the window idle (a worker
    // may have queued its result between the first probe and its answer). Probes go to
    // `ide`, a window of the window thread; they reach it inside the loops of menus and
    // message boxes too, where the window waits for the person.
    double waitIdle(HWND ide, double start, long& number, double limitMs) {
        int idleInARow = 0;
        while (nowMs() - start < limitMs) {
            const long mine = ++number;
            PostMessageW(ide, kIdleProbe, static_cast<WPARAM>(mine), 0);
            while (answered.load() < mine && nowMs() - start < limitMs) std::this_thread::yield();
            idleInARow = answered.load() >= mine && idle ? idleInARow + 1 : 0;
            if (idleInARow == 2) return nowMs() - start;
            if (!idle) Sleep(1);
        }
        return limitMs;
    }
};

double percentile(std::vector<double> samples, double share) {
    if (samples.empty()) return -1;
    std::sort(samples.begin(), samples.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(at, samples.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const int actions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const unsigned who = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 7;
    const std::string folder = programFolder();
    const std::filesystem::path publicFile = std::filesystem::u8path(library::ideFile(folder, library::kPublicFile));
    const std::filesystem::path privateFile = std::filesystem::u8path(library::ideFile(folder, library::kPrivateFile));
    std::filesystem::create_directories(publicFile.parent_path());
    std::filesystem::create_directories(privateFile.parent_path());
    // Libraries left by an earlier run go first: this runtime's copy cannot overwrite.
    std::error_code ignored;
    std::filesystem::remove(publicFile, ignored);
    std::filesystem::remove(privateFile, ignored);
    const std::string why = bench::makeLargeLibrary(publicFile, 50000);
    if (!why.empty()) {
        std::printf("random_people_timing: skipped: %s\n", why.c_str());
        return 0;
    }
    const std::filesystem::path privateSample = bench::sharedFolder() / "fixtures" / "PriHelp-sample.db";
    if (std::filesystem::exists(privateSample)) std::filesystem::copy_file(privateSample, privateFile, ignored);

    const char* server = std::getenv("ORV_SYNC_SERVER_URL");
    const std::filesystem::path settingsFile = std::filesystem::u8path(library::ideFile(folder, library::kSettingsFile));
    std::filesystem::create_directories(settingsFile.parent_path());
    std::ofstream(settingsFile, std::ios::binary)
        << "[setup]\r\nuser=demo\r\npassword=" << sync::PasswordDigest("orvdemo")
        << "\r\nserver=" << (server ? server : "http://127.0.0.1:9/") << "\r\n";

    library::SqliteHostDb db;
    std::string error;
    if (!db.open(library::kPublic, publicFile.u8string(), library::OpenMode::CreateMissing, error) ||
        !db.open(library::kPrivate, privateFile.u8string(), library::OpenMode::CreateMissing, error)) {
        std::printf("random_people_timing: %s\n", error.c_str());
        return 1;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::printf("public library: %lld entries; private: %lld; %d dpi; person %u, %d actions\n",
                db.count(library::kPublic, library::tables::KeywordData, ""),
                db.count(library::kPrivate, library::tables::KeywordData, ""), dpi, who, actions);

    Ide ide(db, folder);
    IdleProbe probe;
    ide.onAppMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message == kIdleProbe) probe.answer(static_cast<long>(wParam));
    };
    helpwindow::openHelpWindow(db, folder, 0);
    if (!helpwindow::helpWindowHandle()) {
        std::printf("random_people_timing: the help window did not open\n");
        return 1;
    }
    pumpFor(2000);

    std::ostringstream log;
    Person person(who, GetCurrentThreadId(), ide.window(), log);
    std::vector<double> spent;
    std::vector<std::pair<double, std::string>> slowest;
    long probes = 0;
    person.afterAction = [&] {
        const double start = nowMs();
        const double ms = probe.waitIdle(ide.window(), start, probes, 60000);
        spent.push_back(ms);
        slowest.emplace_back(ms, person.last());
    };
    const bool answered = playPerson(person, actions);
    settle();

    if (!answered) std::printf("random_people_timing: %s\n", person.failure().c_str());
    std::printf("action to idle: p50 %.1f ms, p95 %.1f ms, max %.1f ms over %zu actions\n", percentile(spent, 0.5),
                percentile(spent, 0.95), percentile(spent, 1.0), spent.size());
    // Every action in order, for a closer look: build/journeys/random-people-timing.log.
    std::ofstream every(std::filesystem::path(forms_test::journeyPicture("random-people-timing.log")));
    for (std::size_t i = 0; i < slowest.size(); ++i)
        every << '#' << i + 1 << ' ' << static_cast<long>(slowest[i].first) << " ms  " << slowest[i].second << '\n';
    std::sort(slowest.begin(), slowest.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < std::min<std::size_t>(5, slowest.size()); ++i)
        std::printf("  %8.1f ms  %s\n", slowest[i].first, slowest[i].second.c_str());
    if (HWND help = helpwindow::helpWindowHandle()) SendMessageW(help, WM_CLOSE, 0, 0);
    pumpFor(500);
    return answered ? 0 : 1;
}
