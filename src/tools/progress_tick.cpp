// The progress window's timer tick.
#include "tools/progress_tick.h"

#include "library/udate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orv::tools {
namespace {

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

int barPosition(double done, double range) {
    return static_cast<int>(std::lround(done / range * kProgressBarRange));
}

}  // namespace

ProgressTickResult ProgressTick(ProgressState& state, long long elapsedMs, long long uDateNow) {
    ProgressTickResult result;
    const double done = static_cast<double>(state.position - state.minimum);
    // A range of nothing has nothing to show a share of; it reads as no progress.
    const double range = state.maximum > state.minimum ? static_cast<double>(state.maximum - state.minimum) : 0.0;
    if (state.position != state.lastShown) {
        state.lastShown = state.position;
        if (range > 0) result.bar = barPosition(done, range);
    }
    if (state.cycling) {
        state.position += 5;
        if (state.position > state.maximum) state.position = state.minimum;
        if (range > 0) result.bar = barPosition(done, range);
    }
    const double share = range > 0 ? done / range * 100 : 0.0;
    const long long tenths = elapsedMs / 100;
    result.timeText = "花费: " + std::to_string(tenths / 600) + " 分 " +
                      formatted("%.1f", static_cast<double>(tenths % 600) / 10) + " 秒，完成：" +
                      formatted("%.2f", share) + "%\r\n";
    // Before anything is done, and while the position only cycles, there is nothing to
    // reckon the rest from.
    if (state.cycling || done <= 0 || range <= 0) {
        result.timeText += "剩余: 未知";
        return result;
    }
    // Past the maximum (a caller that overshoots) nothing is left, rather than less than nothing.
    const long long left = std::max(
        0LL, std::llround((static_cast<double>(tenths) / done * range - static_cast<double>(tenths)) / 10));
    result.timeText += "剩余: " + std::to_string(left / 60) + " 分 " + std::to_string(left % 60) + " 秒，完成: " +
                       library::timestampText(library::localFromUDate(uDateNow + left));
    return result;
}

}  // namespace orv::tools
