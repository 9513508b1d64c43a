// Decoding the packed colour values of forms and controls.
#include "framework/colour.h"

#include <initializer_list>

namespace orv::framework {

Colour DecodeColour(std::uint32_t value) {
    Colour colour;
    if ((value & 0xFFFFFF) != kSystemColourMarker) {
        colour.kind = ColourKind::Rgb;
        colour.rgb = value & 0xFFFFFF;
        return colour;
    }
    const int index = static_cast<int>(value >> 24);
    if (index == kDefaultColourIndex || index > kLastSystemColourIndex) return colour;
    colour.kind = ColourKind::System;
    colour.systemIndex = index;
    return colour;
}

Colour ChooseBackColour(std::uint32_t childBack, std::uint32_t formBack) {
    for (const std::uint32_t value : {childBack, formBack}) {
        const Colour colour = DecodeColour(value);
        if (colour.kind != ColourKind::Default) return colour;
    }
    return DecodeColour(kButtonFaceColour);
}

}  // namespace orv::framework
