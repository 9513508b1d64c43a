// Win32 only: the exported wke*/js* functions of the stand-in engine. Each runs inside the
// entry guard, on the thread that initialised the engine only, and answers with its
// empty result when it cannot do better.
#include "engine.h"
#include "mb_string.h"
#include "web_view.h"
#include "wine_paths.h"

#include "framework/win32/entry_guard.h"
#include "text/ascii.h"
#include "text/win32/wide_text.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

using orv::mb::Engine;
using orv::mb::JsRecord;
using orv::mb::WebView;

// Every export is declared from the interface's own list, so a definition below whose
// signature differs from it does not compile.
#define ORV_MB_DECLARE(Result, name, parameters) extern "C" __declspec(dllexport) Result WKE_CALL name parameters;
ORV_WKE_FUNCTIONS(ORV_MB_DECLARE)
#undef ORV_MB_DECLARE

namespace {

struct NoteToDebugger {
    void operator()(const char* reason) const {
        OutputDebugStringW(orv::text::utf8ToWide(std::string("mb: a call failed: ") + reason + "\n").c_str());
    }
};

// Runs an export's body on the engine's thread; any other thread gets `fallback`.
template <typename Result, typename Body>
Result onUi(Result fallback, Body&& body) {
    return orv::framework::guarded(fallback, NoteToDebugger{}, [&]() -> Result {
        if (!Engine::instance().onUiThread()) return fallback;
        return body();
    });
}

template <typename Body>
void onUi(Body&& body) {
    onUi(0, [&] {
        body();
        return 0;
    });
}

std::shared_ptr<WebView> viewOf(const void* handle) { return Engine::instance().find(handle); }

std::string utf8Of(const wchar_t* text) { return text ? orv::text::wideToUtf8(text) : std::string(); }

const wchar_t* kNoText = L"";

// The text a value reads as: strings as they are, numbers and booleans as JavaScript
// writes them, undefined and null as nothing; objects as String() gives them.
std::string textOf(jsValue value) {
    const JsRecord* record = Engine::instance().value(value);
    return record ? record->text : std::string();
}

// A value as JavaScript source, for the arguments of a call.
std::string literalOf(jsValue value) {
    const JsRecord* record = Engine::instance().value(value);
    if (!record) return "undefined";
    if (record->type == "string") return orv::mb::jsonQuoted(record->text);
    if (record->type == "number" || record->type == "boolean") return record->text;
    if (record->type == "null") return "null";
    if (!record->globalName.empty()) return "globalThis[" + orv::mb::jsonQuoted(record->globalName) + "]";
    return "undefined";
}

jsValue keepEvaluated(WebView& view, const std::string& expression) {
    JsRecord record;
    if (!view.evaluate(expression, record)) return 0;
    return Engine::instance().keepValue(std::move(record));
}

std::string percentEncoded(std::string_view text) {
    // As encodeURI: the characters with a meaning in an address stay.
    static const char kHex[] = "0123456789ABCDEF";
    static const std::string_view kKept = "-_.!~*'();/?:@&=+$,#";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || kKept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------- engine and windows

void WKE_CALL wkeInitialize() {
    orv::framework::guarded(NoteToDebugger{}, [] { Engine::instance().initialize(); });
}

wkeWebView WKE_CALL wkeCreateWebWindow(wkeWindowType type, HWND parent, int x, int y, int width, int height) {
    return onUi(wkeWebView{}, [&]() -> wkeWebView {
        // Only child controls are needed here; other kinds get a child of the desktop.
        (void)type;
        const auto view = Engine::instance().createView(parent, x, y, width, height);
        return view ? view->handle() : nullptr;
    });
}

void WKE_CALL wkeDestroyWebWindow(wkeWebView webView) {
    onUi([&] {
        if (const auto view = viewOf(webView))
            if (view->window()) DestroyWindow(view->window());
    });
}

HWND WKE_CALL wkeGetHostHWND(wkeWebView webView) {
    return onUi(HWND{}, [&] {
        const auto view = viewOf(webView);
        return view ? view->window() : nullptr;
    });
}

void WKE_CALL wkeShowWindow(wkeWebView webView, bool show) {
    onUi([&] {
        if (const auto view = viewOf(webView))
            if (view->window()) ShowWindow(view->window(), show ? SW_SHOW : SW_HIDE);
    });
}

void WKE_CALL wkeSetZoomFactor(wkeWebView webView, float factor) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->setZoom(factor);
    });
}

