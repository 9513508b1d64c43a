// The window thread's message hook that gives the forms their dialog keys. Win32 only.
#include "framework/win32/form_keys.h"

#include "framework/win32/control_record.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"

#include <windows.h>

namespace orv::framework {
namespace {

HHOOK g_hook = nullptr;  // window thread only

// The window or one of its ancestors is an engine's view: the page takes its own keys.
bool insideEngineView(HWND window) {
    for (HWND at = window; at; at = GetParent(at)) {
        const ControlRecord* record = FindRecord(at);
        if (record && record->viewWindow == at) return true;
        if (GetAncestor(at, GA_ROOT) == at) break;
    }
    return false;
}

LRESULT CALLBACK keysHook(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        const bool key = message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST;
        // A key used up by the form (its focus moved, its button pressed) goes to nobody
        // else: the loop that took it dispatches an empty message.
        if (key && guarded(false, Silent{}, [&] {
                return !insideEngineView(message->hwnd) && TranslateFormMessage(*message);
            })) {
            message->message = WM_NULL;
            message->wParam = 0;
            message->lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool StartFormKeys() {
    if (g_hook) return true;
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, keysHook, nullptr, GetCurrentThreadId());
    return g_hook != nullptr;
}

void StopFormKeys() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

}  // namespace orv::framework
