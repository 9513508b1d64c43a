// The functions the IDE calls: the plug-in's whole export table. Win32 only.
#include "plugin/host_abi.h"
#include "plugin/win32/host_services.h"
#include "plugin/win32/plugin_state.h"

#include "helpwindow/win32/help_window.h"
#include "text/encoding.h"

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

using namespace orv::plugin;

namespace {

void assignGbk(HostString* target, const char* utf8) {
    if (!target) return;
    const std::string gbk = orv::text::utf8ToGbk(utf8);
    hostStringAssign(target, gbk.data(), static_cast<int32_t>(gbk.size()));
}

}  // namespace

PLUGIN_EXPORT int32_t HOST_CALL INITIALIZATION(HostString* name, HostString* description) {
    resolveHostServices();
    // GDI+ must not start inside the loader lock, so the first call from the host starts
    // it instead of the module's attach.
    startGdiplusOnce();
    assignGbk(name, kModuleName);
    assignGbk(description, kModuleDescription);
    return kInitializationResult;
}

PLUGIN_EXPORT void HOST_CALL MENUADD(int32_t, int32_t, int32_t, int32_t) {}

PLUGIN_EXPORT void HOST_CALL TOOLADD(int32_t* nextCommandId) {
    if (!nextCommandId) return;
    PluginState& state = pluginState();
    state.baseCommandId = *nextCommandId;
    *nextCommandId += 2;
    const HostServices& host = hostServices();
    if (!host.insertTool) return;
    HostString tip{}, icon{};
    assignGbk(&tip, kToolTip);
    assignGbk(&icon, kToolIcon);
    host.insertTool(kToolArgs[0], kToolArgs[1], kToolArgs[2], state.baseCommandId, 0, &tip, &icon);
    hostStringFree(&tip);
    hostStringFree(&icon);
}

PLUGIN_EXPORT int32_t HOST_CALL MENUCOMMAND(int32_t commandId) {
    const PluginState& state = pluginState();
    if (commandId != state.baseCommandId && commandId != state.baseCommandId + 1) return 0;
    orv::helpwindow::openHelpWindow(state.instance, hostIdeFolder(), commandId - state.baseCommandId);
    return 1;
}

PLUGIN_EXPORT void HOST_CALL ORVINTASTART(const HostThemeRecord* codeTheme, const HostThemeRecord* windowTheme) {
    copyTheme(codeTheme, pluginState().codeTheme);
    copyTheme(windowTheme, pluginState().windowTheme);
}

PLUGIN_EXPORT int32_t HOST_CALL ORVINTACLOSE(int32_t) { return 0; }
PLUGIN_EXPORT int32_t HOST_CALL CODEATTEMPTAUTOINSERT(int32_t) { return 0; }
PLUGIN_EXPORT int32_t HOST_CALL COMPILESTART(int32_t, int32_t) { return 0; }
PLUGIN_EXPORT int32_t HOST_CALL COMPILEEND(int32_t, int32_t) { return 0; }

PLUGIN_EXPORT void HOST_CALL WINTHEMECHANGE(const HostThemeRecord* theme) {
    copyTheme(theme, pluginState().windowTheme);
}

PLUGIN_EXPORT void HOST_CALL CODETHEMECHANGE(const HostThemeRecord* theme) {
    copyTheme(theme, pluginState().codeTheme);
}