float WKE_CALL wkeGetZoomFactor(wkeWebView webView) {
    return onUi(1.0f, [&] {
        const auto view = viewOf(webView);
        return view ? view->zoom() : 1.0f;
    });
}

// Opening new windows is the create-view callback's business in every case.
void WKE_CALL wkeSetNavigationToNewWindowEnable(wkeWebView, bool) {}

void WKE_CALL wkeSetCspCheckEnable(wkeWebView webView, bool enable) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->setCspCheck(enable);
    });
}

// Chromium has no NPAPI plug-ins any more.
void WKE_CALL wkeSetNpapiPluginsEnabled(wkeWebView, bool) {}

void WKE_CALL wkeSetDebugConfig(wkeWebView webView, const char* key, const char* value) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->setDebugConfig(key ? key : "", value ? value : "");
    });
}

void WKE_CALL wkeSetViewSettings(wkeWebView webView, const wkeViewSettings* settings) {
    onUi([&] {
        if (const auto view = viewOf(webView))
            if (settings) view->setBackground(settings->bgColor);
    });
}

void WKE_CALL wkeSetUserAgentW(wkeWebView webView, const wchar_t* agent) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->setUserAgent(utf8Of(agent));
    });
}

// ---------------------------------------------------------------- loading

void WKE_CALL wkeLoadHTML(wkeWebView webView, const utf8* html) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->loadHtml(html ? html : "");
    });
}

void WKE_CALL wkeLoadHTMLW(wkeWebView webView, const wchar_t* html) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->loadHtml(utf8Of(html));
    });
}

void WKE_CALL wkeLoadURLW(wkeWebView webView, const wchar_t* url) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->loadUrl(utf8Of(url));
    });
}

void WKE_CALL wkeLoadFileW(wkeWebView webView, const wchar_t* path) {
    onUi([&] {
        if (!path || !*path) return;
        if (const auto view = viewOf(webView))
            view->loadUrl(orv::mb::fileUrlOfHostPath(orv::mb::hostPathOf(path)));
    });
}

void WKE_CALL wkePostURLW(wkeWebView webView, const wchar_t* url, const char* postData, int length) {
    onUi([&] {
        if (const auto view = viewOf(webView))
            view->postUrl(utf8Of(url), postData && length > 0 ? std::string(postData, static_cast<std::size_t>(length)) : std::string());
    });
}

const utf8* WKE_CALL wkeGetURL(wkeWebView webView) {
    return onUi(static_cast<const utf8*>(nullptr), [&]() -> const utf8* {
        const auto view = viewOf(webView);
        return view ? Engine::instance().keepText(orv::mb::reportedUrl(view->url())) : nullptr;
    });
}

void WKE_CALL wkeStopLoading(wkeWebView webView) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->stopLoading();
    });
}

void WKE_CALL wkeReload(wkeWebView webView) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->reload();
    });
}

const wchar_t* WKE_CALL wkeGetTitleW(wkeWebView webView) {
    return onUi(static_cast<const wchar_t*>(nullptr), [&]() -> const wchar_t* {
        const auto view = viewOf(webView);
        return view ? Engine::instance().keepText(orv::text::utf8ToWide(view->title())) : nullptr;
    });
}

const utf8* WKE_CALL wkeVersionString() {
    return orv::framework::guarded(static_cast<const utf8*>("OrvintaHelp stand-in engine"), NoteToDebugger{}, []() -> const utf8* {
        static std::string version;
        std::string browser = Engine::instance().onUiThread() ? Engine::instance().browserVersion() : std::string();
        version = "OrvintaHelp stand-in engine" + (browser.empty() ? std::string() : " over " + browser);
        return version.c_str();
    });
}

