// Design units to screen pixels and back at the common screen densities.
#include "framework/dpi_scale.h"

#include <gtest/gtest.h>

using orv::framework::DpiScale;

namespace {

struct ScaleCase {
    int dpi;
    int units;
    int pixels;  // units scaled
};

// Halves at 120 dpi (2 -> 2.5) and 144 dpi (1 -> 1.5, 3 -> 4.5) round away from zero.
constexpr ScaleCase kScaleCases[] = {
    {96, 0, 0},     {96, 1, 1},     {96, -7, -7},    {96, 800, 800},
    {120, 0, 0},    {120, 1, 1},    {120, 2, 3},     {120, -2, -3},  {120, 3, 4},   {120, -3, -4}, {120, 800, 1000},
    {144, 0, 0},    {144, 1, 2},    {144, -1, -2},   {144, 3, 5},    {144, -3, -5}, {144, 21, 32}, {144, 800, 1200},
    {192, 0, 0},    {192, 1, 2},    {192, -5, -10},  {192, 800, 1600},
};

struct UnscaleCase {
    int dpi;
    int pixels;
    int units;  // pixels unscaled
};

// 192 dpi: 1 pixel is half a unit, which rounds away from zero.
constexpr UnscaleCase kUnscaleCases[] = {
    {96, 0, 0},    {96, -3, -3},  {96, 17, 17},
    {120, 0, 0},   {120, 1, 1},   {120, 2, 2},    {120, 3, 2},   {120, -3, -2}, {120, 1000, 800},
    {144, 0, 0},   {144, 1, 1},   {144, 2, 1},    {144, -2, -1}, {144, 1200, 800},
    {192, 0, 0},   {192, 1, 1},   {192, -1, -1},  {192, 3, 2},   {192, -3, -2}, {192, 1600, 800},
};

}  // namespace

TEST(DpiScale, ScalesAndRoundsToNearest) {
    for (const ScaleCase& c : kScaleCases) {
        const DpiScale scale(c.dpi, c.dpi);
        EXPECT_EQ(scale.ScaleX(c.units), c.pixels) << c.dpi << " dpi, " << c.units;
        EXPECT_EQ(scale.ScaleY(c.units), c.pixels) << c.dpi << " dpi, " << c.units;
    }
}

TEST(DpiScale, UnscalesAndRoundsToNearest) {
    for (const UnscaleCase& c : kUnscaleCases) {
        const DpiScale scale(c.dpi, c.dpi);
        EXPECT_EQ(scale.UnscaleX(c.pixels), c.units) << c.dpi << " dpi, " << c.pixels;
        EXPECT_EQ(scale.UnscaleY(c.pixels), c.units) << c.dpi << " dpi, " << c.pixels;
    }
}

TEST(DpiScale, AxesUseTheirOwnDpi) {
    const DpiScale scale(144, 96);
    EXPECT_EQ(scale.ScaleX(100), 150);
    EXPECT_EQ(scale.ScaleY(100), 100);
    EXPECT_EQ(scale.UnscaleX(150), 100);
    EXPECT_EQ(scale.UnscaleY(150), 150);
}

// Window sizes read back from the screen and stored again must not creep.
TEST(DpiScale, ScaledValuesComeBackUnchanged) {
    for (const int dpi : {96, 110, 120, 144, 168, 192, 240}) {
        const DpiScale scale(dpi, dpi);
        for (int units = -2000; units <= 2000; ++units)
            ASSERT_EQ(scale.UnscaleX(scale.ScaleX(units)), units) << dpi << " dpi, " << units;
    }
}

TEST(DpiScale, FailedDeviceQueryCountsAsDesignDpi) {
    const DpiScale scale(0, -1);
    EXPECT_EQ(scale.dpiX(), 96);
    EXPECT_EQ(scale.dpiY(), 96);
    EXPECT_EQ(scale.ScaleX(123), 123);
    EXPECT_EQ(scale.UnscaleY(-45), -45);
}
