// The libraries' date stamp.
#include "library/udate.h"

#include <gtest/gtest.h>

using namespace orv::library;

TEST(UDate, CountsLocalTimeLessEightHours) {
    std::tm t{};
    t.tm_year = 70; t.tm_mon = 0; t.tm_mday = 1; t.tm_hour = 8;
    EXPECT_EQ(uDateFromLocal(t), 0);
    // 2023-11-15 06:13:20 on a clock set to China time is Unix time 1700000000.
    t = {};
    t.tm_year = 123; t.tm_mon = 10; t.tm_mday = 15; t.tm_hour = 6; t.tm_min = 13; t.tm_sec = 20;
    EXPECT_EQ(uDateFromLocal(t), 1700000000);
    // A leap day.
    t = {};
    t.tm_year = 124; t.tm_mon = 1; t.tm_mday = 29;
    EXPECT_EQ(uDateFromLocal(t), 1709164800 - 28800);
}

TEST(UDate, StampsReadBackAsTheLocalTimeTheyStandFor) {
    const struct { long long uDate; const char* text; } cases[] = {
        {0, "1970-01-01 08:00:00"},
        {-28800, "1970-01-01 00:00:00"},
        {-28801, "1969-12-31 23:59:59"},
        {1700000000, "2023-11-15 06:13:20"},
        {1709164800 - 28800, "2024-02-29 00:00:00"},
        {4102444800 - 28800, "2100-01-01 00:00:00"},
    };
    for (const auto& c : cases) {
        const std::tm t = localFromUDate(c.uDate);
        EXPECT_EQ(timestampText(t), c.text) << c.uDate;
        EXPECT_EQ(uDateFromLocal(t), c.uDate) << c.text;
    }
}

TEST(UDate, NowIsNearTheClock) {
    const long long now = uDateNow();
    EXPECT_GT(now, 1700000000);
    EXPECT_EQ(localTimestamp().size(), 19u);
}
