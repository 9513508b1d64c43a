// The divider between the panes and the page (Picture1): dragged with the mouse, its
// place kept in the setting "Dividing". Win32 only.
#pragma once

#include "library/settings_store.h"

#include <windows.h>

#include <functional>

namespace orv::helpwindow {

class DividerControl {
public:
    struct Sources {
        HWND form;
        library::SettingsStore* store;  // null without an IDE folder: the place is not kept
        std::function<void()> placed;   // after a drag, the window lays itself out again
    };

    DividerControl() = default;
    ~DividerControl();
    DividerControl(const DividerControl&) = delete;
    DividerControl& operator=(const DividerControl&) = delete;

    // Makes the control; throws with the step that failed. `dividing` is where it starts.
    void create(Sources sources, int dividing);
    HWND window() const { return window_; }
    // Where it stands, in 96-dpi units; the window's layout may move it back in.
    int dividing() const { return dividing_; }
    void setDividing(int dividing) { dividing_ = dividing; }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void setColour(int systemColour);

    Sources s_{};
    HWND window_ = nullptr;
    int dividing_ = 0;
    bool dragging_ = false;
};

}  // namespace orv::helpwindow
