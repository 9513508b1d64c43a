// Controls of a form: created from a kind name ("BUTTON", "TEXTBOX", "mCtrl.treelist"),
// subclassed on request, and driven through small requests in 96-dpi units. Win32 only.
#pragma once

#include "framework/colour.h"
#include "framework/control_kinds.h"
#include "framework/win32/control_record.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::framework {

// Where a control whose window procedure was replaced keeps the one it replaced.
inline constexpr const wchar_t* kOldProcProperty = L"OLDWNDPROC";

struct ControlOptions {
    std::string kind;          // a kind name of the kinds table, or a window class
    std::wstring name;         // "Command1"
    int index = -1;            // in a control array of the same name
    int id = 0;
    std::wstring caption;      // image kinds: the image's resource name or "#n"
    int x = 0, y = 0, width = 0, height = 0;  // 96-dpi units
    std::uint32_t style = kDefaultStyle;      // kDefaultStyle: the kind's
    std::uint32_t exStyle = kDefaultStyle;
    HWND parent = nullptr;     // null: the form itself
    void* createParam = nullptr;
    std::string font;          // empty: the form's font (where the kind takes one)
    std::uint32_t foreColour = kDefaultColour;
    std::uint32_t backColour = kDefaultColour;
    // Subclassing. replaceProc takes the place of the window procedure (the old one is
    // kept in kOldProcProperty; end the procedure with CallOldWindowProc); otherwise
    // subclassProc is installed with SetWindowSubclass under subclassId and subclassData.
    WNDPROC replaceProc = nullptr;
    SUBCLASSPROC subclassProc = nullptr;
    UINT_PTR subclassId = 0;
    DWORD_PTR subclassData = 0;
};

// The control's window, or null with `error` naming the step that failed.
HWND CreateControl(HWND form, const ControlOptions& options, std::string& error);

// Where a control stands, in 96-dpi units.
struct ControlPlace {
    int x = 0, y = 0, width = 0, height = 0;
};
// A control made while its form is created, from the few things forms laid out by hand
// give: kind, name, id, a UTF-8 caption, its place, style and index in a control array.
// A control that cannot be made throws with the failed step, which ends the form's
// creation inside the form layer's guard.
HWND PlaceControl(HWND form, const char* kind, const wchar_t* name, int id, std::string_view caption,
                  ControlPlace place, std::uint32_t style = kDefaultStyle, int index = -1);

// What a replacing window procedure hands every message on to: the control becomes its
// form's focus child when it gets the focus, and on destruction the old procedure is
// put back, the property removed and the record freed, before the old procedure gets
// the message.
LRESULT CallOldWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Requests on a control. Sizes and positions are 96-dpi units, kept in its record.
std::wstring GetControlText(HWND control);
bool SetControlText(HWND control, const std::wstring& text);
int GetCheckState(HWND control);
void SetCheckState(HWND control, int state);
void EnableControl(HWND control, bool enable);
void FocusControl(HWND control);
bool MoveControl(HWND control, int x, int y, int width, int height);

// A cursor shown over the control; `owned` when the record is to destroy it with the
// control (not for shared system cursors).
bool SetControlCursor(HWND control, HCURSOR cursor, bool owned);
// A tooltip window (tooltips_class32) showing `text` over the control.
bool SetControlToolTip(HWND control, const std::wstring& text);

}  // namespace orv::framework
