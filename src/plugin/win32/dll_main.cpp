// The library entry point: records the module instance and nothing more, since the
// loader lock is held here. Win32 only.
#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"
#include "framework/win32/ui_tasks.h"
#include "helpwindow/win32/help_window.h"
#include "plugin/win32/plugin_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return orv::framework::guarded(TRUE, orv::framework::Silent{}, [&] {
        if (reason == DLL_PROCESS_ATTACH) {
            orv::plugin::pluginState().instance = instance;
            DisableThreadLibraryCalls(instance);
        } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
            // Unloaded while the process goes on: a later load must not find a window
            // class whose procedure pointed into this copy of the module.
            UnregisterClassW(orv::helpwindow::kWindowClass, instance);
            orv::framework::UnregisterFormClasses();
            orv::framework::UnregisterUiTasksClass();
        }
        return TRUE;
    });
}
