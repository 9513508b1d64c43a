// Win32 only: the engine's string object that callbacks receive (wkeString): UTF-16 for
// wkeGetStringW, UTF-8 for wkeGetString, writable for a prompt's answer.
#pragma once

#include "text/win32/wide_text.h"

#include <string>
#include <string_view>

struct wkeStringOpaque {
    explicit wkeStringOpaque(std::string_view utf8 = {}) : wide(orv::text::utf8ToWide(utf8)) {}
    std::wstring wide;
    std::string utf8;  // filled when asked for
};
