// GBK conversion through the Win32 code page API (code page 936). Win32 only.
//
// Code page 936 left to itself turns bytes that are no GBK into whatever its table has
// (a default character, a private-use character, both bytes of a broken pair at once).
// Decoding here decides byte by byte instead, as the native converter does: each byte
// that starts no GBK character becomes one U+FFFD and the next byte is read afresh.
#include "text/encoding.h"

#include <windows.h>

#include <climits>

namespace orv::text {
namespace {

constexpr UINT kGbkCodePage = 936;
constexpr char16_t kReplacement = 0xFFFD;

// Code page 936 gives private-use characters to the byte pairs GBK leaves to its users
// and to the lone byte 0xFF. No GBK reader elsewhere shares them, so they count as no
// character in both directions.
bool isPrivateUse(char16_t c) { return c >= 0xE000 && c <= 0xF8FF; }

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// The whole text at once, when every byte of it belongs to a GBK character: the common
// case, and one call instead of one per character.
bool decodeAllValid(std::string_view gbk, std::u16string& out) {
    if (gbk.size() > static_cast<size_t>(INT_MAX)) return false;
    const int length = static_cast<int>(gbk.size());
    const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), length, nullptr, 0);
    if (n <= 0) return false;
    out.assign(static_cast<size_t>(n), u'\0');
    if (MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), length,
                            reinterpret_cast<wchar_t*>(out.data()), n) != n)
        return false;
    for (char16_t c : out)
        if (isPrivateUse(c)) return false;
    return true;
}

// The character that starts at gbk[i], advancing i past it; U+FFFD for a byte that
// starts none (a lone lead byte, a pair GBK does not assign, a byte no table has), which
// uses up that byte only.
char16_t decodeOne(std::string_view gbk, size_t& i) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int length = 1;
    if (isLeadByte(b)) {
        if (i + 1 >= gbk.size() || !isTrailByte(static_cast<unsigned char>(gbk[i + 1]))) {
            ++i;
            return kReplacement;
        }
        length = 2;
    }
    wchar_t unit[2];
    const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data() + i, length, unit, 2);
    if (n != 1 || isPrivateUse(static_cast<char16_t>(unit[0]))) {
        ++i;
        return kReplacement;
    }
    i += static_cast<size_t>(length);
    return static_cast<char16_t>(unit[0]);
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    std::u16string wide;
    if (!decodeAllValid(gbk, wide)) {
        wide.clear();
        wide.reserve(gbk.size());
        for (size_t i = 0; i < gbk.size();) wide += decodeOne(gbk, i);
    }
    return utf16ToUtf8(wide);
}

std::string utf8ToGbk(std::string_view utf8) {
    if (utf8.empty()) return {};
    std::u16string wide = utf8ToUtf16(utf8);
    // A character beyond the BMP is one '?' in GBK, as it is natively, not one per
    // surrogate; a private-use character is none GBK holds. U+FFFD, which GBK cannot
    // hold either, stands in for both.
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            wide[i] = kReplacement;
            wide.erase(i + 1, 1);
        } else if (isPrivateUse(wide[i])) {
            wide[i] = kReplacement;
        }
    }
    if (wide.size() > static_cast<size_t>(INT_MAX)) return std::string(wide.size(), '?');
    const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
    const int len = static_cast<int>(wide.size());
    // Without WC_NO_BEST_FIT_CHARS a character GBK lacks could become a look-alike
    // ("ş" as "s") where the native converter writes '?'.
    const int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, w, len, nullptr, 0, "?", nullptr);
    if (n <= 0) return std::string(wide.size(), '?');
    std::string out(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, w, len, out.data(), n, "?", nullptr) != n)
        return std::string(wide.size(), '?');
    return out;
}

}  // namespace orv::text
