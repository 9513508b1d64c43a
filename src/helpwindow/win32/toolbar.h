// The help window's toolbar (ToolBar1): its buttons with their icons and texts, the
// sync button's count, and the buttons the tree's selection and the history enable.
// Win32 only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace orv::helpwindow {

class Toolbar {
public:
    Toolbar() = default;
    ~Toolbar();
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    // Makes the control on `form` with every button; throws with the step that failed.
    void create(HWND form, const char* font);
    HWND window() const { return window_; }

    void setText(int id, const std::string& text);
    void enable(int id, bool enabled);
    // The button's place on the screen.
    RECT buttonRect(int id) const;
    // Answers the tooltip's request for a button's text: the button's own text, as it
    // reads now (the sync button's count included). False for any other notification.
    bool answerTooltip(NMHDR& header);

private:
    HWND window_ = nullptr;
    HIMAGELIST images_ = nullptr;
    std::vector<std::wstring> texts_;  // the buttons point into these
    std::wstring tip_;                 // the tooltip points into this while it shows
};

}  // namespace orv::helpwindow
