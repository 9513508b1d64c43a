// Plays a person in front of the help window: finds its controls, clicks tabs, toolbar
// buttons, tree items, menu items and links of the page with the messages a mouse and a
// keyboard produce, and reads back what the controls and the engine show. Win32 only.
#pragma once

#include "wine/message_boxes.h"
#include "wine/user_input.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <future>
#include <map>
#include <string>
#include <vector>

namespace orv::helpwindow_test {

using wine::pumpFor;
using wine::pumpUntil;

// What a popup menu showed while it was open, and whether the chosen item was clicked.
struct MenuSeen {
    bool shown = false;
    bool chosen = false;
    std::map<int, bool> enabled;  // every item with an id, the submenu's included
    std::map<int, bool> pictured;  // whether the item shows a picture
    std::map<std::string, bool> submenuPictured;  // submenu items by their text
};

// Waits for the next popup menu of this process and clicks the item `id` in it (0:
// closes it with Escape). Runs on a thread of its own from the call on: start it before
// the click that opens the menu.
// With a picture name, the open menu's picture goes to the journeys folder first.
std::future<MenuSeen> chooseFromNextMenu(int id, unsigned timeoutMs = 5000, std::string picture = {});

// Any browser view of the plug-in's windows: its page as the engine has it, a script run
// in it (the value as text), and a real click on the middle of the element a script
// finds ("return document.querySelector('#KeyWord')"); false when none shows.
HWND engineViewOf(HWND form);  // the form's browser view, or null
std::string viewSource(HWND view);
std::wstring runViewScript(HWND view, const std::wstring& script);
void settleView(HWND view);
bool clickElement(HWND view, const std::wstring& findElement);

class HelpWindowDriver {
public:
    explicit HelpWindowDriver(HWND form);

    HWND form() const { return form_; }
    HWND tree() const { return tree_; }
    HWND list() const { return list_; }
    HWND text1() const { return text1_; }
    HWND toolbar() const { return toolbar_; }
    HWND view() const { return view_; }

    // Tree items: the child of `parent` (null: the top level) with that text, found among
    // the loaded ones; null when there is none.
    HTREEITEM child(HTREEITEM parent, const std::string& text) const;
    std::vector<std::string> childTexts(HTREEITEM parent) const;
    HTREEITEM selectedItem() const;
    std::string selectedText() const;
    // Opens each category of the path with a click on its button and returns the last
    // item; null (with a failure noted) when a step is missing.
    HTREEITEM open(const std::vector<std::string>& path);
    void click(HTREEITEM item, WPARAM keys = 0);
    // Right-clicks the item and clicks `id` in the menu that opens; what the menu showed.
    MenuSeen menuOn(HTREEITEM item, int id);

    void clickTab(int tab);
    void clickToolbar(int id);
    std::string toolbarText(int id) const;
    bool toolbarEnabled(int id) const;

    std::vector<std::string> listLines() const;
    int listSelection() const;
    std::string text1Text() const;

    // The page as the engine has it; waits until it holds `fragment` (true) or the
    // time is up (false).
    std::string pageSource() const;
    bool waitForPage(const std::string& fragment, int ms = 15000) const;
    std::wstring runScript(const std::wstring& script) const;
    // Waits until the page and its styles are in and painted: where a link is holds.
    void settle();
    // A click on the first link of the page whose text is `text` (after settling, unless
    // told the page has settled); false when none shows.
    bool clickLink(const std::wstring& text, bool settleFirst = true);

    // A picture of the window in the journeys folder.
    void picture(const std::string& fileName) const;

private:
    HWND form_, tree_, list_, text1_, toolbar_, tabs_, view_;
};

}  // namespace orv::helpwindow_test
