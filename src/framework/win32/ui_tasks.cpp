// The window thread's task queue and its message-only window. Win32 only.
#include "framework/win32/ui_tasks.h"

#include "framework/win32/entry_guard.h"
#include "framework/win32/module_instance.h"

#include <windows.h>

#include <deque>
#include <mutex>
#include <utility>

namespace orv::framework {
namespace {

constexpr const wchar_t* kTasksClass = L"OrvintaHelp_UiTasks";

UINT wakeMessage() {
    static const UINT message = RegisterWindowMessageW(L"OrvintaHelp.UiTasks");
    return message;
}

struct Queue {
    std::mutex mutex;
    std::deque<UiTask> tasks;
    HWND window = nullptr;  // read by posting threads under the mutex
    bool woken = false;     // a wake message is on its way
};

Queue& queue() {
    static Queue q;
    return q;
}

std::deque<UiTask> takeAll() {
    Queue& q = queue();
    std::lock_guard lock(q.mutex);
    q.woken = false;
    return std::exchange(q.tasks, {});
}

LRESULT CALLBACK tasksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded(LRESULT{0}, Silent{}, [&]() -> LRESULT {
        if (message == wakeMessage() && message != 0) {
            RunUiTasks();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

bool registerClass(std::string& error) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(ModuleInstance(), kTasksClass, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = tasksProc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = kTasksClass;
    if (RegisterClassExW(&wc)) return true;
    error = "RegisterClassExW 失败（错误 " + std::to_string(GetLastError()) + "）。";
    return false;
}

}  // namespace

bool StartUiTasks(std::string& error) {
    Queue& q = queue();
    {
        std::lock_guard lock(q.mutex);
        if (q.window && IsWindow(q.window)) return true;
    }
    if (!wakeMessage()) {
        error = "RegisterWindowMessageW 失败（错误 " + std::to_string(GetLastError()) + "）。";
        return false;
    }
    if (!registerClass(error)) return false;
    HWND window = CreateWindowExW(0, kTasksClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), nullptr);
    if (!window) {
        error = "CreateWindowExW 失败（错误 " + std::to_string(GetLastError()) + "）。";
        return false;
    }
    std::lock_guard lock(q.mutex);
    q.window = window;
    q.woken = false;
    if (!q.tasks.empty()) q.woken = PostMessageW(window, wakeMessage(), 0, 0) != FALSE;
    return true;
}

bool PostUiTask(UiTask task) {
    Queue& q = queue();
    std::unique_lock lock(q.mutex);
    if (!q.window) return false;  // the task goes with this frame, on this thread
    q.tasks.push_back(std::move(task));
    // One wake message for any number of tasks; one that cannot be posted now is tried
    // again by the next task.
    if (!q.woken) q.woken = PostMessageW(q.window, wakeMessage(), 0, 0) != FALSE;
    return true;
}

void RunUiTasks() {
    for (UiTask& task : takeAll()) guarded(Silent{}, [&] { task(); });
}

void StopUiTasks() {
    Queue& q = queue();
    HWND window = nullptr;
    std::deque<UiTask> dropped;
    {
        std::lock_guard lock(q.mutex);
        window = std::exchange(q.window, nullptr);
        dropped = std::exchange(q.tasks, {});
        q.woken = false;
    }
    if (window) DestroyWindow(window);
    dropped.clear();  // outside the lock: a task's captures may take time to go
}

void UnregisterUiTasksClass() { UnregisterClassW(kTasksClass, ModuleInstance()); }

}  // namespace orv::framework
