// GBK conversion cases that both builds must pass byte for byte: run natively by
// tests/text and under Wine by tests/wine, from this one table.
#pragma once

#include <string_view>

namespace orv::test {

struct GbkCase {
    std::string_view from;
    std::string_view to;
    const char* what;
};

// GBK bytes in, UTF-8 out.
inline constexpr GbkCase kGbkDecodeCases[] = {
    {"", "", "nothing"},
    {std::string_view("a\0b", 3), std::string_view("a\0b", 3), "a NUL is text like any other byte"},
    {"\xB3\xCE\xC1\xEB", "澄岭", "two GBK characters"},
    {"\x81\x40", "\xE4\xB8\x82", "the first pair of the GBK extension"},
    {"\x80", "\xE2\x82\xAC", "code page 936 has the euro sign at 0x80"},
    {"a\xFF" "b", "a\xEF\xBF\xBD" "b", "0xFF starts nothing"},
    {"a\xB3", "a\xEF\xBF\xBD", "a lead byte cut off at the end"},
    {"\x81 ", "\xEF\xBF\xBD ", "a lead byte before a blank"},
    {"\x81\x7F", "\xEF\xBF\xBD\x7F", "0x7F is no trail byte"},
    {"\x81\xFF", "\xEF\xBF\xBD\xEF\xBF\xBD", "a lead byte before 0xFF"},
    {"\xA2\xA0", "\xEF\xBF\xBD\xEF\xBF\xBD", "an unassigned pair, then a lead byte cut off"},
    {"\xAA\xA1x", "\xEF\xBF\xBD\xEF\xBF\xBDx", "pairs left to the users of GBK"},
    {"\xFE\x50", "\xEF\xBF\xBDP", "an unassigned pair whose second byte is ASCII"},
    {"\xB3\xCE\xFF\xC1\xEB", "澄\xEF\xBF\xBD岭", "text on both sides of a bad byte survives"},
    {"\xFF\xB3\xCE", "\xEF\xBF\xBD澄", "a bad byte does not swallow the pair after it"},
};

// UTF-8 in, GBK bytes out.
inline constexpr GbkCase kGbkEncodeCases[] = {
    {"", "", "nothing"},
    {"澄岭", "\xB3\xCE\xC1\xEB", "two GBK characters"},
    {"a\xF0\x9F\x98\x80z", "a?z", "a character beyond the BMP is one '?'"},
    {"\xE2\x82\xAC", "\x80", "the euro sign"},
    {"\xC5\x9F", "?", "no look-alike for a character GBK lacks"},
    {"\xEE\x80\x80", "?", "a private-use character"},
};

}  // namespace orv::test
