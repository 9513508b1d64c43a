// What the plug-in keeps between the host's calls: its module, its command ids and the
// host's theme records. Win32 only.
#pragma once

#include "plugin/host_abi.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

namespace orv::plugin {

inline constexpr const char* kModuleName = "OrvintaHelp";
inline constexpr const char* kModuleDescription = "Orvinta的帮助系统";
inline constexpr const char* kToolTip = "Orvinta 帮助文档";
inline constexpr const char* kToolIcon = "help.ico";
inline constexpr int32_t kInitializationResult = 3;
// INSERTTOOL's leading arguments; their meaning is the host's.
inline constexpr int32_t kToolArgs[3] = {39, 58889, 8421376};

// A theme record copied by value: it outlives whatever the host does with its own.
struct ThemeCopy {
    std::string name;
    std::array<std::array<int32_t, 5>, HOST_THEME_ENTRIES> entries{};
};

struct PluginState {
    HINSTANCE instance = nullptr;
    int32_t baseCommandId = 0;
    ThemeCopy codeTheme;
    ThemeCopy windowTheme;
    bool gdiplusStarted = false;
};

PluginState& pluginState();

// Replaces `into` with a copy of the host's record; a null record changes nothing.
void copyTheme(const HostThemeRecord* record, ThemeCopy& into);

// Starts GDI+ once for the life of the process; later calls do nothing.
void startGdiplusOnce();

}  // namespace orv::plugin
