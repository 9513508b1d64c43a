// Running the editors' scripts in the engine. Win32 only.
#include "editors/win32/engine_page.h"

#include "editors/editor_template.h"
#include "text/win32/wide_text.h"

namespace orv::editors {
namespace {

// The engine runs a script as a function body and hands back its value as text. The
// script is wrapped so that every value that came back starts with \x01 (undefined
// and null as nothing after it) and a script that threw gives \x02: without the marks
// an exception, a missing function and an empty field all read "".
constexpr wchar_t kValueMark = L'\x01';

std::wstring wrapped(std::string_view script) {
    return L"try{var v=(function(){" + text::utf8ToWide(script) +
           L"\n})();return (v===undefined||v===null)?\"\\u0001\":\"\\u0001\"+String(v);}"
           L"catch(e){return \"\\u0002\";}";
}

}  // namespace

std::optional<std::string> EnginePage::run(std::string_view script) {
    if (!control_.HasView()) return std::nullopt;
    const std::wstring value = control_.RunJsText(wrapped(script));
    if (value.empty() || value[0] != kValueMark) return std::nullopt;
    return text::wideToUtf8(std::wstring_view(value).substr(1));
}

std::string buttonFaceColour() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return htmlColour(GetRValue(face), GetGValue(face), GetBValue(face));
}

}  // namespace orv::editors
