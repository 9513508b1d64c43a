// Form creation and the standard handling every form's window procedure applies before
// and around its own handler. Win32 only.
#include "framework/win32/form.h"

#include "framework/control_kinds.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/fonts.h"
#include "framework/win32/form_state.h"
#include "framework/win32/images.h"
#include "framework/win32/module_hold.h"
#include "framework/win32/module_instance.h"
#include "framework/win32/operations.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <set>

namespace orv::framework {
namespace {

LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The classes this module registered, for its unload.
std::set<std::wstring>& registeredClasses() {
    static std::set<std::wstring> classes;
    return classes;
}

bool registerFormClass(const std::wstring& className, std::string& error) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(ModuleInstance(), className.c_str(), &wc)) {
        if (wc.lpfnWndProc == formProc) return true;
        error = "窗口类 " + text::wideToUtf8(className) + " 已被其他窗口使用。";
        return false;
    }
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = formProc;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the form's state
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc)) {
        const DWORD code = GetLastError();
        error = "RegisterClassExW 失败（错误 " + std::to_string(code) + "）。";
        return false;
    }
    registeredClasses().insert(className);
    return true;
}

COLORREF colourValue(const Colour& colour, int fallbackSystemIndex) {
    if (colour.kind == ColourKind::Rgb) return colour.rgb;
    return GetSysColor(colour.kind == ColourKind::System ? colour.systemIndex : fallbackSystemIndex);
}

COLORREF backColourOf(std::uint32_t childBack, std::uint32_t formBack) {
    return colourValue(ChooseBackColour(childBack, formBack), COLOR_BTNFACE);
}

// What CreateForm hands to CreateWindowExW: the state, which the window takes over at
// WM_NCCREATE and frees at WM_NCDESTROY; until then the request owns it.
struct CreationRequest {
    std::unique_ptr<FormState> state;
    std::string failure;  // why WM_NCCREATE or WM_CREATE refused the window
    bool failureUnkept = false;  // refused, but memory ran out keeping the reason
};

