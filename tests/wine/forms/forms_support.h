// What the form tests share: a handler that notes what the layer called, the dpi this run
// expects, and where the journey pictures go. Win32 only.
#pragma once

#include "framework/win32/form.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv::forms_test {

// The dpi the run was started for (ORV_EXPECTED_DPI), 0 when it did not say.
int expectedDpi();

// Where a journey picture goes (ORV_JOURNEY_DIR), as a wide path.
std::wstring journeyPicture(const std::string& fileName);

// A control's rectangle in its parent's client coordinates.
RECT rectInParent(HWND control);

// Notes every call of the layer; each hook may be replaced by a test.
struct NotingHandler : framework::FormHandler {
    std::vector<std::string>* calls = nullptr;  // "layout", "created", "close", "destroy"
    LPARAM createdParameter = -1;
    int closeAnswer = 0;
    std::function<void(HWND)> whenCreated;
    std::function<void(HWND)> whenDestroyed;
    std::function<void(HWND, int)> whenCommand;

    void note(const char* what) {
        if (calls) calls->push_back(what);
    }
    void onCreated(HWND form, LPARAM parameter) override {
        note("created");
        createdParameter = parameter;
        if (whenCreated) whenCreated(form);
    }
    void onLayout(HWND, int, int) override { note("layout"); }
    void onCommand(HWND form, int id, int, HWND) override {
        note("command");
        if (whenCommand) whenCommand(form, id);
    }
    int onCloseRequest(HWND) override {
        note("close");
        return closeAnswer;
    }
    void onDestroy(HWND form) override {
        note("destroy");
        if (whenDestroyed) whenDestroyed(form);
    }
};

// A form of the test with this handler (or a plain one), hidden; the test fails when it
// cannot be made.
HWND makeForm(framework::FormOptions options, std::unique_ptr<framework::FormHandler> handler = nullptr);

// Runs the queue until `done` holds or `ms` have passed; whether it held.
bool dispatchUntil(const std::function<bool()>& done, unsigned ms = 3000);

}  // namespace orv::forms_test
