// Shortcuts in menu item texts to accelerator entries and a window's accelerator table.
#include "framework/accelerator.h"

#include <gtest/gtest.h>

using namespace orv::framework;

namespace {

constexpr std::uint8_t V = kAccelVirtKey;

}  // namespace

TEST(Accelerator, ReadsModifiersAndKey) {
    const struct {
        const char* text;
        std::uint8_t flags;
        std::uint16_t key;
    } cases[] = {
        {"Ctrl+S", V | kAccelControl, 0x53},
        {"CTRL+S", V | kAccelControl, 0x53},
        {"ctrl+s", V | kAccelControl, 0x53},
        {"Shift+A", V | kAccelShift, 0x41},
        {"Alt+Z", V | kAccelAlt, 0x5A},
        {"Ctrl+Shift+F5", V | kAccelControl | kAccelShift, 0x74},
        {"Shift+Ctrl+F5", V | kAccelControl | kAccelShift, 0x74},
        {"Ctrl+Alt+Shift+9", V | kAccelControl | kAccelAlt | kAccelShift, 0x39},
        {"F1", V, 0x70},
        {"F10", V, 0x79},
        {"F12", V, 0x7B},
        {"Alt+0", V | kAccelAlt, 0x30},
        {" Ctrl+N ", V | kAccelControl, 0x4E},
    };
    for (const auto& c : cases) {
        std::string problem = "stale";
        const auto accelerator = ParseAcceleratorText(c.text, 40001, &problem);
        ASSERT_TRUE(accelerator.has_value()) << c.text << ": " << problem;
        EXPECT_EQ(accelerator->flags, c.flags) << c.text;
        EXPECT_EQ(accelerator->key, c.key) << c.text;
        EXPECT_EQ(accelerator->command, 40001) << c.text;
        EXPECT_EQ(problem, "") << c.text;
    }
}

TEST(Accelerator, KeysOutsideTheSetGiveNoAcceleratorAndSayWhy) {
    for (const char* text : {"", "Ctrl+", "Ctrl+Del", "Del", "F0", "F13", "F01", "Ctrl+SS", "Ctrl-S",
                             "Ctrl+12", "Win+S", "Ctrl+Shift+", "Ctrl+中"}) {
        std::string problem;
        EXPECT_FALSE(ParseAcceleratorText(text, 1, &problem).has_value()) << text;
        EXPECT_NE(problem.find("is not a key"), std::string::npos) << text << " -> " << problem;
    }
}

TEST(Accelerator, ShortcutFollowsTheFirstTab) {
    EXPECT_EQ(ShortcutOfMenuText("保存(&S)\tCtrl+S"), "Ctrl+S");
    EXPECT_EQ(ShortcutOfMenuText("保存(&S)"), "");
    EXPECT_EQ(ShortcutOfMenuText("a\tb\tc"), "b\tc");
    EXPECT_EQ(ShortcutOfMenuText("Ctrl+S"), "") << "a shortcut only counts after a tab";
}

TEST(Accelerator, TableHoldsTheItemsWithShortcutsInMenuOrder) {
    const std::vector<MenuItemText> menu = {
        {101, "新建(&N)\tCtrl+N"},
        {102, "打开(&O)"},
        {103, "删除\tDel"},
        {104, "帮助\tF1"},
        {105, "\t"},
    };
    std::vector<std::string> problems;
    const std::vector<Accelerator> table = BuildAcceleratorTable(menu, &problems);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].command, 101);
    EXPECT_EQ(table[0].flags, V | kAccelControl);
    EXPECT_EQ(table[0].key, 0x4E);
    EXPECT_EQ(table[1].command, 104);
    EXPECT_EQ(table[1].flags, V);
    EXPECT_EQ(table[1].key, 0x70);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("\"Del\""), std::string::npos) << problems[0];
}
