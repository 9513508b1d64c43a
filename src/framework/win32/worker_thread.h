// Threads of the plug-in's own: each keeps the module whose code it runs loaded until it
// has ended, and runs its work inside the entry guard. Win32 only.
//
// Header-only on purpose: each module that starts such a thread pins itself (the entry
// below is that module's own copy), and the Win32 parts of portable libraries can start
// one without linking the window framework.
#pragma once

#include "framework/win32/entry_guard.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace orv::framework {

// How many of this module's threads are at work now (for timings and diagnostics).
inline std::atomic<int>& RunningWorkers() {
    static std::atomic<int> running{0};
    return running;
}

namespace detail {

struct WorkerLaunch {
    std::function<void()> work;
    HMODULE pin = nullptr;
};

inline DWORD WINAPI workerEntry(void* parameter) {
    auto* launch = static_cast<WorkerLaunch*>(parameter);
    const HMODULE pin = launch->pin;
    guarded(Silent{}, [launch] {
        const std::unique_ptr<WorkerLaunch> owned(launch);
        owned->work();
    });
    --RunningWorkers();
    // The IDE may have unloaded the plug-in while the work ran; this reference is then
    // the last, and no code of the module may run once it is given back.
    FreeLibraryAndExitThread(pin, 0);
    return 0;
}

}  // namespace detail

// Starts `work` on a thread that nobody waits for. The reference on the module is taken
// here, before the thread exists, so that no unload can fall between its start and the
// work. False with `error` when the thread could not be started (nothing runs then).
// Throws std::bad_alloc when out of memory.
inline bool startWorkerThread(std::function<void()> work, std::string& error) {
    auto launch = std::make_unique<detail::WorkerLaunch>();
    launch->work = std::move(work);
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&detail::workerEntry)), &launch->pin)) {
        const DWORD code = GetLastError();
        error = "GetModuleHandleExW failed (error " + std::to_string(code) + ")";
        return false;
    }
    ++RunningWorkers();
    HANDLE thread = CreateThread(nullptr, 0, detail::workerEntry, launch.get(), 0, nullptr);
    if (!thread) {
        const DWORD code = GetLastError();
        --RunningWorkers();
        FreeLibrary(launch->pin);
        error = "CreateThread failed (error " + std::to_string(code) + ")";
        return false;
    }
    launch.release();  // the thread's from here on
    CloseHandle(thread);
    return true;
}

}  // namespace orv::framework
