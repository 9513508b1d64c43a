// The functions the IDE calls: the plug-in's whole export table. Win32 only.
//
// Each export runs its body inside the entry guard: an exception unwinding into the
// IDE's frames would take the user's unsaved work down with it. What the user asked for
// (the help window, the toolbar button, the plug-in's start) reports its failure; the
// IDE's notifications fail silently with their usual result.
#include "plugin/win32/exports.h"
#include "plugin/win32/host_services.h"
#include "plugin/win32/plugin_host_db.h"
#include "plugin/win32/plugin_state.h"

#include "framework/win32/entry_guard.h"
#include "helpwindow/win32/help_window.h"
#include "text/encoding.h"

#include <new>

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

using namespace orv::plugin;
using orv::framework::guarded;
using orv::framework::Silent;
using orv::framework::TellUser;

namespace {

void assignGbk(HostString* target, const char* utf8) {
    if (!target) return;
    const std::string gbk = orv::text::utf8ToGbk(utf8);
    if (!hostStringAssign(target, gbk.data(), static_cast<int32_t>(gbk.size()))) throw std::bad_alloc();
}

}  // namespace

PLUGIN_EXPORT int32_t HOST_CALL INITIALIZATION(HostString* name, HostString* description) {
    return guarded(kInitializationResult, TellUser{nullptr, "Orvinta帮助系统未能启动。"}, [&] {
        resolveHostServices();
        // GDI+ must not start inside the loader lock, so the first call from the host
        // starts it instead of the module's attach.
        startGdiplusOnce();
        assignGbk(name, kModuleName);
        assignGbk(description, kModuleDescription);
        return kInitializationResult;
    });
}

PLUGIN_EXPORT void HOST_CALL MENUADD(int32_t, int32_t, int32_t, int32_t) {
    guarded(Silent{}, [] {});
}

PLUGIN_EXPORT void HOST_CALL TOOLADD(int32_t* nextCommandId) {
    guarded(TellUser{nullptr, "帮助按钮未能放到工具栏上。"}, [&] {
        if (!nextCommandId) return;
        PluginState& state = pluginState();
        state.baseCommandId = *nextCommandId;
        *nextCommandId += 2;
        const HostServices& host = hostServices();
        if (!host.insertTool) return;
        struct ToolStrings {
            HostString tip{}, icon{};
            ~ToolStrings() {
                hostStringFree(&tip);
                hostStringFree(&icon);
            }
        } strings;
        assignGbk(&strings.tip, kToolTip);
        assignGbk(&strings.icon, kToolIcon);
        host.insertTool(kToolArgs[0], kToolArgs[1], kToolArgs[2], state.baseCommandId, 0, &strings.tip, &strings.icon);
    });
}

PLUGIN_EXPORT int32_t HOST_CALL MENUCOMMAND(int32_t commandId) {
    // Only the plug-in's own ids get as far as anything that can fail, so a failure
    // still answers "handled".
    return guarded(1, TellUser{nullptr, orv::helpwindow::kOpenFailed}, [&] {
        const PluginState& state = pluginState();
        if (commandId != state.baseCommandId && commandId != state.baseCommandId + 1) return 0;
        // The libraries are the host's: reached through its services for the life of the module.
        static PluginHostDb libraries;
        orv::helpwindow::openHelpWindow(libraries, hostIdeFolder(), commandId - state.baseCommandId);
        return 1;
    });
}

PLUGIN_EXPORT void HOST_CALL ORVINTASTART(const HostThemeRecord* codeTheme, const HostThemeRecord* windowTheme) {
    guarded(Silent{}, [&] {
        copyTheme(codeTheme, pluginState().codeTheme);
        copyTheme(windowTheme, pluginState().windowTheme);
    });
}

PLUGIN_EXPORT int32_t HOST_CALL ORVINTACLOSE(int32_t) {
    return guarded(0, Silent{}, [] { return 0; });
}

PLUGIN_EXPORT int32_t HOST_CALL CODEATTEMPTAUTOINSERT(int32_t) {
    return guarded(0, Silent{}, [] { return 0; });
}

PLUGIN_EXPORT int32_t HOST_CALL COMPILESTART(int32_t, int32_t) {
    return guarded(0, Silent{}, [] { return 0; });
}

PLUGIN_EXPORT int32_t HOST_CALL COMPILEEND(int32_t, int32_t) {
    return guarded(0, Silent{}, [] { return 0; });
}

PLUGIN_EXPORT void HOST_CALL WINTHEMECHANGE(const HostThemeRecord* theme) {
    guarded(Silent{}, [&] { copyTheme(theme, pluginState().windowTheme); });
}

PLUGIN_EXPORT void HOST_CALL CODETHEMECHANGE(const HostThemeRecord* theme) {
    guarded(Silent{}, [&] { copyTheme(theme, pluginState().codeTheme); });
}
