// Reading shortcuts from menu item texts into accelerator entries.
#include "framework/accelerator.h"

#include "text/ascii.h"

namespace orv::framework {

namespace {

struct Modifier {
    const char* prefix;
    std::uint8_t flag;
};

constexpr Modifier kModifiers[] = {
    {"CTRL+", kAccelControl},
    {"SHIFT+", kAccelShift},
    {"ALT+", kAccelAlt},
};

// The virtual-key code of a key name, 0 for a key a shortcut cannot name.
std::uint16_t keyCode(std::string_view key) {
    if (key.size() == 1) {
        const char c = text::upperAscii(key[0]);
        if (c >= '0' && c <= '9') return static_cast<std::uint16_t>(kVk0 + (c - '0'));
        if (c >= 'A' && c <= 'Z') return static_cast<std::uint16_t>(kVkA + (c - 'A'));
        return 0;
    }
    if ((key.size() == 2 || key.size() == 3) && text::upperAscii(key[0]) == 'F') {
        int number = 0;
        for (const char c : key.substr(1)) {
            if (c < '0' || c > '9') return 0;
            number = number * 10 + (c - '0');
        }
        if (key[1] != '0' && number >= 1 && number <= kVkF12 - kVkF1 + 1)
            return static_cast<std::uint16_t>(kVkF1 + number - 1);
    }
    return 0;
}

}  // namespace

std::optional<Accelerator> ParseAcceleratorText(std::string_view shortcut, std::uint16_t command,
                                                std::string* problem) {
    if (problem) problem->clear();
    std::string_view rest = text::trimBlanks(shortcut);
    Accelerator accelerator;
    accelerator.flags = kAccelVirtKey;
    accelerator.command = command;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& modifier : kModifiers) {
            if (!text::startsWithNoCase(rest, modifier.prefix)) continue;
            accelerator.flags |= modifier.flag;
            rest.remove_prefix(std::string_view(modifier.prefix).size());
            found = true;
        }
    }
    accelerator.key = keyCode(rest);
    if (accelerator.key != 0) return accelerator;
    if (problem)
        *problem = "shortcut \"" + std::string(shortcut) + "\": \"" + std::string(rest) +
                   "\" is not a key a shortcut can name (F1-F12, 0-9, A-Z)";
    return std::nullopt;
}

std::string_view ShortcutOfMenuText(std::string_view menuText) {
    const size_t tab = menuText.find('\t');
    return tab == std::string_view::npos ? std::string_view() : menuText.substr(tab + 1);
}

std::vector<Accelerator> BuildAcceleratorTable(const std::vector<MenuItemText>& items,
                                               std::vector<std::string>* problems) {
    std::vector<Accelerator> table;
    for (const MenuItemText& item : items) {
        const std::string_view shortcut = ShortcutOfMenuText(item.text);
        if (shortcut.empty()) continue;
        std::string problem;
        if (const auto accelerator = ParseAcceleratorText(shortcut, item.command, &problem))
            table.push_back(*accelerator);
        else if (problems)
            problems->push_back(problem);
    }
    return table;
}

}  // namespace orv::framework
