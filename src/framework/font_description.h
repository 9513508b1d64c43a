// The font texts of forms and controls ("Microsoft YaHei,9,0": face, points, bold,
// italic, underline, strikeout) read into a font description.
#pragma once

#include <string>
#include <string_view>

namespace orv::framework {

inline constexpr const char* kDefaultFontFace = "SimSun";
inline constexpr int kDefaultFontPoints = 9;
inline constexpr int kNormalWeight = 400;
inline constexpr int kBoldWeight = 700;

struct FontDescription {
    std::string face = kDefaultFontFace;
    int points = kDefaultFontPoints;
    int weight = kNormalWeight;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

// Up to six comma-separated items, trailing ones optional, blanks around items ignored.
// An empty face becomes SimSun and a size of 0 or none becomes 9; a non-zero bold value
// gives weight 700; the last three are flags (non-zero = on). The result is always a
// usable font: an item that is not a whole number (or a negative size, or a seventh item)
// keeps its default and is named in `problem`, which is left empty when all was well.
FontDescription ParseFontDescription(std::string_view text, std::string* problem = nullptr);

// The text under which equal fonts are shared: one text per distinct font, whatever way
// its text was written ("Arial,9" and "arial , 9,0,0" give the same key), because font
// face names match without case.
std::string FontDescriptionKey(const FontDescription& font);

}  // namespace orv::framework
