// The browser control: one web view of the engine inside a form, with the operations the
// windows use and the engine's callbacks delivered to handlers by event name. Without a
// view (no engine, or one too old) every operation does nothing and gives its empty
// result. Used on the user-interface thread only. Win32 only.
#pragma once

#include "framework/win32/engine_binding.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::framework {

struct ControlRecord;

// What an event handler receives: the form, the view window and the web view, then the
// event's own arguments. Texts are copies, alive during the call. Numbers and engine
// handles the event passes through are in `values`, in the engine's order.
struct BrowserEvent {
    HWND form = nullptr;
    HWND viewWindow = nullptr;
    wkeWebView webView = nullptr;
    std::wstring text;   // title, address or message
    std::wstring text2;  // prompt: the default answer; download: the MIME type; console: the source
    std::wstring text3;  // download: the disposition; loading finished: the failure; console: the stack
    std::intptr_t values[6] = {};
    // A prompt's answer: the handler sets it to answer with a text.
    std::optional<std::wstring> answer;
};

// The result goes back to the engine where the event takes one: the view to use for
// "CREATEVIEW", 0 to cancel a "NAVIGATION" (a failing handler cancels), non-zero to refuse
// a "LOADURLBEGIN" request (the control cancels it; a failing handler refuses), 0 to keep
// a closing window for "WINDOWCLOSING", ...
using BrowserEventHandler = std::function<std::intptr_t(BrowserEvent&)>;

// The events SetEvent knows, in upper case.
std::vector<std::string> BrowserEventNames();

class BrowserControl {
public:
    // Creates the view in `form` at the position and size given in 96-dpi units; the
    // view window gets a control record under `name` and `id`, released with the form.
    BrowserControl(HWND form, int id, const std::wstring& name, int x, int y, int width, int height);
    // Takes the callbacks back and closes the view while its window still exists.
    ~BrowserControl();
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;

    bool HasView() const { return view_ != nullptr; }
    HWND Parent() const { return parent_; }
    HWND ViewWindow() const { return viewWindow_; }
    wkeWebView WebView() const { return view_; }
    int Id() const { return id_; }
    // The view window's control record (found by walking the form's records for the
    // control's id); null without a view.
    ControlRecord* Record() const;

    // Registers `handler` for an event of the table; false (nothing registered) for an
    // unknown name or without a view.
    bool SetEvent(std::string_view eventName, BrowserEventHandler handler);

    // Loading. Empty text loads the empty document.
    void LoadHtml(const std::string& utf8);
    void LoadHtmlW(const std::wstring& html);
    void LoadUrl(const std::wstring& url);
    bool LoadFile(const std::wstring& path);
    void PostUrl(const std::wstring& url, const std::string& body);
    std::wstring Url() const;
    void Stop();
    void Reload();
    std::wstring Title() const;
    std::wstring Version() const;
    HDC ViewDC() const;
    bool CanGoBack() const;
    bool GoBack();
    bool CanGoForward() const;
    bool GoForward();

    // Editing commands on the page's selection.
    void SelectAll();
    void Unselect();
    void Copy();
    void Cut();
    void Delete();
    void Undo();
    void Redo();

    std::wstring Cookie() const;
    void SetCookie(const std::string& url, const std::string& cookie);

    // Script: the engine's value handle; the value as text; an element's value; a
    // global function called with up to 8 string arguments (stopping at the first empty).
    jsValue RunJs(const std::wstring& script);
    std::wstring RunJsText(const std::wstring& script);
    std::wstring ElementValue(const std::wstring& expression);
    std::wstring CallGlobal(const std::string& function, const std::vector<std::wstring>& args);
    std::string CallGlobal8(const std::string& function, const std::vector<std::string>& args);

    void SetZoom(float factor);
    float Zoom() const;
    wkeWebFrameHandle MainFrame() const;
    bool IsMainFrame(wkeWebFrameHandle frame) const;
    std::wstring FrameUrl(wkeWebFrameHandle frame) const;
    void SetUserAgent(const std::wstring& agent);
    std::wstring DecodeUrlEscape(const std::wstring& url) const;
    std::wstring EncodeUrlEscape(const std::wstring& url) const;
    std::string Source() const;
    int ContentWidth() const;
    int ContentHeight() const;
    // The page's background (a colour value of the form layer), kept in the record too.
    void SetBackColour(std::uint32_t colourValue);

    bool FireMouse(unsigned message, int x, int y, unsigned flags);
    bool FireMouseWheel(int x, int y, int delta, unsigned flags);
    bool FireKeyDown(unsigned virtualKey, unsigned flags, bool systemKey);
    bool FireKeyUp(unsigned virtualKey, unsigned flags, bool systemKey);
    bool FireKeyPress(unsigned charCode, unsigned flags, bool systemKey);
    void Focus();
    wkeRect CaretRect() const;

    // Slots 0 to 99 of the view's record; others read 0 and write nothing.
    std::intptr_t UserData(int slot) const;
    bool SetUserData(int slot, std::intptr_t value);

    struct Registration;

private:
    const EngineFunctions* engine_ = nullptr;
    HWND parent_ = nullptr;
    HWND viewWindow_ = nullptr;
    wkeWebView view_ = nullptr;
    int id_ = 0;
    std::vector<std::unique_ptr<Registration>> registrations_;
};

}  // namespace orv::framework
