// The records a form owns: its controls' records, kept, looked up and freed with the
// form or with the control that goes first. Win32 only.
#include "framework/win32/form_state.h"

#include "framework/win32/entry_guard.h"
#include "framework/win32/module_hold.h"

#include <commctrl.h>

#include <algorithm>

namespace orv::framework {
namespace {

// Our own subclass id on every control the layer follows; a control's own subclass
// (another id) sits beside it.
constexpr UINT_PTR kRecordSubclassId = 0x4F525643;  // "ORVC"

LRESULT CALLBACK recordSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR) {
    guarded(Silent{}, [&] {
        if (message == WM_SETFOCUS) {
            if (ControlRecord* record = WindowRecords().Lookup(control))
                if (ControlRecord* form = FindRecord(record->parent)) form->focusChild = control;
        } else if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(control, recordSubclassProc, id);
            ReleaseControlRecord(control);
        }
    });
    return DefSubclassProc(control, message, wParam, lParam);
}

void unlinkLight(FormState& form, ControlRecord* record) {
    ControlRecord* previous = &form.record;
    while (previous->next && previous->next != record) previous = previous->next;
    if (previous->next != record) return;
    previous->next = record->next;
    if (form.lastLight == record) form.lastLight = previous == &form.record ? nullptr : previous;
}

}  // namespace

ControlRecord* KeepControlRecord(FormState& form, std::unique_ptr<ControlRecord> record, bool light) {
    form.controls.reserve(form.controls.size() + 1);  // nothing below may throw once it is in the table
    ControlRecord* kept = record.get();
    WindowRecords().Register(kept->window, kept);
    form.controls.push_back(std::move(record));
    if (light) {
        (form.lastLight ? form.lastLight->next : form.record.next) = kept;
        form.lastLight = kept;
    }
    return kept;
}

bool WatchControl(HWND control) { return SetWindowSubclass(control, recordSubclassProc, kRecordSubclassId, 0) != FALSE; }

void ReleaseControlRecord(HWND control) {
    ControlRecord* record = WindowRecords().Lookup(control);
    if (!record) return;
    FormState* form = FormStateOf(record->parent);
    if (!form) return;  // a form's own record goes with the form
    const auto owned = std::find_if(form->controls.begin(), form->controls.end(),
                                    [record](const std::unique_ptr<ControlRecord>& r) { return r.get() == record; });
    if (owned == form->controls.end()) return;
    unlinkLight(*form, record);
    if (form->record.focusChild == control) form->record.focusChild = nullptr;
    ReleaseRecordResources(*record);
    form->controls.erase(owned);
}

void ReleaseForm(HWND form, FormState* state) {
    SetWindowLongPtrW(form, 0, 0);
    RemovePropW(form, kFormRecordProperty);
    if (!state) return;
    state->detached = true;
    for (auto& record : state->controls) ReleaseRecordResources(*record);
    state->controls.clear();
    ReleaseRecordResources(state->record);
    if (state->accelerators) DestroyAcceleratorTable(state->accelerators);
    state->accelerators = nullptr;
}

void FreeFormState(FormState* state) {
    delete state;
    ReleaseModule();
}

ControlRecord* FindChildRecord(HWND form, int id) {
    FormState* state = FormStateOf(form);
    if (!state) return nullptr;
    for (auto& record : state->controls)
        if (record->id == id) return record.get();
    return nullptr;
}

ControlRecord* AdoptChildWindow(HWND form, HWND child, std::wstring name, int id, int x, int y, int width,
                                int height) {
    FormState* state = FormStateOf(form);
    if (!state || !IsWindow(child)) return nullptr;
    auto record = std::make_unique<ControlRecord>();
    record->window = child;
    record->parent = form;
    record->name = std::move(name);
    record->id = id;
    record->x = x;
    record->y = y;
    record->width = width;
    record->height = height;
    ControlRecord* kept = KeepControlRecord(*state, std::move(record), false);
    WatchControl(child);
    return kept;
}

}  // namespace orv::framework
