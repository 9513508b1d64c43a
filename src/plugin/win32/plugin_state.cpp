// The plug-in's module-wide state. Win32 only.
#include "plugin/win32/plugin_state.h"

#include <cstring>

// GDI+'s flat start-up function, declared here rather than through <gdiplus.h>, whose C++
// headers want the min/max macros that the rest of the code keeps out.
struct OrvGdiplusStartupInput {
    UINT32 version;
    void* debugEventCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};
extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const OrvGdiplusStartupInput* input, void* output);

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
    // The token is never given back: GDI+ stays up until the process ends, so nothing
    // the plug-in drew can outlive it.
    ULONG_PTR token = 0;
    const OrvGdiplusStartupInput input{1, nullptr, FALSE, FALSE};
    state.gdiplusStarted = GdiplusStartup(&token, &input, nullptr) == 0;
}

}  // namespace orv::plugin
