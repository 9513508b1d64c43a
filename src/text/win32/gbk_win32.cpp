// GBK conversion through the Win32 code page API (code page 936). Win32 only.
#include "text/encoding.h"

#include <windows.h>

namespace orv::text {

std::string gbkToUtf8(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()),
                        reinterpret_cast<wchar_t*>(wide.data()), n);
    return utf16ToUtf8(wide);
}

std::string utf8ToGbk(std::string_view utf8) {
    if (utf8.empty()) return {};
    std::u16string wide = utf8ToUtf16(utf8);
    // A character beyond the BMP is one '?' in GBK, as it is natively, not one per
    // surrogate: stand U+FFFD (which GBK cannot hold either) in for the pair.
    for (size_t i = 0; i + 1 < wide.size(); ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            wide[i] = 0xFFFD;
            wide.erase(i + 1, 1);
        }
    }
    const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
    const int len = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(936, 0, w, len, nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, w, len, out.data(), n, "?", nullptr);
    return out;
}

}  // namespace orv::text
