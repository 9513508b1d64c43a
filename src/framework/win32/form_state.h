// What a form keeps beside its record: its handler, the records of its controls and its
// modal and accelerator state. Shared by the form and control parts of the layer only.
// Win32 only.
#pragma once

#include "framework/win32/control_record.h"
#include "framework/win32/form.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace orv::framework {

struct FormState {
    ControlRecord record;                                  // the form's own, behind its property
    std::unique_ptr<FormHandler> handler;
    std::vector<std::unique_ptr<ControlRecord>> controls;  // every control's record
    ControlRecord* lastLight = nullptr;                    // end of the light controls' chain
    HWND requestedOwner = nullptr;                         // as passed: possibly a child window
    std::vector<HWND> disabledOwners;                      // by a modal showing, to enable again
    HACCEL accelerators = nullptr;
    LPARAM createdParameter = 0;
    bool createdNoticeSeen = false;
    // Messages of the form being handled now, nested ones counted: while one runs, code
    // of the form is below, and the state stays until the last returns.
    int running = 0;
    bool detached = false;  // the window is gone; the state goes when nothing runs
    bool closesDuringOperations = false;
};

// The state behind a form's extra window word; null for any other window.
FormState* FormStateOf(HWND window);

// Takes a control's record over into its form: registered in the table and, for a light
// control, linked into the form's chain.
ControlRecord* KeepControlRecord(FormState& form, std::unique_ptr<ControlRecord> record, bool light);

// Follows a control of the form so that it becomes the form's focus child when it gets
// the focus and frees its record when it is destroyed. False when the window cannot be
// followed (a window of another thread); its record then goes with the form.
bool WatchControl(HWND control);

// Frees the record of a control that is being destroyed before its form. Nothing for a
// window without one.
void ReleaseControlRecord(HWND control);

// Frees every record of a form that is being destroyed. The form's window word is cleared
// first, so no later message finds it; the state with its handler stays for the code of
// the form still running (FreeFormState).
void ReleaseForm(HWND form, FormState* state);
// Frees a detached form's state with its handler, and gives back the form's hold on the
// module. For when its last running message has returned.
void FreeFormState(FormState* state);

// Enables again what a modal showing of the form disabled, last disabled first.
void EnableOwners(FormState& form);

}  // namespace orv::framework
