// Creating a form's controls from kind names, subclassing them, and the requests other
// code makes of them. Win32 only.
#include "framework/win32/controls.h"

#include "framework/win32/entry_guard.h"
#include "framework/win32/fonts.h"
#include "framework/win32/form_state.h"
#include "framework/win32/images.h"
#include "framework/win32/module_instance.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <cstring>
#include <stdexcept>

namespace orv::framework {
namespace {

// Labels, frames and lines: what the form keeps in its chain of light controls.
bool isLightKind(const ControlKind* kind) {
    if (!kind) return false;
    for (const char* light : {"LABEL", "FRAME", "LINE"})
        if (std::strcmp(kind->names[0], light) == 0) return true;
    return false;
}

// Takes the error code first: building the text may touch it.
std::string failure(const std::string& step) {
    const DWORD code = GetLastError();
    return step + " failed (error " + std::to_string(code) + ")";
}

void setImage(HWND control, ControlRecord& record, const ControlCreation& creation) {
    const UINT type = (creation.rules & kRuleIconCaption) ? IMAGE_ICON : IMAGE_BITMAP;
    HANDLE image = LoadControlImage(ParseResourceRef(text::wideToUtf8(record.caption)), type);
    // A missing picture leaves the control empty, as a missing file would in a designer.
    if (!image) return;
    record.image = image;
    record.imageType = type;
    const bool isStatic = _stricmp(creation.windowClass.c_str(), "Static") == 0;
    SendMessageW(control, isStatic ? STM_SETIMAGE : BM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
}

void finishControl(HWND control, const FormState& form, const ControlOptions& options, ControlRecord& record,
                   const ControlCreation& creation) {
    if (!(creation.rules & kRuleNoFormFont) || !options.font.empty()) {
        if (HFONT font = FontFor(options.font.empty() ? form.record.font : options.font))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (creation.rules & kRuleProgressRange) {
        SendMessageW(control, PBM_SETRANGE32, 0, 100);
        SendMessageW(control, PBM_SETPOS, 0, 0);
    }
    if (creation.rules & (kRuleBitmapCaption | kRuleIconCaption)) setImage(control, record, creation);
}

bool subclass(HWND control, const ControlOptions& options, std::string& error) {
    if (options.replaceProc) {
        SetLastError(0);
        const LONG_PTR old = SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(options.replaceProc));
        if (!old && GetLastError() != 0) return error = failure("SetWindowLongPtrW"), false;
        if (!SetPropW(control, kOldProcProperty, reinterpret_cast<HANDLE>(old))) {
            error = failure("SetPropW");
            SetWindowLongPtrW(control, GWLP_WNDPROC, old);
            return false;
        }
    } else if (options.subclassProc) {
        if (!SetWindowSubclass(control, options.subclassProc, options.subclassId, options.subclassData))
            return error = "SetWindowSubclass failed", false;
    }
    return true;
}

}  // namespace

HWND CreateControl(HWND form, const ControlOptions& options, std::string& error) {
    FormState* state = FormStateOf(form);
    if (!state) return error = "the parent of a control must be a form", nullptr;
    const ControlCreation creation = ResolveControlCreation(options.kind, options.style, options.exStyle);
    HWND parent = options.parent ? options.parent : form;
    const DpiScale& scale = ScreenScale();
    int x = scale.ScaleX(options.x), y = scale.ScaleY(options.y);
    const int width = scale.ScaleX(options.width), height = scale.ScaleY(options.height);
    if (creation.rules & kRuleLowerRightCorner) {
        RECT client{};
        GetClientRect(parent, &client);
        x = client.right - width;
        y = client.bottom - height;
    }
    // Image kinds get their picture below, as an image the record owns; as window text a
    // static would load one of its own that nobody frees.
    const bool imageKind = (creation.rules & (kRuleBitmapCaption | kRuleIconCaption)) != 0;
    const std::wstring windowClass = text::utf8ToWide(creation.windowClass);
    HWND control = CreateWindowExW(creation.exStyle, windowClass.c_str(), imageKind ? L"" : options.caption.c_str(),
                                   creation.style, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(options.id)), ModuleInstance(),
                                   options.createParam);
    if (!control) return error = failure("CreateWindowExW of " + creation.windowClass), nullptr;

