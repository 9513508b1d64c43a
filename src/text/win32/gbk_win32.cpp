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
    const std::u16string wide = utf8ToUtf16(utf8);
    const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
    const int len = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(936, 0, w, len, nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, w, len, out.data(), n, "?", nullptr);
    return out;
}

}  // namespace orv::text