HDC WKE_CALL wkeGetViewDC(wkeWebView webView) {
    return onUi(HDC{}, [&] {
        const auto view = viewOf(webView);
        return view ? view->backBufferDc() : nullptr;
    });
}

wkeBool WKE_CALL wkeCanGoBack(wkeWebView webView) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->historyStep(-1, false) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeGoBack(wkeWebView webView) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->historyStep(-1, true) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeCanGoForward(wkeWebView webView) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->historyStep(1, false) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeGoForward(wkeWebView webView) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->historyStep(1, true) ? 1 : 0;
    });
}

// ---------------------------------------------------------------- editing

#define ORV_MB_EDITOR(name, command)                                   \
    void WKE_CALL name(wkeWebView webView) {                           \
        onUi([&] {                                                     \
            if (const auto view = viewOf(webView)) view->editorCommand(command); \
        });                                                            \
    }
ORV_MB_EDITOR(wkeEditorSelectAll, "selectAll")
ORV_MB_EDITOR(wkeEditorUnSelect, "unselect")
ORV_MB_EDITOR(wkeEditorCopy, "copy")
ORV_MB_EDITOR(wkeEditorCut, "cut")
ORV_MB_EDITOR(wkeEditorDelete, "delete")
ORV_MB_EDITOR(wkeEditorUndo, "undo")
ORV_MB_EDITOR(wkeEditorRedo, "redo")
#undef ORV_MB_EDITOR

// ---------------------------------------------------------------- cookies

const wchar_t* WKE_CALL wkeGetCookieW(wkeWebView webView) {
    return onUi(static_cast<const wchar_t*>(nullptr), [&]() -> const wchar_t* {
        const auto view = viewOf(webView);
        return view ? Engine::instance().keepText(orv::text::utf8ToWide(view->cookies())) : nullptr;
    });
}

void WKE_CALL wkeSetCookie(wkeWebView webView, const utf8* url, const utf8* cookie) {
    onUi([&] {
        if (const auto view = viewOf(webView)) view->setCookie(url ? url : "", cookie ? cookie : "");
    });
}

// ---------------------------------------------------------------- scripts

jsValue WKE_CALL wkeRunJSW(wkeWebView webView, const wchar_t* script) {
    return onUi(jsValue{0}, [&]() -> jsValue {
        const auto view = viewOf(webView);
        if (!view) return 0;
        return keepEvaluated(*view, "(function(){" + utf8Of(script) + "\n})()");
    });
}

// A view's exec state is the view itself.
jsExecState WKE_CALL wkeGlobalExec(wkeWebView webView) {
    return onUi(jsExecState{}, [&]() -> jsExecState { return viewOf(webView) ? webView : nullptr; });
}

const wchar_t* WKE_CALL jsToStringW(jsExecState, jsValue value) {
    return onUi(kNoText, [&] { return Engine::instance().keepText(orv::text::utf8ToWide(textOf(value))); });
}

const utf8* WKE_CALL jsToString(jsExecState, jsValue value) {
    return onUi(static_cast<const utf8*>(""), [&] { return Engine::instance().keepText(textOf(value)); });
}

jsValue WKE_CALL jsGetGlobal(jsExecState state, const char* name) {
    return onUi(jsValue{0}, [&]() -> jsValue {
        const auto view = viewOf(state);
        if (!view || !name) return 0;
        JsRecord record;
        if (!view->evaluate("globalThis[" + orv::mb::jsonQuoted(name) + "]", record)) return 0;
        record.globalName = name;
        return Engine::instance().keepValue(std::move(record));
    });
}

jsValue WKE_CALL jsStringW(jsExecState, const wchar_t* text) {
    return onUi(jsValue{0}, [&] { return Engine::instance().keepValue(JsRecord{"string", utf8Of(text), {}}); });
}

