// The password digest and the packing of text for the server wire.
#include "sync/md5.h"
#include "sync/wire_packing.h"

#include <gtest/gtest.h>

using namespace orv::sync;

namespace {
DigitSource fixed(int digit) {
    return [digit] { return digit; };
}
}  // namespace

TEST(PasswordDigest, Md5OfTheGbkBytesRegrouped) {
    // md5 of the GBK bytes of "密码123" is 023b1f07 f0a78fc8 2f15fc1c ebe93524.
    EXPECT_EQ(PasswordDigest("密码123"), "f0a78fc8ebe93524023b1f072f15fc1c");
    // md5("secret") is 5ebe2294 ecd0e0f0 8eab7690 d2a6ee69.
    EXPECT_EQ(PasswordDigest("secret"), "ecd0e0f0d2a6ee695ebe22948eab7690");
}

TEST(Scramble, KnownPacking) {
    EXPECT_EQ(ScrambleText("abc", fixed(1)), "560a1YjJW");
    EXPECT_EQ(UnscrambleText("560a1YjJW"), "abc");
    EXPECT_EQ(ScrambleText("", fixed(5)), "");
    EXPECT_EQ(UnscrambleText(""), "");
    ASSERT_TRUE(tryUnscrambleText("").has_value());
}

TEST(Scramble, RoundTripForEveryDigit) {
    // Short texts (fewer base64 characters than the digit), padded ones, and bytes whose
    // base64 holds "+" (sent as "-").
    const std::string texts[] = {"a", "ab", "abc", "a,b", "澄岭9,f0a78fc8ebe93524023b1f072f15fc1c",
                                 std::string("\xfb\xef\xbe\x00\x01", 5), std::string(300, 'z')};
    for (int digit = 1; digit <= 9; ++digit) {
        for (const std::string& text : texts) {
            const std::string packed = ScrambleText(text, fixed(digit));
            EXPECT_EQ(packed[4], '0' + digit);
            EXPECT_EQ(packed.find('+'), std::string::npos) << packed;
            EXPECT_EQ(UnscrambleText(packed), text) << digit << ' ' << packed;
        }
    }
    EXPECT_EQ(ScrambleText("\xfb\xef", fixed(1)).substr(5), "-8-=");
}

TEST(Scramble, AlteredTextFailsTheCheck) {
    const std::string packed = ScrambleText("uID=3,uName='x'", fixed(4));
    for (size_t i = 0; i < packed.size(); ++i) {
        std::string altered = packed;
        altered[i] = altered[i] == 'A' ? 'B' : 'A';
        if (i >= packed.find('=')) continue;  // padding is not under the check
        EXPECT_FALSE(tryUnscrambleText(altered).has_value()) << altered;
        EXPECT_EQ(UnscrambleText(altered), "");
    }
    for (const char* bad : {"560a", "560aX", "560ax1YjJW", "0000", "560a1YjJW!", "560a1Y"})
        EXPECT_EQ(UnscrambleText(bad), "") << bad;
}

TEST(Scramble, RandomDigitStaysInRange) {
    for (int i = 0; i < 50; ++i) {
        const int d = clockDigit();
        EXPECT_GE(d, 1);
        EXPECT_LE(d, 9);
    }
    EXPECT_EQ(UnscrambleText(ScrambleText("any digit")), "any digit");
}
