// Win32 only: UTF-8 to and from the UTF-16 wide strings of the Windows API, whose
// wchar_t is one UTF-16 unit.
#pragma once

#include "text/encoding.h"

#include <string>
#include <string_view>

namespace orv::text {

inline std::wstring utf8ToWide(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

inline std::string wideToUtf8(std::wstring_view wide) { return utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

}  // namespace orv::text
