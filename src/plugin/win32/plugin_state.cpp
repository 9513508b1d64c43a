// The plug-in's module-wide state. Win32 only.
#include "plugin/win32/plugin_state.h"

#include "framework/win32/gdiplus_session.h"

#include <cstring>

namespace orv::plugin {

PluginState& pluginState() {
    static PluginState state;
    return state;
}

void copyTheme(const HostThemeRecord* record, ThemeCopy& into) {
    if (!record) return;
    ThemeCopy copy;
    if (record->name.data && record->name.length > 0)
        copy.name.assign(record->name.data, static_cast<size_t>(record->name.length));
    for (int i = 0; i < HOST_THEME_ENTRIES; ++i)
        std::memcpy(copy.entries[static_cast<size_t>(i)].data(), record->entries[i], sizeof record->entries[i]);
    into = std::move(copy);
}

void startGdiplusOnce() {
    PluginState& state = pluginState();
    if (state.gdiplusStarted) return;
    // The plug-in's own reference is never given back: GDI+ stays up until the process
    // ends, so nothing the plug-in drew can outlive it.
    state.gdiplusStarted = framework::AcquireGdiplus();
}

}  // namespace orv::plugin
