// Keyboard shortcuts written in menu item texts ("保存(&S)\tCtrl+S") and the accelerator
// table a window's menu makes of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::framework {

// The accelerator flag bits (FVIRTKEY, FSHIFT, FCONTROL, FALT); named apart from the
// <windows.h> macros so that both can be seen in one file.
inline constexpr std::uint8_t kAccelVirtKey = 0x01;
inline constexpr std::uint8_t kAccelShift = 0x04;
inline constexpr std::uint8_t kAccelControl = 0x08;
inline constexpr std::uint8_t kAccelAlt = 0x10;

// Virtual-key codes of the keys a shortcut may name: digits and letters are their ASCII
// upper-case codes.
inline constexpr std::uint16_t kVkF1 = 0x70;
inline constexpr std::uint16_t kVkF12 = 0x7B;
inline constexpr std::uint16_t kVk0 = 0x30;
inline constexpr std::uint16_t kVkA = 0x41;

// One entry of an accelerator table, laid out as the ACCEL structure's fields.
struct Accelerator {
    std::uint8_t flags = 0;
    std::uint16_t key = 0;
    std::uint16_t command = 0;
};

// "Ctrl+S", "Ctrl+Shift+F5", "Alt+1", "F1": any of the modifiers CTRL+, SHIFT+, ALT+ in
// any order (without case), then one key: F1 to F12, a digit or a letter. Anything else
// gives no accelerator and says why in `problem`.
std::optional<Accelerator> ParseAcceleratorText(std::string_view shortcut, std::uint16_t command,
                                                std::string* problem = nullptr);

// The shortcut part of a menu item text: what follows its first tab, empty without one.
std::string_view ShortcutOfMenuText(std::string_view menuText);

struct MenuItemText {
    std::uint16_t command = 0;
    std::string text;
};

// The accelerator table of a window: one entry per menu item that carries a shortcut, in
// menu order. A shortcut that cannot be read is left out and named in `problems`.
std::vector<Accelerator> BuildAcceleratorTable(const std::vector<MenuItemText>& items,
                                               std::vector<std::string>* problems = nullptr);

}  // namespace orv::framework
