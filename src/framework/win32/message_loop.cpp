// Pumping and timed waits over the thread's message queue. Win32 only.
#include "framework/win32/message_loop.h"

#include "framework/win32/form.h"

#include <windows.h>

namespace orv::framework {
namespace {

// False when a quit message was met (and posted again).
bool dispatchQueued() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (TranslateFormMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace

void PumpMessages() { dispatchQueued(); }

void WaitDispatching(unsigned milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (!dispatchQueued()) return;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace orv::framework
