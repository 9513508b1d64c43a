// Looking up control kinds and working out the class and styles a control is made with.
#include "framework/control_kinds.h"

#include "text/ascii.h"

namespace orv::framework {

namespace {

struct StyleMapping {
    std::uint32_t passed;
    std::uint32_t becomes;
};

// The push button's short forms: flat, default button, owner-drawn.
constexpr StyleMapping kButtonStyles[] = {
    {0x8000, kVisTab | 0x8F00},
    {0x1, kVisTab | 0xF01},
    {0xB, kVisTab | 0xB},
};

constexpr std::uint32_t kRadioGroupStartStyle = kWsVisible | kWsGroup | kWsTabStop | 0xD09;

std::uint32_t passedOrDefault(std::uint32_t passed, std::uint32_t fallback) {
    return passed == kDefaultStyle ? fallback : passed;
}

std::uint32_t kindStyle(const ControlKind& kind, std::uint32_t style) {
    if (style == kDefaultStyle) return kind.defaultStyle;
    if (kind.rules & kRuleButtonStyles)
        for (const StyleMapping& mapping : kButtonStyles)
            if (style == mapping.passed) return mapping.becomes;
    if ((kind.rules & kRuleRadioGroupStart) && style == kWsGroup) return kRadioGroupStartStyle;
    return style;
}

}  // namespace

const ControlKind* FindControlKind(std::string_view kindName) {
    const std::string upper = text::toUpperAscii(kindName);
    for (const ControlKind& kind : kControlKinds)
        for (const char* name : kind.names)
            if (name && upper == name) return &kind;
    return nullptr;
}

ControlCreation ResolveControlCreation(std::string_view kindName, std::uint32_t style, std::uint32_t exStyle) {
    ControlCreation creation;
    const ControlKind* kind = FindControlKind(kindName);
    if (!kind) {
        creation.windowClass = std::string(kindName);
        creation.style = passedOrDefault(style, 0) | kWsChild;
        creation.exStyle = passedOrDefault(exStyle, 0);
        return creation;
    }
    creation.windowClass = kind->windowClass;
    creation.style = kindStyle(*kind, style) | kWsChild;
    creation.exStyle = passedOrDefault(exStyle, kind->defaultExStyle);
    if (kind->rules & kRuleControlParent) creation.exStyle |= kWsExControlParent;
    creation.rules = kind->rules;
    return creation;
}

}  // namespace orv::framework
