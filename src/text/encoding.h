// Text encodings at the edges of the program: UTF-8 inside, UTF-16 for Win32 and the
// engine, GBK (code page 936) for the password digest and header files without a BOM.
#pragma once

#include <string>
#include <string_view>

namespace orv::text {

// Invalid UTF-8 sequences become U+FFFD; nothing is dropped silently.
std::u16string utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

bool isValidUtf8(std::string_view bytes);

// GBK <-> UTF-8 through the platform's converter (iconv natively, the code page API on
// Win32), both builds alike. A character that GBK cannot hold becomes '?'. Decoding goes
// byte by byte: each byte that starts no GBK character (0xFF, a lead byte cut off or
// followed by no trail byte, a pair GBK leaves unassigned or to its users) becomes one
// U+FFFD, and the byte after it is read afresh.
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

}  // namespace orv::text
