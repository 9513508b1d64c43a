// The module's font cache over CreateFontW. Win32 only.
#include "framework/win32/fonts.h"

#include "framework/font_cache.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

namespace orv::framework {
namespace {

HFONT makeFont(const FontDescription& font) {
    const std::wstring face = text::utf8ToWide(font.face);
    return CreateFontW(-MulDiv(font.points, ScreenScale().dpiY(), 72), 0, 0, 0, font.weight, font.italic,
                       font.underline, font.strikeout, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

FontCache<HFONT>& cache() {
    static FontCache<HFONT> fonts(makeFont, [](HFONT font) { DeleteObject(font); });
    return fonts;
}

}  // namespace

HFONT FontFor(std::string_view fontText, std::string* problem) { return cache().Get(fontText, problem); }

std::size_t FontCount() { return cache().size(); }

}  // namespace orv::framework
