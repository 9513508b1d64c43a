// The help window's page (Miniblink1): the browser control that shows the pages, kept on
// our own pages by the page guard, or a notice saying why there is none; its events,
// handed to the window after the engine's callback has returned; its own commands
// (copy, select all, the page's source in Notepad). Win32 only.
#pragma once

#include "helpwindow/window_thread.h"
#include "library/prompt.h"
#include "render/page_renderer.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace orv::framework {
class BrowserControl;
}

namespace orv::helpwindow {

class PagePane : public render::PageView {
public:
    struct Sources {
        HWND form;
        std::string ideFolder;
        // A click on a link of the page, with its address as the engine reports it.
        std::function<void(const std::string& address)> linkClicked;
        // The page asks for its context menu.
        std::function<void()> menuAsked;
    };

    PagePane();
    ~PagePane() override;
    PagePane(const PagePane&) = delete;
    PagePane& operator=(const PagePane&) = delete;

    // Makes the view, or the notice when the engine cannot give one; throws with the
    // step that failed.
    void create(Sources sources);
    bool hasView() const;
    // What takes the page's place in the layout: the view, or the notice.
    HWND window() const;

    // render::PageView
    void LoadHtml(const std::string& utf8) override;

    void copy();
    void selectAll();
    // "查看网页源码": the page as the engine has it, in HelpTemp.htm (UTF-8 with a byte-order
    // mark) beside the settings, opened in Notepad.
    void viewSource(library::Prompter& prompter);

private:
    Sources s_;
    std::unique_ptr<framework::BrowserControl> view_;
    HWND notice_ = nullptr;
    Lifetime lifetime_;
};

}  // namespace orv::helpwindow
