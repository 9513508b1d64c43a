// MD5 and base64 against the test vectors their RFCs publish.
#include "sync/base64.h"
#include "sync/md5.h"

#include <gtest/gtest.h>

using namespace orv::sync;

TEST(Md5, Rfc1321TestSuite) {
    const struct { const char* in; const char* digest; } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) EXPECT_EQ(md5Hex(c.in), c.digest) << c.in;
}

TEST(Md5, FedInPiecesAcrossBlockEdges) {
    const std::string text(200, 'x');
    for (size_t cut : {1u, 55u, 56u, 63u, 64u, 65u, 128u}) {
        Md5 md5;
        md5.update(std::string_view(text).substr(0, cut));
        md5.update(std::string_view(text).substr(cut));
        const auto digest = md5.finish();
        Md5 whole;
        whole.update(text);
        EXPECT_EQ(digest, whole.finish()) << cut;
    }
}

TEST(Base64, Rfc4648TestVectors) {
    const struct { const char* in; const char* out; } cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Encode(c.in), c.out);
        std::string decoded;
        EXPECT_TRUE(base64Decode(c.out, decoded)) << c.out;
        EXPECT_EQ(decoded, c.in);
    }
    const std::string bytes("\x00\xff\xfe+/\x80", 6);
    std::string back;
    ASSERT_TRUE(base64Decode(base64Encode(bytes), back));
    EXPECT_EQ(back, bytes);
}

TEST(Base64, MalformedTextIsRefused) {
    for (const char* bad : {"Zg=", "Zg", "Z===", "=Zg=", "Zg==Zg==", "Zh==", "Zm9=", "Zm9v!A==", "Zm 9v"}) {
        std::string out = "kept";
        EXPECT_FALSE(base64Decode(bad, out)) << bad;
        EXPECT_EQ(out, "kept");
    }
}
