// The INI reader and writer answers as the Win32 profile functions do.
#include "library/ini_file.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

#include <gtest/gtest.h>

using namespace orv::library;

TEST(IniFile, LookupRules) {
    const IniFile ini = IniFile::parse(orv::text::utf8ToGbk(
        "  [Setup] \r\n"
        " User = 澄岭 \r\n"
        "quoted=\"a b\"\r\n"
        "single='x'\r\n"
        "half=\"open\r\n"
        ";server=commented\r\n"
        "empty=\r\n"
        "[setup]\r\n"
        "user=second section is not read\r\n"));
    const struct { const char* key; const char* value; } cases[] = {
        {"user", "澄岭"}, {"USER", "澄岭"}, {"quoted", "a b"}, {"single", "x"},
        {"half", "\"open"}, {"server", "<none>"}, {";server", "<none>"}, {"empty", ""}, {"missing", "<none>"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini.get("setup", c.key, "<none>"), c.value) << c.key;
    EXPECT_EQ(ini.get("nosection", "user", "d"), "d");
}

TEST(IniFile, EncodingsAreReadAndKept) {
    const std::string ansi = "[setup]\r\nuser=" + orv::text::utf8ToGbk("澄岭") + "\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : orv::text::utf8ToUtf16("[setup]\r\nuser=澄岭\r\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const std::string utf8 = "\xEF\xBB\xBF[setup]\r\nuser=澄岭\r\n";
    for (const std::string& bytes : {ansi, utf16, utf8}) {
        IniFile ini = IniFile::parse(bytes);
        EXPECT_EQ(ini.get("setup", "user", ""), "澄岭");
        EXPECT_EQ(ini.serialize(), bytes);  // unchanged file, unchanged bytes
    }
    EXPECT_EQ(IniFile::parse(ansi).encoding(), IniFile::Encoding::Ansi);
    // A new file is UTF-16, so a name outside GBK survives.
    IniFile fresh = IniFile::parse("");
    fresh.set("setup", "user", "\xF0\x9F\x98\x80");
    EXPECT_EQ(IniFile::parse(fresh.serialize()).get("setup", "user", ""), "\xF0\x9F\x98\x80");
}

TEST(IniFile, SetReplacesInPlaceOrAppendsToItsSection) {
    IniFile ini = IniFile::parse("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
    ini.set("A", "X", "10");
    ini.set("a", "z", "3");
    ini.set("c", "w", "4");
    EXPECT_EQ(ini.serialize(), "[a]\r\nX=10\r\nz=3\r\n\r\n[b]\r\ny=2\r\n[c]\r\nw=4\r\n");
}
