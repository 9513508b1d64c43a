// Colour values of forms and controls: a plain RGB colour, a system colour by index, or
// "none, use the default", packed into one 32-bit number.
#pragma once

#include <cstdint>

namespace orv::framework {

// When the low 24 bits hold this marker, the high byte is a system colour index.
inline constexpr std::uint32_t kSystemColourMarker = 0x7F7F7F;
// The high byte that means no colour of its own.
inline constexpr int kDefaultColourIndex = 0x19;
inline constexpr int kLastSystemColourIndex = 30;

// System colour indexes (the numbers GetSysColor takes).
inline constexpr int kColourWindowText = 8;
inline constexpr int kColourButtonFace = 15;
inline constexpr int kColourButtonShadow = 16;
inline constexpr int kColourButtonText = 18;

// The values the windows use.
inline constexpr std::uint32_t kButtonFaceColour = 0x0F7F7F7F;
inline constexpr std::uint32_t kButtonTextColour = 0x127F7F7F;
inline constexpr std::uint32_t kWindowTextColour = 0x087F7F7F;
inline constexpr std::uint32_t kGreyColour = 0x107F7F7F;
inline constexpr std::uint32_t kDefaultColour = 0x197F7F7F;

enum class ColourKind { Rgb, System, Default };

struct Colour {
    ColourKind kind = ColourKind::Default;
    std::uint32_t rgb = 0;  // Rgb: the colour in COLORREF layout (0x00BBGGRR)
    int systemIndex = -1;   // System: the index for GetSysColor
};

// A high byte above the last system index (and not the default marker) names no colour
// there is, so it is read as the default as well: the control keeps the look it would
// have had without a colour of its own.
Colour DecodeColour(std::uint32_t value);

inline bool IsDefaultColour(std::uint32_t value) { return DecodeColour(value).kind == ColourKind::Default; }

// The background a child control is painted with: its own back colour, else its form's,
// else the system button face.
Colour ChooseBackColour(std::uint32_t childBack, std::uint32_t formBack);

}  // namespace orv::framework
