// Showing forms modeless and modal, and the keyboard handling of their message loops:
// menu accelerators and dialog navigation. Win32 only.
#include "framework/accelerator.h"
#include "framework/win32/form.h"
#include "framework/win32/form_state.h"
#include "framework/win32/message_box_prompter.h"
#include "text/win32/wide_text.h"

#include <algorithm>
#include <vector>

namespace orv::framework {
namespace {

// The owner as asked for and each parent above it, up to and including the first
// top-level window; only those that were enabled are disabled (and later enabled).
void disableOwners(FormState& form) {
    for (HWND window = form.requestedOwner; window; window = GetParent(window)) {
        if (IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            form.disabledOwners.push_back(window);
        }
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
    }
}

void collectMenuTexts(HMENU menu, std::vector<MenuItemText>& items) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = buffer;
        info.cch = static_cast<UINT>(std::size(buffer) - 1);
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.hSubMenu) {
            collectMenuTexts(info.hSubMenu, items);
        } else if (!(info.fType & MFT_SEPARATOR)) {
            items.push_back({static_cast<std::uint16_t>(info.wID), text::wideToUtf8(buffer)});
        }
    }
}

}  // namespace

void EnableOwners(FormState& form) {
    for (auto it = form.disabledOwners.rbegin(); it != form.disabledOwners.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
    form.disabledOwners.clear();
}

void ShowForm(HWND form, int showCommand) {
    ShowWindow(form, showCommand);
    UpdateWindow(form);
}

void FitToWorkArea(HWND form) {
    RECT window{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(form, &window) ||
        !GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const LONG width = std::min(window.right - window.left, area.right - area.left);
    const LONG height = std::min(window.bottom - window.top, area.bottom - area.top);
    const LONG x = std::clamp(window.left, area.left, area.right - width);
    const LONG y = std::clamp(window.top, area.top, area.bottom - height);
    SetWindowPos(form, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateFittedForm(const FormOptions& options, std::unique_ptr<FormHandler> handler, std::string_view failure) {
    std::string error;
    HWND form = CreateForm(options, std::move(handler), error);
    if (!form) {
        MessageBoxPrompter(options.owner).message(std::string(failure) + error, library::MessageKind::Error);
        return nullptr;
    }
    FitToWorkArea(form);
    return form;
}

bool BringFormForward(HWND form) {
    if (!form) return false;
    if (IsIconic(form)) ShowWindow(form, SW_RESTORE);
    SetForegroundWindow(form);
    return true;
}

bool CloseForReopen(HWND form) {
    if (!form || !IsWindow(form)) return true;
    SendMessageW(form, WM_CLOSE, 0, 0);
    if (!IsWindow(form)) return true;
    BringFormForward(form);
    return false;
}

ModalEnd ShowModal(HWND form, int showCommand) {
    FormState* state = FormStateOf(form);
    if (!state) return ModalEnd::Failed;
    disableOwners(*state);
    ShowForm(form, showCommand);
    while (IsWindow(form)) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The program is ending: the loop that waits for the quit must see it too.
            if (FormState* still = FormStateOf(form)) EnableOwners(*still);
            DestroyWindow(form);
            PostQuitMessage(static_cast<int>(message.wParam));
            return ModalEnd::Quit;
        }
        if (TranslateFormMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (FormState* still = FormStateOf(form)) {
        EnableOwners(*still);
        return ModalEnd::Failed;
    }
    return ModalEnd::Closed;
}

namespace {

struct BusySearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK findBusyOwned(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<BusySearch*>(lParam);
    const FormState* form = FormStateOf(window);
    const bool running = form && form->running > 0;
    if (!running && (!IsWindowVisible(window) || IsWindowEnabled(window))) return TRUE;
    for (HWND owner = GetWindow(window, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER)) {
        if (owner != search.owner) continue;
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND BusyOwnedWindow(HWND owner) {
    BusySearch search{owner};
    EnumThreadWindows(GetCurrentThreadId(), findBusyOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PostCloseRequest(HWND form) { return PostMessageW(form, WM_CLOSE, 0, 0) != FALSE; }

bool TranslateFormMessage(MSG& message) {
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    FormState* state = FormStateOf(root);
    if (!state) return false;
    if (state->accelerators && GetMenu(root) && TranslateAcceleratorW(root, state->accelerators, &message)) return true;
    return IsDialogMessageW(root, &message) != FALSE;
}

bool SetFormAccelerators(HWND form, std::string* problems) {
    FormState* state = FormStateOf(form);
    HMENU menu = state ? GetMenu(form) : nullptr;
    if (!menu) return false;
    std::vector<MenuItemText> items;
    collectMenuTexts(menu, items);
    std::vector<std::string> unread;
    const std::vector<Accelerator> table = BuildAcceleratorTable(items, &unread);
    if (problems) {
        problems->clear();
        for (const std::string& problem : unread) *problems += problem + "\n";
    }
    std::vector<ACCEL> accels;
    for (const Accelerator& a : table) accels.push_back({a.flags, a.key, a.command});
    HACCEL made = accels.empty() ? nullptr : CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));
    if (!accels.empty() && !made) return false;
    if (state->accelerators) DestroyAcceleratorTable(state->accelerators);
    state->accelerators = made;
    return true;
}

HACCEL FormAccelerators(HWND form) {
    FormState* state = FormStateOf(form);
    return state ? state->accelerators : nullptr;
}

}  // namespace orv::framework
