// GBK through the Win32 code page functions gives what the native converter gives.
#include "text/encoding.h"

#include <gtest/gtest.h>

using namespace orv::text;

TEST(Win32Encoding, GbkBothWays) {
    EXPECT_EQ(utf8ToGbk("澄岭"), "\xB3\xCE\xC1\xEB");
    EXPECT_EQ(gbkToUtf8("\xB3\xCE\xC1\xEB"), "澄岭");
    EXPECT_EQ(gbkToUtf8(utf8ToGbk("Orvinta的帮助系统")), "Orvinta的帮助系统");
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(utf8ToGbk(""), "");
}