void layOut(HWND hwnd, FormState& form) {
    RECT client{};
    GetClientRect(hwnd, &client);
    // Size grips keep to the lower right corner whatever the form's own layout does.
    for (auto& record : form.controls) {
        if (!(record->kindRules & kRuleLowerRightCorner)) continue;
        RECT grip{};
        GetWindowRect(record->window, &grip);
        const int w = grip.right - grip.left, h = grip.bottom - grip.top;
        SetWindowPos(record->window, nullptr, client.right - w, client.bottom - h, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    form.handler->onLayout(hwnd, client.right, client.bottom);
}

void onCreatedNotice(HWND hwnd, FormState& form) {
    if (form.createdNoticeSeen) return;
    form.createdNoticeSeen = true;
    layOut(hwnd, form);
    form.handler->onCreated(hwnd, form.createdParameter);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The background in the back colour and whatever the handler draws, composed off screen
// so that a resize does not flicker.
void paint(HWND hwnd, FormState& form) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP picture = memory ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
    HDC target = picture ? memory : dc;
    HGDIOBJ previous = picture ? SelectObject(memory, picture) : nullptr;
    HBRUSH back = CreateSolidBrush(backColourOf(form.record.backColour, kDefaultColour));
    FillRect(target, &client, back ? back : GetSysColorBrush(COLOR_BTNFACE));
    if (back) DeleteObject(back);
    guarded(Silent{}, [&] { form.handler->onPaint(hwnd, target, client); });
    if (picture) {
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(picture);
    }
    if (memory) DeleteDC(memory);
    EndPaint(hwnd, &ps);
}

// A child's text in its fore colour on its back colour (else the form's, else button
// face), with a new brush of that colour; the brush handed out before is deleted.
LRESULT colourRequest(HWND hwnd, FormState& form, UINT message, WPARAM wParam, LPARAM lParam) {
    // The system's preparation first, so that what we do not set keeps its usual look.
    DefWindowProcW(hwnd, message, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    ControlRecord* child = WindowRecords().Lookup(reinterpret_cast<HWND>(lParam));
    ControlRecord& holder = child ? *child : form.record;
    const std::uint32_t childBack = child ? child->backColour : kDefaultColour;
    if (child && !IsDefaultColour(child->foreColour))
        SetTextColor(dc, colourValue(DecodeColour(child->foreColour), COLOR_WINDOWTEXT));
    const COLORREF back = backColourOf(childBack, form.record.backColour);
    SetBkColor(dc, back);
    HBRUSH brush = CreateSolidBrush(back);
    if (!brush) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    if (holder.brush) DeleteObject(holder.brush);
    holder.brush = brush;
    return reinterpret_cast<LRESULT>(brush);
}

bool setCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    const ControlRecord* child = WindowRecords().Lookup(reinterpret_cast<HWND>(wParam));
    if (!child || !child->cursor) return false;
    SetCursor(child->cursor);
    return true;
}

// A form whose code still runs below this message, or that owns such a form, stays:
// its code would go on over a window that is gone. What it is busy with comes forward.
bool keptByRunningCode(HWND hwnd, FormState& form) {
    HWND busy = form.running > 1 ? hwnd : BusyOwnedWindow(hwnd);
    if (!busy) return false;
    SetForegroundWindow(GetLastActivePopup(busy));
    return true;
}

// While an operation runs no window goes: it may be the operation's, or own it. The
// progress window, which the operation closes itself, is the one exception.
bool keptByOperation(FormState& form) {
    if (form.closesDuringOperations || !PluginOperations().busy()) return false;
    MessageBeep(MB_ICONEXCLAMATION);
    return true;
}

void closeRequest(HWND hwnd, FormState& form) {
    if (keptByRunningCode(hwnd, form) || keptByOperation(form)) return;
    if (form.handler->onCloseRequest(hwnd) != 0) return;
    EnableOwners(form);
    DestroyWindow(hwnd);
}

// A shown and enabled push button of the form.
bool pushButton(HWND window, bool defaultOnly) {
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (lstrcmpiW(kind, L"Button") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_DEFPUSHBUTTON || (!defaultOnly && type == BS_PUSHBUTTON);
}

// The button Enter presses (the dialog keys ask for it): the push button that has the
// focus, as in any dialog, else the one drawn as the default; none when neither is.
LRESULT defaultButton(HWND hwnd) {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == hwnd && pushButton(focus, false))
        return MAKELONG(GetDlgCtrlID(focus), DC_HASDEFID);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (pushButton(child, true)) return MAKELONG(GetDlgCtrlID(child), DC_HASDEFID);
    return 0;
}

LRESULT standardHandling(HWND hwnd, FormState& form, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID:
        return defaultButton(hwnd);
    case kCreatedNotice:
        if (static_cast<UINT>(wParam) != kCreatedNotice) break;
        onCreatedNotice(hwnd, form);
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) layOut(hwnd, form);
        return 0;
    case WM_ERASEBKGND:
        // The form's own background is painted with the rest in WM_PAINT. Transparent
        // children (a flat toolbar) ask for it on their own device context.
        if (WindowFromDC(reinterpret_cast<HDC>(wParam)) != hwnd) {
            RECT area{};
            GetClipBox(reinterpret_cast<HDC>(wParam), &area);
            HBRUSH back = CreateSolidBrush(backColourOf(kDefaultColour, form.record.backColour));
            FillRect(reinterpret_cast<HDC>(wParam), &area, back ? back : GetSysColorBrush(COLOR_BTNFACE));
            if (back) DeleteObject(back);
        }
        return 1;
    case WM_PAINT:
        paint(hwnd, form);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return colourRequest(hwnd, form, message, wParam, lParam);
    case WM_SETCURSOR:
        if (setCursor(wParam, lParam)) return TRUE;
        break;
    case WM_SETFOCUS:
        if (form.record.focusChild && IsChild(hwnd, form.record.focusChild)) SetFocus(form.record.focusChild);
        return 0;
    case WM_COMMAND:
        form.handler->onCommand(hwnd, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return form.handler->onNotify(hwnd, *reinterpret_cast<NMHDR*>(lParam));
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_CLOSE) break;
        // Asked here rather than through a sent WM_CLOSE, which would count this message
        // as the form's own code running below it.
        closeRequest(hwnd, form);
        return 0;
    case WM_CLOSE:
        closeRequest(hwnd, form);
        return 0;
    case WM_DESTROY:
        // A form destroyed without a close request still gives its owners back.
        EnableOwners(form);
        form.handler->onDestroy(hwnd);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* request = static_cast<CreationRequest*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (!request || !request->state) return FALSE;
        FormState* state = request->state.release();
        state->record.window = hwnd;
        state->record.parent = hwnd;
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
        SetPropW(hwnd, kFormRecordProperty, &state->record);
        WindowRecords().Register(hwnd, &state->record);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    FormState* form = FormStateOf(hwnd);
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    // The state outlives the window while code of the form runs: a handler below a
    // nested message loop returns into it.
    ++form->running;
    struct Leave {
        FormState* form;
        ~Leave() {
            if (--form->running == 0 && form->detached) FreeFormState(form);
        }
    } leave{form};
    if (message == WM_NCDESTROY) {
        ReleaseForm(hwnd, form);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (form->handler->onMessage(hwnd, message, wParam, lParam, result)) return result;
    return standardHandling(hwnd, *form, message, wParam, lParam);
}

// A failed message answers so that what it asked for does not happen.
LRESULT refusal(UINT message) {
    if (message == WM_NCCREATE) return FALSE;
    if (message == WM_CREATE) return -1;
    return 0;
}

// The user hears of failures in what they asked for; the system's own messages fail
// silently.
struct FormFailure {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    void operator()(const char* reason) const {
        if (message == WM_NCCREATE || message == WM_CREATE) {
            // CreateForm tells its caller why no window came of it.
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            auto* request = create ? static_cast<CreationRequest*>(create->lpCreateParams) : nullptr;
            if (!request) return;
            // Keeping the reason takes memory too. Were that failure swallowed, CreateForm
            // would only see CreateWindowExW fail and blame the system for it.
            try {
                request->failure = reason;
            } catch (const std::bad_alloc&) {
                request->failureUnkept = true;
            }
            return;
        }
        const char* action = nullptr;
        if (message == WM_COMMAND || message == WM_NOTIFY) action = "命令未能完成。";
        else if (message == WM_CLOSE || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE))
            action = "无法关闭窗口。";
        else if (message == kCreatedNotice && static_cast<UINT>(wParam) == kCreatedNotice) action = "窗口未能完成启动。";
        if (action) TellUser{hwnd, action}(reason);
    }
};

LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return guarded(refusal(message), FormFailure{hwnd, message, wParam, lParam},
                   [&] { return handleMessage(hwnd, message, wParam, lParam); });
}

