// The module's reference held for its windows, and its release off the window thread.
// Win32 only.
#include "framework/win32/module_hold.h"

#include "framework/win32/form_keys.h"
#include "framework/win32/ui_tasks.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>

namespace orv::framework {
namespace {

int g_holders = 0;          // window thread only
HMODULE g_reference = nullptr;  // the reference the holders share

struct Release {
    HMODULE module;
    HWND waypoint;  // a window of the system's own class on the window thread
};

// Runs on a thread of its own. The message sent to the waypoint is answered only when
// the window thread takes messages outside a window of ours (none is left); from then
// on no code of the module is below it, and the reference can go.
DWORD WINAPI releaseEntry(void* parameter) {
    const Release release = *static_cast<Release*>(parameter);
    delete static_cast<Release*>(parameter);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(release.waypoint, WM_NULL, 0, 0, SMTO_NORMAL, INFINITE, &ignored);
    // Closed by the system's own procedure: nothing of ours runs for it.
    PostMessageW(release.waypoint, WM_CLOSE, 0, 0);
    FreeLibraryAndExitThread(release.module, 0);
    return 0;
}

}  // namespace

void HoldModule() {
    if (g_holders++ > 0) return;
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&HoldModule)), &module))
        g_reference = module;
    std::string error;
    StartUiTasks(error);  // without it, workers' results are dropped: nothing worse
    StartFormKeys();      // without it, the IDE's loop gives no dialog keys: nothing worse
}

void ReleaseModule() {
    if (g_holders <= 0 || --g_holders > 0) return;
    StopUiTasks();
    StopFormKeys();
    const HMODULE module = std::exchange(g_reference, nullptr);
    if (!module) return;
    HWND waypoint = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto* release = new (std::nothrow) Release{module, waypoint};
    HANDLE thread = release && waypoint ? CreateThread(nullptr, 0, releaseEntry, release, 0, nullptr) : nullptr;
    if (thread) {
        CloseHandle(thread);
        return;
    }
    // Without a thread the reference stays: a module kept loaded is harmless, one
    // unloaded under running code is not.
    delete release;
    if (waypoint) DestroyWindow(waypoint);
}

int ModuleHolders() { return g_holders; }

}  // namespace orv::framework
