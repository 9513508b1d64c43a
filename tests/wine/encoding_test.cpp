// GBK through the Win32 code page functions gives what the native converter gives: the
// same table of cases as the native text tests.
#include "text/encoding.h"
#include "text/gbk_cases.h"

#include <gtest/gtest.h>

using namespace orv::text;

TEST(Win32Encoding, GbkCasesSharedWithTheNativeBuild) {
    for (const orv::test::GbkCase& c : orv::test::kGbkDecodeCases) EXPECT_EQ(gbkToUtf8(c.from), c.to) << c.what;
    for (const orv::test::GbkCase& c : orv::test::kGbkEncodeCases) EXPECT_EQ(utf8ToGbk(c.from), c.to) << c.what;
    EXPECT_EQ(gbkToUtf8(utf8ToGbk("Orvinta的帮助系统")), "Orvinta的帮助系统");
}

TEST(Win32Encoding, LongTextWithOneBadByteKeepsEverythingElse) {
    // The whole-text path and the byte-by-byte path meet: a long run of characters with
    // one bad byte in the middle comes back whole around a single U+FFFD.
    std::string gbk, utf8;
    for (int i = 0; i < 2000; ++i) {
        gbk += "\xB3\xCE" "a";
        utf8 += "澄a";
    }
    const std::string broken = gbk.substr(0, 3000) + "\xFF" + gbk.substr(3000);
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
    EXPECT_EQ(gbkToUtf8(broken), utf8.substr(0, 4000) + "\xEF\xBF\xBD" + utf8.substr(4000));
}