RECT outerRect(const FormOptions& options) {
    const DpiScale& scale = ScreenScale();
    RECT rect{0, 0, scale.ScaleX(options.width), scale.ScaleY(options.height)};
    if (options.clientSize) AdjustWindowRectEx(&rect, options.style, FALSE, options.exStyle);
    return rect;
}

void setIcons(HWND hwnd, FormState& form, const std::string& icon) {
    if (icon.empty()) return;
    form.record.largeIcon = LoadIconResource(icon, 48);
    form.record.smallIcon = LoadIconResource(icon, 32);
    if (form.record.largeIcon) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(form.record.largeIcon));
    if (form.record.smallIcon)
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(form.record.smallIcon));
}

}  // namespace

FormState* FormStateOf(HWND window) {
    if (!window || GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(formProc)) return nullptr;
    return reinterpret_cast<FormState*>(GetWindowLongPtrW(window, 0));
}

FormHandler* FormHandlerOf(HWND form) {
    FormState* state = FormStateOf(form);
    return state ? state->handler.get() : nullptr;
}

bool IsForm(HWND window) { return FormStateOf(window) != nullptr; }

HWND CreateForm(const FormOptions& options, std::unique_ptr<FormHandler> handler, std::string& error) {
    if (!handler) handler = std::make_unique<FormHandler>();
    const std::wstring className = options.className.empty() ? kGeneratedClassPrefix + options.name : options.className;
    if (!registerFormClass(className, error)) return nullptr;
    // From here until its state is freed the form holds the module (given back below
    // when no window comes of it).
    HoldModule();
    struct HoldUnlessMade {
        bool made = false;
        ~HoldUnlessMade() {
            if (!made) ReleaseModule();
        }
    } hold;

    CreationRequest request;
    request.state = std::make_unique<FormState>();
    FormState& state = *request.state;
    state.handler = std::move(handler);
    state.record.name = options.name;
    state.record.caption = options.caption;
    state.record.font = options.font;
    state.record.foreColour = options.foreColour;
    state.record.backColour = options.backColour;
    state.record.x = options.x;
    state.record.y = options.y;
    state.record.width = options.width;
    state.record.height = options.height;
    state.requestedOwner = options.owner;
    state.createdParameter = options.createdParameter;
    state.closesDuringOperations = options.closesDuringOperations;

    const DpiScale& scale = ScreenScale();
    const RECT outer = outerRect(options);
    const int x = options.x == CW_USEDEFAULT ? CW_USEDEFAULT : scale.ScaleX(options.x);
    const int y = options.y == CW_USEDEFAULT ? CW_USEDEFAULT : scale.ScaleY(options.y);
    HWND hwnd = CreateWindowExW(options.exStyle, className.c_str(), options.caption.c_str(), options.style & ~WS_VISIBLE, x, y,
                                outer.right - outer.left, outer.bottom - outer.top, options.owner, nullptr,
                                ModuleInstance(), &request);
    // Once the window took the state, the state's end gives the hold back, also when the
    // window was destroyed again during its creation.
    hold.made = !request.state;
    if (!hwnd) {
        const DWORD code = GetLastError();
        if (request.failureUnkept) error = kOutOfMemory;
        else if (!request.failure.empty()) error = request.failure;
        else error = "CreateWindowExW 失败（错误 " + std::to_string(code) + "）。";
        return nullptr;
    }
    // From here a failure takes the window back: nobody else knows of it yet.
    try {
        FormState* made = FormStateOf(hwnd);
        if (HFONT font = FontFor(options.font)) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        setIcons(hwnd, *made, options.icon);
    } catch (...) {
        DestroyWindow(hwnd);
        throw;
    }
    if (!PostMessageW(hwnd, kCreatedNotice, kCreatedNotice, options.createdParameter)) {
        const DWORD code = GetLastError();
        error = "无法投递窗口的创建通知（错误 " + std::to_string(code) + "）。";
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (options.style & WS_VISIBLE) ShowForm(hwnd);
    return hwnd;
}

void UnregisterFormClasses() {
    for (const std::wstring& name : registeredClasses()) UnregisterClassW(name.c_str(), ModuleInstance());
    registeredClasses().clear();
}

}  // namespace orv::framework
