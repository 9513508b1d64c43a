// Reading header files: the three encodings, tabs and line ends, broken input, and
// files that cannot be read.
#include "tools/source_text.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "text/encoding.h"

using namespace orv::tools;

namespace {

std::string utf16LeBytes(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

TEST(SourceText, ThreeEncodingsGiveTheSameText) {
    const std::string expected = "Type 类型\r\n x As Long ' 长整数\r\nEnd Type";
    const std::string utf8 = "Type 类型\r\n\tx As Long ' 长整数\r\nEnd Type";
    const std::string encodings[] = {
        "\xEF\xBB\xBF" + utf8,
        utf16LeBytes(u"Type 类型\r\n\tx As Long ' 长整数\r\nEnd Type"),
        orv::text::utf8ToGbk(utf8),
    };
    for (const std::string& bytes : encodings) EXPECT_EQ(DecodeSourceBytes(bytes), expected);
}

TEST(SourceText, LineEnds) {
    const struct { std::string_view bytes; std::string_view text; } cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb\nc", "a\r\nb\nc"},  // one CRLF: the file's line ends are CRLF
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeSourceBytes(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(SplitSourceLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitSourceLines("").empty());
}

TEST(SourceText, BrokenInputKeepsTheRestOfTheFile) {
    const struct { std::string bytes; std::string text; } cases[] = {
        // Invalid UTF-8 after a UTF-8 mark: the bad bytes are marked, the rest stays.
        {"\xEF\xBB\xBF" "ab\xFF\xC3(cd\r\nDim", "ab\uFFFD\uFFFD(cd\r\nDim"},
        // UTF-16 with an odd byte count: the half character is marked.
        {std::string("\xFF\xFE" "A\0B\0C", 7), "AB\uFFFD"},
        // An unpaired surrogate.
        {std::string("\xFF\xFE\x00\xD8" "A\0", 6), "\uFFFDA"},
        {std::string("\xFF\xFE", 2), ""},
        // Binary bytes taken as GBK; a NUL would cut the text short in the library.
        {std::string("\0\x01\x80\xFF" "x", 5), "\uFFFD\x01\u20AC\uFFFDx"},
        {std::string("\xFF\xFE" "A\0\0\0B\0", 8), "A\uFFFDB"},
    };
    for (const auto& c : cases) {
        const std::string text = DecodeSourceBytes(c.bytes);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(orv::text::isValidUtf8(text));
    }
}

TEST(SourceText, ReadsFilesAndRefusesWhatIsNoFile) {
    orv::test::TempDir dir;
    const std::string path = dir.file("头文件.bi");
    orv::test::writeFile(std::filesystem::u8path(path), "\xEF\xBB\xBF" "Const A = 1\nConst B = 2");
    EXPECT_EQ(ReadSourceText(path), std::optional<std::string>("Const A = 1\r\nConst B = 2"));
    EXPECT_EQ(ReadSourceText(dir.file("missing.bi")), std::nullopt);
    EXPECT_EQ(ReadSourceText(dir.path().string()), std::nullopt);
}
