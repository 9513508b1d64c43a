// One tick of the progress window's timer, as arithmetic: where the bar stands, how a
// cycling position moves on, and the time text (time spent, share done, time left and
// when the work should end). The Win32 window runs it every 100 ms and shows the result.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace orv::tools {

// The bar's own range: positions are shown as parts of 10 000.
inline constexpr int kProgressBarRange = 10000;

// What the window keeps between ticks.
struct ProgressState {
    long long minimum = 0;
    long long maximum = 100;
    long long position = 0;
    long long lastShown = -1;  // the position at the last bar update
    bool cycling = false;      // the position moves by itself
};

struct ProgressTickResult {
    std::optional<int> bar;  // the bar's new position, when it moves
    std::string timeText;    // two lines, CR LF between them
};

// Carries out one tick: `elapsedMs` since the operation began, `uDateNow` the date stamp
// of now (the finishing time is counted from it).
ProgressTickResult ProgressTick(ProgressState& state, long long elapsedMs, long long uDateNow);

}  // namespace orv::tools
