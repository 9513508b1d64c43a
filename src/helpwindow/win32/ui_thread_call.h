// Carrying a control's calls over to the thread that owns its window: the core's workers
// fill the contents tree and the result list, and only that thread may touch them. Win32 only.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace orv::helpwindow {

// The message a subclassed control answers by running the call its last parameter
// points to. Registered, so that it cannot meet a message of the control's own class.
inline UINT uiThreadCallMessage() {
    static const UINT message = RegisterWindowMessageW(L"OrvintaHelp.UiThreadCall");
    return message;
}

namespace detail {

struct UiThreadCall {
    std::function<void()> body;
    std::exception_ptr failure;
};

}  // namespace detail

// Runs `body` on the thread of `window` and returns its result. On that thread it runs at
// once; from another it is sent there, and waits until that thread takes its messages (a
// user-interface thread waiting for workers pumps, so the wait ends). What `body` throws
// is thrown again here. When the window is gone, nothing runs and `fallback` comes back.
template <typename Body>
std::invoke_result_t<Body&> runOnWindowThread(HWND window, Body&& body, std::invoke_result_t<Body&> fallback = {}) {
    if (!window) return fallback;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return body();
    detail::UiThreadCall call;
    call.body = [&] { fallback = body(); };
    SendMessageW(window, uiThreadCallMessage(), 0, reinterpret_cast<LPARAM>(&call));
    if (call.failure) std::rethrow_exception(call.failure);
    return fallback;
}

// The same for a body that returns nothing; false when the window was gone.
template <typename Body>
bool runOnWindowThreadVoid(HWND window, Body&& body) {
    return runOnWindowThread(window, [&] {
        body();
        return true;
    }, false);
}

// For the control's subclass procedure: true when the message was such a call (now run).
// The call's failure goes back to the thread that asked, never into the window system.
inline bool answerWindowThreadCall(UINT message, LPARAM lParam) {
    if (message != uiThreadCallMessage() || !lParam) return false;
    auto* call = reinterpret_cast<detail::UiThreadCall*>(lParam);
    try {
        call->body();
    } catch (...) {
        call->failure = std::current_exception();
    }
    return true;
}

}  // namespace orv::helpwindow