    // From here a failure takes the window back: it would otherwise live without a record.
    try {
        auto made = std::make_unique<ControlRecord>();
        made->window = control;
        made->parent = form;
        made->name = options.name;
        made->index = options.index;
        made->id = options.id;
        made->caption = options.caption;
        made->font = options.font;
        made->foreColour = options.foreColour;
        made->backColour = options.backColour;
        made->kindRules = creation.rules;
        made->x = options.x;
        made->y = options.y;
        made->width = options.width;
        made->height = options.height;
        ControlRecord* record = KeepControlRecord(*state, std::move(made), isLightKind(FindControlKind(options.kind)));
        WatchControl(control);
        finishControl(control, *state, options, *record, creation);
    } catch (...) {
        DestroyWindow(control);
        throw;
    }
    if (!subclass(control, options, error)) {
        DestroyWindow(control);
        return nullptr;
    }
    return control;
}

HWND PlaceControl(HWND form, const char* kind, const wchar_t* name, int id, std::string_view caption,
                  ControlPlace place, std::uint32_t style, int index) {
    ControlOptions options;
    options.kind = kind;
    options.name = name;
    options.index = index;
    options.id = id;
    options.caption = text::utf8ToWide(caption);
    options.x = place.x;
    options.y = place.y;
    options.width = place.width;
    options.height = place.height;
    options.style = style;
    std::string error;
    HWND made = CreateControl(form, options, error);
    if (!made) throw std::runtime_error(error);
    return made;
}

LRESULT CallOldWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto old = reinterpret_cast<WNDPROC>(GetPropW(control, kOldProcProperty));
    guarded(Silent{}, [&] {
        if (message == WM_SETFOCUS) {
            if (ControlRecord* record = WindowRecords().Lookup(control))
                if (ControlRecord* form = FindRecord(record->parent)) form->focusChild = control;
        } else if (message == WM_NCDESTROY) {
            if (old) SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            RemovePropW(control, kOldProcProperty);
            ReleaseControlRecord(control);
        }
    });
    return old ? CallWindowProcW(old, control, message, wParam, lParam) : DefWindowProcW(control, message, wParam, lParam);
}

std::wstring GetControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

bool SetControlText(HWND control, const std::wstring& text) {
    if (!SetWindowTextW(control, text.c_str())) return false;
    if (ControlRecord* record = FindRecord(control)) record->caption = text;
    return true;
}

int GetCheckState(HWND control) { return static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0)); }

void SetCheckState(HWND control, int state) { SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

void EnableControl(HWND control, bool enable) { EnableWindow(control, enable ? TRUE : FALSE); }

void FocusControl(HWND control) { SetFocus(control); }

bool MoveControl(HWND control, int x, int y, int width, int height) {
    const DpiScale& scale = ScreenScale();
    if (!MoveWindow(control, scale.ScaleX(x), scale.ScaleY(y), scale.ScaleX(width), scale.ScaleY(height), TRUE))
        return false;
    if (ControlRecord* record = FindRecord(control)) {
        record->x = x;
        record->y = y;
        record->width = width;
        record->height = height;
    }
    return true;
}

bool SetControlCursor(HWND control, HCURSOR cursor, bool owned) {
    ControlRecord* record = FindRecord(control);
    if (!record) return false;
    if (record->ownsCursor && record->cursor && record->cursor != cursor) DestroyCursor(record->cursor);
    record->cursor = cursor;
    record->ownsCursor = owned;
    return true;
}

bool SetControlToolTip(HWND control, const std::wstring& text) {
    ControlRecord* record = FindRecord(control);
    if (!record) return false;
    if (!record->tooltip) {
        record->tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, record->parent, nullptr,
                                          ModuleInstance(), nullptr);
        if (!record->tooltip) return false;
    }
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = record->parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    std::wstring copy = text;
    tool.lpszText = copy.data();
    SendMessageW(record->tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return SendMessageW(record->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

}  // namespace orv::framework
