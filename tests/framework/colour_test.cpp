// Packed colour values: plain colours, system colours and the default.
#include "framework/colour.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace orv::framework;

namespace {

struct ColourCase {
    std::uint32_t value;
    ColourKind kind;
    std::uint32_t rgb;
    int systemIndex;
};

constexpr ColourCase kColourCases[] = {
    {kButtonFaceColour, ColourKind::System, 0, 15},
    {kButtonTextColour, ColourKind::System, 0, 18},
    {kWindowTextColour, ColourKind::System, 0, 8},
    {kGreyColour, ColourKind::System, 0, 16},
    {0x007F7F7F, ColourKind::System, 0, 0},  // index 0 is a system colour (scroll bar)
    {0x1E7F7F7F, ColourKind::System, 0, 30},
    {kDefaultColour, ColourKind::Default, 0, -1},
    {0x1F7F7F7F, ColourKind::Default, 0, -1},  // no system colour has that index
    {0xFF7F7F7F, ColourKind::Default, 0, -1},
    {0x00000000, ColourKind::Rgb, 0x000000, -1},
    {0x00FFFFFF, ColourKind::Rgb, 0xFFFFFF, -1},
    {0x000080FF, ColourKind::Rgb, 0x0080FF, -1},
    {0x007F7F7E, ColourKind::Rgb, 0x7F7F7E, -1},  // one bit off the marker is a colour
    {0x0F123456, ColourKind::Rgb, 0x123456, -1},  // a high byte only counts with the marker
};

}  // namespace

TEST(Colour, DecodesEachForm) {
    for (const ColourCase& c : kColourCases) {
        const Colour colour = DecodeColour(c.value);
        EXPECT_EQ(colour.kind, c.kind) << std::hex << c.value;
        if (c.kind == ColourKind::Rgb) {
            EXPECT_EQ(colour.rgb, c.rgb) << std::hex << c.value;
        }
        if (c.kind == ColourKind::System) {
            EXPECT_EQ(colour.systemIndex, c.systemIndex) << std::hex << c.value;
        }
    }
}

TEST(Colour, BackgroundFallsBackFromChildToFormToButtonFace) {
    const std::uint32_t red = 0x0000FF;
    const std::uint32_t blue = 0xFF0000;

    Colour colour = ChooseBackColour(red, blue);
    EXPECT_EQ(colour.kind, ColourKind::Rgb);
    EXPECT_EQ(colour.rgb, red);

    colour = ChooseBackColour(kDefaultColour, blue);
    EXPECT_EQ(colour.kind, ColourKind::Rgb);
    EXPECT_EQ(colour.rgb, blue);

    colour = ChooseBackColour(kDefaultColour, kWindowTextColour);
    EXPECT_EQ(colour.kind, ColourKind::System);
    EXPECT_EQ(colour.systemIndex, kColourWindowText);

    colour = ChooseBackColour(kDefaultColour, kDefaultColour);
    EXPECT_EQ(colour.kind, ColourKind::System);
    EXPECT_EQ(colour.systemIndex, kColourButtonFace);

    // Black is a colour, not "none".
    colour = ChooseBackColour(0, blue);
    EXPECT_EQ(colour.kind, ColourKind::Rgb);
    EXPECT_EQ(colour.rgb, 0u);
}
