// The plug-in's theme copies, through its exports called in-process.
#include "plugin/host_abi.h"
#include "plugin/win32/plugin_state.h"

#include <gtest/gtest.h>

extern "C" void HOST_CALL ORVINTASTART(const HostThemeRecord*, const HostThemeRecord*);
extern "C" void HOST_CALL WINTHEMECHANGE(const HostThemeRecord*);
extern "C" void HOST_CALL CODETHEMECHANGE(const HostThemeRecord*);

using orv::plugin::pluginState;

namespace {

HostThemeRecord theme(const char* name, int32_t mark) {
    HostThemeRecord t{};
    hostStringAssign(&t.name, name, static_cast<int32_t>(strlen(name)));
    for (int i = 0; i < HOST_THEME_ENTRIES; ++i)
        for (int k = 0; k < 5; ++k) t.entries[i][k] = mark * 1000 + i * 5 + k;
    return t;
}

}  // namespace

TEST(ThemeCopies, StartTakesCodeFirstAndEachChangeReplacesOnlyItsOwn) {
    HostThemeRecord code = theme("Monokai", 1), window = theme("Light", 2);
    ORVINTASTART(&code, &window);
    // The host changes or frees its records: the copies stay.
    hostStringAssign(&code.name, "changed", 7);
    code.entries[29][4] = -1;
    hostStringFree(&window.name);
    EXPECT_EQ(pluginState().codeTheme.name, "Monokai");
    EXPECT_EQ(pluginState().codeTheme.entries[29][4], 1000 + 29 * 5 + 4);
    EXPECT_EQ(pluginState().windowTheme.name, "Light");
    EXPECT_EQ(pluginState().windowTheme.entries[0][0], 2000);

    HostThemeRecord dark = theme("Dark", 3);
    WINTHEMECHANGE(&dark);
    EXPECT_EQ(pluginState().windowTheme.name, "Dark");
    EXPECT_EQ(pluginState().codeTheme.name, "Monokai");
    CODETHEMECHANGE(&code);
    EXPECT_EQ(pluginState().codeTheme.name, "changed");
    EXPECT_EQ(pluginState().codeTheme.entries[29][4], -1);
    EXPECT_EQ(pluginState().windowTheme.name, "Dark");

    // No record: nothing changes.
    CODETHEMECHANGE(nullptr);
    ORVINTASTART(nullptr, nullptr);
    EXPECT_EQ(pluginState().codeTheme.name, "changed");
    EXPECT_EQ(pluginState().windowTheme.name, "Dark");
    hostStringFree(&code.name);
    hostStringFree(&dark.name);
}