jsValue WKE_CALL jsString(jsExecState, const utf8* text) {
    return onUi(jsValue{0}, [&] { return Engine::instance().keepValue(JsRecord{"string", text ? text : "", {}}); });
}

jsValue WKE_CALL jsCallGlobal(jsExecState state, jsValue function, jsValue* arguments, int count) {
    return onUi(jsValue{0}, [&]() -> jsValue {
        const auto view = viewOf(state);
        const JsRecord* callee = Engine::instance().value(function);
        if (!view || !callee || callee->globalName.empty()) return 0;
        std::string call = "globalThis[" + orv::mb::jsonQuoted(callee->globalName) + "](";
        for (int i = 0; arguments && i < count; ++i) call += (i ? "," : "") + literalOf(arguments[i]);
        return keepEvaluated(*view, call + ")");
    });
}

// ---------------------------------------------------------------- frames and page facts

wkeWebFrameHandle WKE_CALL wkeWebFrameGetMainFrame(wkeWebView webView) {
    return onUi(wkeWebFrameHandle{}, [&]() -> wkeWebFrameHandle {
        const auto view = viewOf(webView);
        return view ? view->mainFrame() : nullptr;
    });
}

wkeBool WKE_CALL wkeIsMainFrame(wkeWebView webView, wkeWebFrameHandle frame) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && frame && frame == view->mainFrame() ? 1 : 0;
    });
}

const utf8* WKE_CALL wkeGetFrameUrl(wkeWebView webView, wkeWebFrameHandle frame) {
    return onUi(static_cast<const utf8*>(""), [&]() -> const utf8* {
        const auto view = viewOf(webView);
        return Engine::instance().keepText(view ? orv::mb::reportedUrl(view->frameUrl(frame)) : std::string());
    });
}

const utf8* WKE_CALL wkeUtilDecodeURLEscape(const utf8* url) {
    return onUi(static_cast<const utf8*>(""), [&] { return Engine::instance().keepText(orv::text::percentDecoded(url ? url : "")); });
}

const utf8* WKE_CALL wkeUtilEncodeURLEscape(const utf8* url) {
    return onUi(static_cast<const utf8*>(""), [&] { return Engine::instance().keepText(percentEncoded(url ? url : "")); });
}

const utf8* WKE_CALL wkeGetSource(wkeWebView webView) {
    return onUi(static_cast<const utf8*>(nullptr), [&]() -> const utf8* {
        const auto view = viewOf(webView);
        JsRecord record;
        if (!view ||
            !view->evaluate("(document.doctype?new XMLSerializer().serializeToString(document.doctype)+'\\n':'')+"
                            "(document.documentElement?document.documentElement.outerHTML:'')",
                            record))
            return nullptr;
        return Engine::instance().keepText(record.text);
    });
}

namespace {

// A page measure in the view's pixels (CSS pixels times the zoom).
int pageMeasure(wkeWebView webView, const char* expression) {
    const auto view = viewOf(webView);
    JsRecord record;
    if (!view || !view->evaluate(expression, record)) return 0;
    return static_cast<int>(std::atof(record.text.c_str()) * view->zoom() + 0.5);
}

}  // namespace

int WKE_CALL wkeGetContentWidth(wkeWebView webView) {
    return onUi(0, [&] { return pageMeasure(webView, "document.documentElement?document.documentElement.scrollWidth:0"); });
}

int WKE_CALL wkeGetContentHeight(wkeWebView webView) {
    return onUi(0, [&] { return pageMeasure(webView, "document.documentElement?document.documentElement.scrollHeight:0"); });
}

