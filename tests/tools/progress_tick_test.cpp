// The progress window's timer tick: the bar, the cycling position and the time text.
#include "tools/progress_tick.h"

#include <gtest/gtest.h>

using namespace orv::tools;

namespace {

// 2026-12-10 10:00:00 local.
constexpr long long kTen = 1796868000;

}  // namespace

TEST(ProgressTick, TimeTextsAsTheWindowShowsThem) {
    const struct {
        long long minimum, maximum, position, elapsedMs;
        const char* text;
    } cases[] = {
        // A quarter done after 30 s: 90 s to go.
        {0, 100, 25, 30000, "花费: 0 分 30.0 秒，完成：25.00%\r\n剩余: 1 分 30 秒，完成: 2026-12-10 10:01:30"},
        {1, 100, 1, 5000, "花费: 0 分 5.0 秒，完成：0.00%\r\n剩余: 未知"},
        {0, 3, 2, 3665500, "花费: 61 分 5.5 秒，完成：66.67%\r\n剩余: 30 分 33 秒，完成: 2026-12-10 10:30:33"},
        {0, 100, 100, 1000, "花费: 0 分 1.0 秒，完成：100.00%\r\n剩余: 0 分 0 秒，完成: 2026-12-10 10:00:00"},
        {0, 100, 150, 1000, "花费: 0 分 1.0 秒，完成：150.00%\r\n剩余: 0 分 0 秒，完成: 2026-12-10 10:00:00"},
        {5, 5, 5, 1000, "花费: 0 分 1.0 秒，完成：0.00%\r\n剩余: 未知"},
    };
    for (const auto& c : cases) {
        ProgressState state{c.minimum, c.maximum, c.position};
        EXPECT_EQ(ProgressTick(state, c.elapsedMs, kTen).timeText, c.text) << c.position << " of " << c.maximum;
    }
}

TEST(ProgressTick, TheBarMovesWhenThePositionDoes) {
    ProgressState state{0, 400, 100};
    EXPECT_EQ(ProgressTick(state, 100, kTen).bar, 2500);
    EXPECT_EQ(ProgressTick(state, 200, kTen).bar, std::nullopt);
    state.position = 101;
    EXPECT_EQ(ProgressTick(state, 300, kTen).bar, 2525);
}

TEST(ProgressTick, ACyclingPositionMovesOnEveryTickAndWraps) {
    ProgressState state{1, 100, 90, -1, true};
    std::vector<long long> positions;
    for (int tick = 0; tick < 4; ++tick) {
        const ProgressTickResult r = ProgressTick(state, 100 * tick, kTen);
        EXPECT_TRUE(r.bar.has_value());
        EXPECT_NE(r.timeText.find("剩余: 未知"), std::string::npos);
        positions.push_back(state.position);
    }
    EXPECT_EQ(positions, (std::vector<long long>{95, 100, 1, 6}));
}
