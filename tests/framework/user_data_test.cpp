// The numbered user-data slots of a control record.
#include "framework/user_data.h"

#include <gtest/gtest.h>

using orv::framework::UserData;

TEST(UserData, SlotsHoldTheirOwnValues) {
    UserData data;
    for (int slot = 0; slot < UserData::kSlots; ++slot) EXPECT_EQ(data.Get(slot), 0) << slot;
    for (int slot = 0; slot < UserData::kSlots; ++slot) ASSERT_TRUE(data.Set(slot, 1000 + slot));
    for (int slot = 0; slot < UserData::kSlots; ++slot) EXPECT_EQ(data.Get(slot), 1000 + slot) << slot;
    EXPECT_TRUE(data.Set(99, -7));
    EXPECT_EQ(data.Get(99), -7);
    EXPECT_EQ(data.Get(98), 1098);
}

TEST(UserData, NumbersOutsideZeroToNinetyNineReadZeroAndWriteNothing) {
    UserData data;
    for (int slot = 0; slot < UserData::kSlots; ++slot) data.Set(slot, 5);
    for (const int slot : {-1, 100, 101, -100, 1 << 30}) {
        EXPECT_FALSE(data.Set(slot, 42)) << slot;
        EXPECT_EQ(data.Get(slot), 0) << slot;
    }
    for (int slot = 0; slot < UserData::kSlots; ++slot) EXPECT_EQ(data.Get(slot), 5) << slot;
}
