// The record every form and control of the window layer carries, and how a window's
// record is found from its handle. Win32 only.
#pragma once

#include "framework/colour.h"
#include "framework/user_data.h"
#include "framework/win32/record_table.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace orv::framework {

// The window property through which a form carries its own record.
inline constexpr const wchar_t* kFormRecordProperty = L"FCP_TYPE_PTR";

// One per form and per control. A form's records are owned by the form (its own and
// those of all its controls) and freed when it is destroyed; a control destroyed on
// its own frees its record then. Nobody else deletes one.
struct ControlRecord {
    HWND window = nullptr;  // the form or control itself
    HWND parent = nullptr;  // the form the control belongs to (a form: itself)
    std::wstring name;      // "Command1"; a form's name ("Form制作")
    int index = -1;         // index in a control array of the same name, -1 outside one
    int id = 0;             // the child window id
    HWND focusChild = nullptr;  // a form: the child that last had the focus
    HICON largeIcon = nullptr;  // a form's icons, owned by the record
    HICON smallIcon = nullptr;
    std::wstring caption;
    unsigned flags = 0;         // light controls: alignment, border and style bits
    UserData userData;
    std::uint32_t foreColour = kDefaultColour;
    std::uint32_t backColour = kDefaultColour;
    HBRUSH brush = nullptr;     // the last background brush handed out for it
    std::string font;           // font text ("Microsoft YaHei,9,0"); the font itself is shared
    HWND tooltip = nullptr;     // owned
    HCURSOR cursor = nullptr;
    bool ownsCursor = false;    // a cursor of its own, not a shared system one
    HANDLE image = nullptr;     // the picture of an image label or button, owned
    UINT imageType = 0;         // IMAGE_ICON or IMAGE_BITMAP
    unsigned kindRules = 0;     // the ControlRule bits of the control's kind
    int x = 0, y = 0, width = 0, height = 0;  // 96-dpi units
    ControlRecord* next = nullptr;  // next light control of the form (a form: the first)
    HWND viewWindow = nullptr;      // the browser control's engine view
    void* webView = nullptr;        // the browser control's engine handle
};

// The one window-to-record table.
RecordTable& WindowRecords();

// A form's record comes from its property, anything else's from the table; null for a
// window the layer does not know.
ControlRecord* FindRecord(HWND window);

// User-data slots 0 to 99 of a window's record; other slots, and windows without a
// record, read 0 and write nothing.
std::intptr_t GetUserData(HWND window, int slot);
bool SetUserData(HWND window, int slot, std::intptr_t value);

// The record of the form's control with this id, or null.
ControlRecord* FindChildRecord(HWND form, int id);

// A record for a child window someone else created on the form (the browser engine's
// view), registered in the table and freed with the form or when the child goes
// first. Position and size are 96-dpi units. Null when `form` is not a form or the
// child is not a window.
ControlRecord* AdoptChildWindow(HWND form, HWND child, std::wstring name, int id, int x, int y, int width,
                                int height);

// Gives back what a record owns (icons, brush, tooltip, own cursor, image) and forgets
// its window in the table. The record itself stays its owner's to delete.
void ReleaseRecordResources(ControlRecord& record);

}  // namespace orv::framework
