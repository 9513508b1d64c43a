// Forms: top-level windows of the window layer with a record of their own, the standard
// handling every form shares, and the handler through which each window adds its own.
// Win32 only.
#pragma once

#include "framework/colour.h"
#include "framework/win32/control_record.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace orv::framework {

// Posted to a form at the end of its creation, with the same value as first parameter.
inline constexpr UINT kCreatedNotice = 0x1000;
// The window classes a form registers when it names none begin with this.
inline constexpr const wchar_t* kGeneratedClassPrefix = L"ORVWindowClass";
// The icon resource of forms that name none.
inline constexpr const char* kAppIcon = "AAAAA_APPICON";

// What one window adds to the standard handling. Every call runs inside the layer's
// guard: an exception ends that message, never the IDE.
class FormHandler {
public:
    virtual ~FormHandler() = default;
    // Sees every message first (after creation, before destruction); true when it has
    // answered it, with the answer in `result`.
    virtual bool onMessage(HWND form, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }
    // Once, on the created notice, after the first layout; `parameter` is the one the
    // form was created with.
    virtual void onCreated(HWND form, LPARAM parameter) {}
    // On the created notice and every size change; the client size in pixels.
    virtual void onLayout(HWND form, int clientWidth, int clientHeight) {}
    virtual void onCommand(HWND form, int id, int code, HWND control) {}
    virtual LRESULT onNotify(HWND form, NMHDR& header) { return 0; }
    // After the background is filled, on the off-screen picture of the client area.
    virtual void onPaint(HWND form, HDC dc, const RECT& client) {}
    // A close request: non-zero keeps the form open.
    virtual int onCloseRequest(HWND form) { return 0; }
    // The form is going; its controls still exist.
    virtual void onDestroy(HWND form) {}
};

struct FormOptions {
    std::wstring name;       // the form's name, kept in its record ("Form1")
    std::wstring className;  // empty: kGeneratedClassPrefix followed by the name
    std::wstring caption;
    HWND owner = nullptr;    // may be a child window: a modal form disables its whole chain
    // In 96-dpi units; x or y CW_USEDEFAULT leaves the place to the system.
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = 400, height = 300;
    bool clientSize = false;  // width and height are of the client area
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    std::string font;         // the controls' font text; empty is SimSun 9
    std::uint32_t foreColour = kDefaultColour;
    std::uint32_t backColour = kDefaultColour;
    std::string icon = kAppIcon;  // icon resource: 48-pixel large and 32-pixel small icon
    LPARAM createdParameter = 0;  // handed to onCreated
    // Closed while a long operation runs, unlike every other form: the operation's own
    // progress window.
    bool closesDuringOperations = false;
};

// Creates the form and posts its created notice; the handler is the form's from here on
// (also when creation fails) and is deleted with it. Null with `error` saying which step
// failed.
HWND CreateForm(const FormOptions& options, std::unique_ptr<FormHandler> handler, std::string& error);

// The handler of a form made by CreateForm, else null.
FormHandler* FormHandlerOf(HWND form);
// Whether the window is a form of the layer.
bool IsForm(HWND window);

// Modeless: shown, and back at once.
void ShowForm(HWND form, int showCommand = SW_SHOWNORMAL);

// Keeps a form that is not shown yet inside the work area of its monitor: one larger
// than the area (a large form on a small or zoomed screen) is made as large as the area,
// and one reaching over an edge is moved back in.
void FitToWorkArea(HWND form);

// A window a command opens: created, fitted into its monitor's work area, not shown yet.
// When it cannot be made the user is told over the owner, `failure` ("无法打开同步窗口：")
// followed by the step that failed; null then.
HWND CreateFittedForm(const FormOptions& options, std::unique_ptr<FormHandler> handler, std::string_view failure);

// A window of which one is open at a time, asked for again: brought to the front (and
// restored when minimised). False when there is none to bring, so the caller opens it.
bool BringFormForward(HWND form);
// The same window asked for again on other content: the open one is asked to close as
// its close box would ask (its own question about unsaved changes included). True when
// it is gone, or there was none, so that the caller opens the new one; false when it
// stays (the user kept it, or it is busy), brought to the front.
bool CloseForReopen(HWND form);

enum class ModalEnd { Closed, Quit, Failed };
// Modal: the owner chain is disabled, the form shown, and messages are dispatched until
// the form is gone (Closed) or a quit message arrives (Quit: the quit is posted again
// and the form destroyed). The owners are enabled again before the form is destroyed,
// so the focus goes back to them.
ModalEnd ShowModal(HWND form, int showCommand = SW_SHOWNORMAL);

// A window of this thread owned by `owner` (directly or through other owned windows)
// that is busy: a form whose code is running (below a nested message loop), or a window
// shown but disabled, as a window is while its progress window, a message box or a modal
// window of its own runs a nested message loop. Null when there is none. A window that
// owns such a window must not go while it lasts: the busy window's code is still running
// below the loop. A form that is busy itself, or owns a busy window, refuses close
// requests.
HWND BusyOwnedWindow(HWND owner);

// Posts a close request (WM_CLOSE) to a form.
bool PostCloseRequest(HWND form);

// Accelerators of the form's menu and dialog navigation for a message taken from the
// queue; true when the message was used up. For message loops of forms shown modeless.
bool TranslateFormMessage(MSG& message);

// Builds the form's accelerator table from the shortcuts written in its menu's item
// texts ("保存\tCtrl+S"). Shortcuts that cannot be read are left out and named in
// `problems`. False when the form has no menu or the table cannot be made.
bool SetFormAccelerators(HWND form, std::string* problems = nullptr);
// The form's accelerator table (owned by the form), or null.
HACCEL FormAccelerators(HWND form);

// Unregisters the window classes forms registered in this module. For the module's
// unload, once its windows are gone.
void UnregisterFormClasses();

}  // namespace orv::framework