wkeRect WKE_CALL wkeGetCaretRect(wkeWebView webView) {
    return onUi(wkeRect{0, 0, 0, 0}, [&] {
        wkeRect rect{0, 0, 0, 0};
        const auto view = viewOf(webView);
        JsRecord record;
        if (!view || !view->evaluate("(function(){var s=getSelection();if(!s.rangeCount)return '';"
                                     "var r=s.getRangeAt(0).getBoundingClientRect();"
                                     "return [r.left,r.top,r.width,r.height].map(Math.round).join(',');})()",
                                     record))
            return rect;
        int* fields[] = {&rect.x, &rect.y, &rect.w, &rect.h};
        const char* at = record.text.c_str();
        for (int* field : fields) {
            if (!*at) break;
            *field = static_cast<int>(std::atof(at) * view->zoom());
            const char* comma = std::strchr(at, ',');
            at = comma ? comma + 1 : "";
        }
        return rect;
    });
}

// ---------------------------------------------------------------- input

wkeBool WKE_CALL wkeFireMouseEvent(wkeWebView webView, unsigned int message, int x, int y, unsigned int flags) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->fireMouse(message, x, y, flags) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeFireMouseWheelEvent(wkeWebView webView, int x, int y, int delta, unsigned int flags) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->fireWheel(x, y, delta, flags) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeFireKeyDownEvent(wkeWebView webView, unsigned int virtualKey, unsigned int flags, bool) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->fireKey("rawKeyDown", virtualKey, flags, (flags & WKE_REPEAT) != 0) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeFireKeyUpEvent(wkeWebView webView, unsigned int virtualKey, unsigned int flags, bool) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->fireKey("keyUp", virtualKey, flags, false) ? 1 : 0;
    });
}

wkeBool WKE_CALL wkeFireKeyPressEvent(wkeWebView webView, unsigned int charCode, unsigned int flags, bool) {
    return onUi(0, [&] {
        const auto view = viewOf(webView);
        return view && view->fireChar(charCode, flags) ? 1 : 0;
    });
}

void WKE_CALL wkeSetFocus(wkeWebView webView) {
    onUi([&] {
        if (const auto view = viewOf(webView))
            if (view->window()) SetFocus(view->window());
    });
}

// ---------------------------------------------------------------- strings and jobs

const wchar_t* WKE_CALL wkeGetStringW(const wkeString string) {
    return orv::framework::guarded(kNoText, NoteToDebugger{}, [&] { return string ? string->wide.c_str() : kNoText; });
}

const utf8* WKE_CALL wkeGetString(const wkeString string) {
    return orv::framework::guarded(static_cast<const utf8*>(""), NoteToDebugger{}, [&]() -> const utf8* {
        if (!string) return "";
        string->utf8 = orv::text::wideToUtf8(string->wide);
        return string->utf8.c_str();
    });
}

void WKE_CALL wkeSetStringW(wkeString string, const wchar_t* text, std::size_t length) {
    orv::framework::guarded(NoteToDebugger{}, [&] {
        if (!string) return;
        if (!text) {
            string->wide.clear();
            return;
        }
        string->wide.assign(text, length ? length : std::wcslen(text));
    });
}

#ifndef ORV_MB_WITHOUT_NET_CANCEL
void WKE_CALL wkeNetCancelRequest(wkeNetJob job) {
    onUi([&] { Engine::instance().cancelJob(job); });
}
#endif

// ---------------------------------------------------------------- event registrations

#define ORV_MB_REGISTRATION(registration, Callback)                                                     \
    extern "C" __declspec(dllexport) void WKE_CALL registration(wkeWebView webView, Callback callback, void* param) { \
        onUi([&] {                                                                                      \
            if (const auto view = viewOf(webView)) {                                                    \
                view->on.registration.callback = callback;                                              \
                view->on.registration.param = param;                                                    \
            }                                                                                           \
        });                                                                                             \
    }
ORV_WKE_EVENTS(ORV_MB_REGISTRATION)
#undef ORV_MB_REGISTRATION

// ---------------------------------------------------------------- the module

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process end (reserved set) the other threads are gone; one last Browser.close is
    // all we do. Chromium's wrapper ends it anyway once our end of its pipe closes.
    if (reason == DLL_PROCESS_DETACH && reserved)
        orv::framework::guarded(orv::framework::Silent{}, [] { Engine::instance().closeAtExit(); });
    return TRUE;
}
