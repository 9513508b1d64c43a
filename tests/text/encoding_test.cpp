// Conversions between UTF-8, UTF-16 and GBK.
#include "text/ascii.h"
#include "text/encoding.h"
#include "text/gbk_cases.h"

#include <gtest/gtest.h>

using namespace orv::text;

TEST(Encoding, Utf8AndUtf16RoundTrip) {
    const std::string samples[] = {"", "PRINT", "澄岭 帮助", "emoji \xF0\x9F\x98\x80 end"};
    for (const std::string& s : samples) EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(s)), s) << s;
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);  // a surrogate pair
}

TEST(Encoding, MalformedInputIsReplacedNotDropped) {
    // Lone continuation byte, truncated sequence, overlong form, unpaired surrogate.
    EXPECT_EQ(utf8ToUtf16("a\x80" "b"), u"a\uFFFDb");
    EXPECT_EQ(utf8ToUtf16("a\xE6\xBE"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_FALSE(isValidUtf8("a\xFF"));
    EXPECT_TRUE(isValidUtf8("澄岭 \xEF\xBF\xBD"));
}

TEST(Encoding, GbkCasesSharedWithTheWin32Build) {
    for (const orv::test::GbkCase& c : orv::test::kGbkDecodeCases) EXPECT_EQ(gbkToUtf8(c.from), c.to) << c.what;
    for (const orv::test::GbkCase& c : orv::test::kGbkEncodeCases) EXPECT_EQ(utf8ToGbk(c.from), c.to) << c.what;
    EXPECT_EQ(gbkToUtf8(utf8ToGbk("Orvinta的帮助系统")), "Orvinta的帮助系统");
}

TEST(Encoding, BrokenUtf8CostsOnlyItsOwnBytes) {
    // A lead byte without its continuation must not take the next character with it.
    EXPECT_EQ(utf8ToGbk("\xC3" "A"), "?A");
    EXPECT_EQ(utf8ToGbk("\xE4\xB8" "B"), "?B");
    EXPECT_EQ(gbkToUtf8(utf8ToGbk("x\xF0\x9F\x98\x80y")), "x?y");  // whole but not in GBK
}

TEST(Ascii, CaseHelpersLeaveOtherBytesAlone) {
    EXPECT_EQ(toUpperAscii("print 澄岭"), "PRINT 澄岭");
    EXPECT_TRUE(equalsNoCaseAscii("Setup", "SETUP"));
    EXPECT_FALSE(equalsNoCaseAscii("setup", "setups"));
}
