// The guard every way into the plug-in's code runs in (exports, window procedures, thread
// entries): no C++ exception ever unwinds into the IDE's frames. Win32 only.
#pragma once

#include <windows.h>

#include <exception>
#include <new>

namespace orv::framework {

// The cause of a failure as the user reads it, when the exception does not say more.
inline constexpr const char* kOutOfMemory = "内存不足。";
inline constexpr const char* kUnknownFailure = "未知错误。";

// For failures nobody needs to hear of: the IDE's notifications, messages the window
// system sends, a worker that gives up.
struct Silent {
    void operator()(const char*) const noexcept {}
};

// For failures the user must hear of: a message box under the plug-in's caption saying
// what could not be done and why. While one such box is up, later failures stay silent,
// so a window procedure that keeps failing cannot stack boxes through the box's own
// message loop.
struct TellUser {
    HWND owner = nullptr;
    const char* action = "";
    void operator()(const char* reason) const;
};

namespace detail {

template <typename OnFailure>
void noteFailure(OnFailure& onFailure, const char* reason) noexcept {
    // Telling of a failure can fail in turn (out of memory again): it then stays untold.
    try {
        onFailure(reason);
    } catch (...) {
    }
}

}  // namespace detail

// Runs `body` and returns its result; when it throws, `onFailure` is told why and
// `fallback`, the result that is safe for the caller, is returned instead.
template <typename Result, typename OnFailure, typename Body>
Result guarded(Result fallback, OnFailure&& onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        detail::noteFailure(onFailure, kOutOfMemory);
    } catch (const std::exception& e) {
        detail::noteFailure(onFailure, e.what());
    } catch (...) {
        detail::noteFailure(onFailure, kUnknownFailure);
    }
    return fallback;
}

// The same for a body that returns nothing.
template <typename OnFailure, typename Body>
void guarded(OnFailure&& onFailure, Body&& body) noexcept {
    guarded(0, onFailure, [&body] {
        body();
        return 0;
    });
}

}  // namespace orv::framework
