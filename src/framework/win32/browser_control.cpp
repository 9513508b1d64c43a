// The browser control's creation, operations and event table. Every engine callback
// runs inside the entry guard: a handler that throws answers the engine with the
// event's neutral result. Win32 only.
#include "framework/win32/browser_control.h"

#include "framework/colour.h"
#include "framework/win32/control_record.h"
#include "framework/win32/entry_guard.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <algorithm>
#include <utility>

namespace orv::framework {

namespace {

constexpr const char* kEmptyDocument = "<html><head></head><body></body></html>";
constexpr std::size_t kMostScriptArguments = 8;

std::string copied(const char* text) { return text ? std::string(text) : std::string(); }
std::wstring copied(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

}  // namespace

struct BrowserControl::Registration {
    BrowserControl* control = nullptr;
    std::size_t row = 0;
    BrowserEventHandler handler;
};

namespace {

using Registration = BrowserControl::Registration;

std::wstring textOf(const Registration& r, const wkeString s);

// Hands one engine callback to its handler: fills the common arguments, lets `fill` add
// the event's own, and turns the handler's answer into the engine's type with `result`.
template <typename Result, typename Fill, typename Convert>
Result deliver(wkeWebView view, void* param, Result neutral, Fill&& fill, Convert&& result) {
    return guarded(neutral, Silent{}, [&]() -> Result {
        auto* r = static_cast<Registration*>(param);
        if (!r || !r->handler) return neutral;
        BrowserEvent e;
        e.webView = view;
        e.viewWindow = r->control->ViewWindow();
        e.form = GetParent(e.viewWindow);
        fill(*r, e);
        const std::intptr_t answer = r->handler(e);
        return result(answer, e);
    });
}

template <typename Fill>
void deliverVoid(wkeWebView view, void* param, Fill&& fill) {
    deliver(view, param, 0, std::forward<Fill>(fill), [](std::intptr_t, BrowserEvent&) { return 0; });
}

template <typename Fill>
bool deliverBool(wkeWebView view, void* param, Fill&& fill) {
    return deliver(view, param, false, std::forward<Fill>(fill),
                   [](std::intptr_t answer, BrowserEvent&) { return answer != 0; });
}

std::intptr_t number(std::uintptr_t value) { return static_cast<std::intptr_t>(value); }
template <typename T>
std::intptr_t handle(T* pointer) {
    return reinterpret_cast<std::intptr_t>(pointer);
}

// One row per event: its name and how its callback is set (or cleared) on a view.
struct EventRow {
    const char* name;
    bool (*attach)(const EngineFunctions&, wkeWebView, Registration*);
};

// Sets `callback` through `registration` when the engine has it; a null registration
// record clears the callback.
template <typename Callback>
bool attachWith(wkeRegistration<Callback> registration, wkeWebView view, Registration* r, Callback callback) {
    if (!registration) return false;
    registration(view, r ? callback : nullptr, r);
    return true;
}

const EventRow kEvents[] = {
    {"ONTITLECHANGED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeTitleChangedCallback>(f.wkeOnTitleChanged, v, r, [](wkeWebView v, void* p, const wkeString title) {
             deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) { e.text = textOf(r, title); });
         });
     }},
    {"MOUSEOVERURLCHANGED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeTitleChangedCallback>(f.wkeOnMouseOverUrlChanged, v, r, [](wkeWebView v, void* p, const wkeString url) {
             deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) { e.text = textOf(r, url); });
         });
     }},
    {"URLCHANGED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeURLChangedCallback>(f.wkeOnURLChanged, v, r, [](wkeWebView v, void* p, const wkeString url) {
             deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) { e.text = textOf(r, url); });
         });
     }},
    {"URLCHANGED2",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeURLChangedCallback2>(
             f.wkeOnURLChanged2, v, r, [](wkeWebView v, void* p, wkeWebFrameHandle frame, const wkeString url) {
                 deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) {
                     e.text = textOf(r, url);
                     e.values[0] = handle(frame);
                 });
             });
     }},
    {"PAINTUPDATED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkePaintUpdatedCallback>(
             f.wkeOnPaintUpdated, v, r, [](wkeWebView v, void* p, const HDC dc, int x, int y, int cx, int cy) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(dc);
                     e.values[1] = x, e.values[2] = y, e.values[3] = cx, e.values[4] = cy;
                 });
             });
     }},
    {"PAINTBITUPDATED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkePaintBitUpdatedCallback>(
             f.wkeOnPaintBitUpdated, v, r,
             [](wkeWebView v, void* p, const void* buffer, const wkeRect* rect, int width, int height) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(buffer);
                     e.values[1] = handle(rect);
                     e.values[2] = width, e.values[3] = height;
                 });
             });
     }},
    {"ALERTBOX",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeAlertBoxCallback>(f.wkeOnAlertBox, v, r, [](wkeWebView v, void* p, const wkeString msg) {
             deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) { e.text = textOf(r, msg); });
         });
     }},
    {"CONFIRMBOX",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeConfirmBoxCallback>(f.wkeOnConfirmBox, v, r, [](wkeWebView v, void* p, const wkeString msg) {
             return deliverBool(v, p, [&](Registration& r, BrowserEvent& e) { e.text = textOf(r, msg); });
         });
     }},
    {"PROMPTBOX",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkePromptBoxCallback>(
             f.wkeOnPromptBox, v, r,
             [](wkeWebView v, void* p, const wkeString msg, const wkeString defaultResult, wkeString result) {
                 return deliver(
                     v, p, false,
                     [&](Registration& r, BrowserEvent& e) {
                         e.text = textOf(r, msg);
                         e.text2 = textOf(r, defaultResult);
                     },
                     [&](std::intptr_t answer, BrowserEvent& e) {
                         const EngineFunctions* f = Engine();
                         if (e.answer && result && f && f->wkeSetStringW)
                             f->wkeSetStringW(result, e.answer->c_str(), e.answer->size());
                         return answer != 0 || e.answer.has_value();
                     });
             });
     }},
    {"NAVIGATION",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeNavigationCallback>(
             f.wkeOnNavigation, v, r, [](wkeWebView v, void* p, wkeNavigationType type, wkeString url) {
                 // The handler's answer goes to the engine: 0 cancels. A handler that
                 // fails cancels too: the view stays where it is.
                 return deliverBool(v, p, [&](Registration& r, BrowserEvent& e) {
                     e.values[0] = type;
                     e.text = textOf(r, url);
                 });
             });
     }},
    {"CREATEVIEW",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeCreateViewCallback>(
             f.wkeOnCreateView, v, r,
             [](wkeWebView v, void* p, wkeNavigationType type, const wkeString url, const wkeWindowFeatures* features) {
                 return deliver(
                     v, p, static_cast<wkeWebView>(nullptr),
                     [&](Registration& r, BrowserEvent& e) {
                         e.values[0] = type;
                         e.text = textOf(r, url);
                         e.values[1] = handle(features);
                     },
                     [](std::intptr_t answer, BrowserEvent&) { return reinterpret_cast<wkeWebView>(answer); });
             });
     }},
    {"DOCUMENTREADY",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDocumentReadyCallback>(f.wkeOnDocumentReady, v, r, [](wkeWebView v, void* p) {
             deliverVoid(v, p, [](Registration&, BrowserEvent&) {});
         });
     }},
    {"DOCUMENTREADY2",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDocumentReady2Callback>(f.wkeOnDocumentReady2, v, r,
                                                      [](wkeWebView v, void* p, wkeWebFrameHandle frame) {
                                                          deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                                                              e.values[0] = handle(frame);
                                                          });
                                                      });
     }},
    {"DOWNLOAD",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDownloadCallback>(f.wkeOnDownload, v, r, [](wkeWebView v, void* p, const char* url) {
             return deliverBool(v, p, [&](Registration&, BrowserEvent& e) { e.text = text::utf8ToWide(copied(url)); });
         });
     }},
    {"DOWNLOAD2",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDownload2Callback>(
             f.wkeOnDownload2, v, r,
             [](wkeWebView v, void* p, std::size_t length, const char* url, const char* mime, const char* disposition,
                wkeNetJob job, wkeNetJobDataBind* bind) {
                 return deliver(
                     v, p, kWkeDownloadOptCancel,
                     [&](Registration&, BrowserEvent& e) {
                         e.values[0] = number(length);
                         e.text = text::utf8ToWide(copied(url));
                         e.text2 = text::utf8ToWide(copied(mime));
                         e.text3 = text::utf8ToWide(copied(disposition));
                         e.values[1] = handle(job);
                         e.values[2] = handle(bind);
                     },
                     [](std::intptr_t answer, BrowserEvent&) { return static_cast<wkeDownloadOpt>(answer); });
             });
     }},
    {"RESPONSE",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeNetResponseCallback>(
             f.wkeNetOnResponse, v, r, [](wkeWebView v, void* p, const utf8* url, wkeNetJob job) {
                 return deliverBool(v, p, [&](Registration&, BrowserEvent& e) {
                     e.text = text::utf8ToWide(copied(url));
                     e.values[0] = handle(job);
                 });
             });
     }},
    {"CONSOLE",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeConsoleCallback>(
             f.wkeOnConsole, v, r,
             [](wkeWebView v, void* p, wkeConsoleLevel level, const wkeString message, const wkeString source,
                unsigned line, const wkeString stack) {
                 deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) {
                     e.values[0] = level;
                     e.text = textOf(r, message);
                     e.text2 = textOf(r, source);
                     e.values[1] = line;
                     e.text3 = textOf(r, stack);
                 });
             });
     }},
    {"LOADURLBEGIN",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeLoadUrlBeginCallback>(
             f.wkeOnLoadUrlBegin, v, r, [](wkeWebView v, void* p, const utf8* url, wkeNetJob job) {
                 // A non-zero answer refuses the request, and the engine reads no answer
                 // here: the request is cancelled through the job. A handler that fails
                 // refuses.
                 const bool refused = deliver(
                     v, p, true,
                     [&](Registration&, BrowserEvent& e) {
                         e.text = text::utf8ToWide(copied(url));
                         e.values[0] = handle(job);
                     },
                     [](std::intptr_t answer, BrowserEvent&) { return answer != 0; });
                 if (refused) {
                     const EngineFunctions* engine = Engine();
                     if (engine && engine->wkeNetCancelRequest) engine->wkeNetCancelRequest(job);
                 }
                 return refused;
             });
     }},
    {"LOADURLEND",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeLoadUrlEndCallback>(
             f.wkeOnLoadUrlEnd, v, r, [](wkeWebView v, void* p, const utf8* url, wkeNetJob job, void* buf, int len) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.text = text::utf8ToWide(copied(url));
                     e.values[0] = handle(job);
                     e.values[1] = handle(buf);
                     e.values[2] = len;
                 });
             });
     }},
    {"DIDCREATESCRIPTCONTEXT",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDidCreateScriptContextCallback>(
             f.wkeOnDidCreateScriptContext, v, r,
             [](wkeWebView v, void* p, wkeWebFrameHandle frame, void* context, int group, int world) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(frame);
                     e.values[1] = handle(context);
                     e.values[2] = group, e.values[3] = world;
                 });
             });
     }},
    {"WILLRELEASESCRIPTCONTEXT",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeWillReleaseScriptContextCallback>(
             f.wkeOnWillReleaseScriptContext, v, r,
             [](wkeWebView v, void* p, wkeWebFrameHandle frame, void* context, int world) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(frame);
                     e.values[1] = handle(context);
                     e.values[2] = world;
                 });
             });
     }},
    {"WILLMEDIALOAD",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeWillMediaLoadCallback>(
             f.wkeOnWillMediaLoad, v, r, [](wkeWebView v, void* p, const char* url, wkeMediaLoadInfo* info) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.text = text::utf8ToWide(copied(url));
                     e.values[0] = handle(info);
                 });
             });
     }},
    {"WINDOWCLOSING",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeWindowClosingCallback>(f.wkeOnWindowClosing, v, r, [](wkeWebView v, void* p) {
             // A handler that fails lets the window close: it is going anyway.
             return deliver(v, p, true, [](Registration&, BrowserEvent&) {},
                            [](std::intptr_t answer, BrowserEvent&) { return answer != 0; });
         });
     }},
    {"WINDOWDESTROY",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeWindowDestroyCallback>(f.wkeOnWindowDestroy, v, r, [](wkeWebView v, void* p) {
             deliverVoid(v, p, [](Registration&, BrowserEvent&) {});
         });
     }},
    {"CONTEXTMENUITEMCLICK",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeOnContextMenuItemClickCallback>(
             f.wkeOnContextMenuItemClick, v, r,
             [](wkeWebView v, void* p, wkeOnContextMenuItemClickType type, wkeOnContextMenuItemClickStep step,
                wkeWebFrameHandle frame, void* info) {
                 return deliverBool(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = type, e.values[1] = step;
                     e.values[2] = handle(frame), e.values[3] = handle(info);
                 });
             });
     }},
    {"DRAGGABLEREGIONSCHANGED",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeDraggableRegionsChangedCallback>(
             f.wkeOnDraggableRegionsChanged, v, r,
             [](wkeWebView v, void* p, const wkeDraggableRegion* regions, int count) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(regions);
                     e.values[1] = count;
                 });
             });
     }},
    {"LOADINGFINISH",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeLoadingFinishCallback>(
             f.wkeOnLoadingFinish, v, r,
             [](wkeWebView v, void* p, const wkeString url, wkeLoadingResult result, const wkeString reason) {
                 deliverVoid(v, p, [&](Registration& r, BrowserEvent& e) {
                     e.text = textOf(r, url);
                     e.values[0] = result;
                     e.text3 = textOf(r, reason);
                 });
             });
     }},
    {"LOADURLFAIL",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeLoadUrlFailCallback>(
             f.wkeOnLoadUrlFail, v, r, [](wkeWebView v, void* p, const utf8* url, wkeNetJob job) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.text = text::utf8ToWide(copied(url));
                     e.values[0] = handle(job);
                 });
             });
     }},
    {"OTHERLOAD",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeOnOtherLoadCallback>(
             f.wkeOnOtherLoad, v, r, [](wkeWebView v, void* p, wkeOtherLoadType type, wkeTempCallbackInfo* info) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = type;
                     e.values[1] = handle(info);
                 });
             });
     }},
    {"PRINT",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeOnPrintCallback>(
             f.wkeOnPrint, v, r, [](wkeWebView v, void* p, wkeWebFrameHandle frame, void* params) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(frame);
                     e.values[1] = handle(params);
                 });
             });
     }},
    {"STARTDRAGGING",
     [](const EngineFunctions& f, wkeWebView v, Registration* r) {
         return attachWith<wkeStartDraggingCallback>(
             f.wkeOnStartDragging, v, r,
             [](wkeWebView v, void* p, wkeWebFrameHandle frame, const wkeWebDragData* data, wkeWebDragOperationsMask mask,
                const void* image, const wkePoint* offset) {
                 deliverVoid(v, p, [&](Registration&, BrowserEvent& e) {
                     e.values[0] = handle(frame);
                     e.values[1] = handle(data);
                     e.values[2] = mask;
                     e.values[3] = handle(image);
                     e.values[4] = handle(offset);
                 });
             });
     }},
};

std::wstring textOf(const Registration&, const wkeString s) {
    const EngineFunctions* f = Engine();
    if (!s || !f || !f->wkeGetStringW) return {};
    return copied(f->wkeGetStringW(s));
}

std::string upperAscii(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace

std::vector<std::string> BrowserEventNames() {
    std::vector<std::string> names;
    for (const EventRow& row : kEvents) names.emplace_back(row.name);
    return names;
}

BrowserControl::BrowserControl(HWND form, int id, const std::wstring& name, int x, int y, int width, int height)
    : parent_(form), id_(id) {
    engine_ = Engine();
    if (!engine_ || !form) return;
    const DpiScale& scale = ScreenScale();
    view_ = engine_->wkeCreateWebWindow(WKE_WINDOW_TYPE_CONTROL, form, scale.ScaleX(x), scale.ScaleY(y),
                                        scale.ScaleX(width), scale.ScaleY(height));
    if (!view_) return;
    viewWindow_ = engine_->wkeGetHostHWND(view_);
    if (!viewWindow_) {
        if (engine_->wkeDestroyWebWindow) engine_->wkeDestroyWebWindow(view_);
        view_ = nullptr;
        return;
    }
    ControlRecord* record = AdoptChildWindow(form, viewWindow_, name, id, x, y, width, height);
    if (record) {
        record->viewWindow = viewWindow_;
        record->webView = view_;
    }
    SetWindowLongPtrW(viewWindow_, GWLP_ID, id);
    EnableWindow(viewWindow_, TRUE);
    ShowWindow(viewWindow_, SW_SHOW);
    if (engine_->wkeSetZoomFactor) engine_->wkeSetZoomFactor(view_, static_cast<float>(scale.dpiX()) / 96.0f);
    if (engine_->wkeSetNavigationToNewWindowEnable) engine_->wkeSetNavigationToNewWindowEnable(view_, true);
    if (engine_->wkeSetCspCheckEnable) engine_->wkeSetCspCheckEnable(view_, true);
    if (engine_->wkeSetNpapiPluginsEnabled) engine_->wkeSetNpapiPluginsEnabled(view_, false);
    if (engine_->wkeSetDebugConfig) engine_->wkeSetDebugConfig(view_, "jsEnable", "1");
}

BrowserControl::~BrowserControl() {
    // A view whose window went with its form is gone in the engine too: touch nothing.
    if (!view_ || !IsWindow(viewWindow_)) return;
    for (const auto& r : registrations_) kEvents[r->row].attach(*engine_, view_, nullptr);
    if (engine_->wkeDestroyWebWindow) engine_->wkeDestroyWebWindow(view_);
}

ControlRecord* BrowserControl::Record() const { return view_ ? FindChildRecord(parent_, id_) : nullptr; }

bool BrowserControl::SetEvent(std::string_view eventName, BrowserEventHandler handler) {
    if (!view_) return false;
    const std::string name = upperAscii(eventName);
    for (std::size_t row = 0; row < std::size(kEvents); ++row) {
        if (name != kEvents[row].name) continue;
        auto r = std::make_unique<Registration>();
        r->control = this;
        r->row = row;
        r->handler = std::move(handler);
        if (!kEvents[row].attach(*engine_, view_, r.get())) return false;
        // The engine now calls the new record; one registered earlier for the event goes.
        registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                            [row](const auto& old) { return old->row == row; }),
                             registrations_.end());
        registrations_.push_back(std::move(r));
        return true;
    }
    return false;
}

// Calls engine function `fn` with the view when both exist; otherwise `empty`.
#define ORV_VIEW_CALL(fn, empty, ...) ((view_ && engine_->fn) ? engine_->fn(view_, ##__VA_ARGS__) : (empty))
#define ORV_VIEW_DO(fn, ...) \
    do {                     \
        if (view_ && engine_->fn) engine_->fn(view_, ##__VA_ARGS__); \
    } while (0)

void BrowserControl::LoadHtml(const std::string& html) {
    ORV_VIEW_DO(wkeLoadHTML, html.empty() ? kEmptyDocument : html.c_str());
}

void BrowserControl::LoadHtmlW(const std::wstring& html) {
    if (html.empty()) ORV_VIEW_DO(wkeLoadHTML, kEmptyDocument);
    else ORV_VIEW_DO(wkeLoadHTMLW, html.c_str());
}

void BrowserControl::LoadUrl(const std::wstring& url) { ORV_VIEW_DO(wkeLoadURLW, url.c_str()); }

bool BrowserControl::LoadFile(const std::wstring& path) {
    if (!view_ || !engine_->wkeLoadFileW) return false;
    engine_->wkeLoadFileW(view_, path.c_str());
    return true;
}

void BrowserControl::PostUrl(const std::wstring& url, const std::string& body) {
    ORV_VIEW_DO(wkePostURLW, url.c_str(), body.data(), static_cast<int>(body.size()));
}

std::wstring BrowserControl::Url() const {
    return text::utf8ToWide(copied(ORV_VIEW_CALL(wkeGetURL, static_cast<const utf8*>(nullptr))));
}

void BrowserControl::Stop() { ORV_VIEW_DO(wkeStopLoading); }
void BrowserControl::Reload() { ORV_VIEW_DO(wkeReload); }
std::wstring BrowserControl::Title() const {
    return copied(ORV_VIEW_CALL(wkeGetTitleW, static_cast<const wchar_t*>(nullptr)));
}
std::wstring BrowserControl::Version() const {
    return (view_ && engine_->wkeVersionString) ? text::utf8ToWide(copied(engine_->wkeVersionString())) : std::wstring();
}
HDC BrowserControl::ViewDC() const { return ORV_VIEW_CALL(wkeGetViewDC, static_cast<HDC>(nullptr)); }
bool BrowserControl::CanGoBack() const { return wkeIsTrue(ORV_VIEW_CALL(wkeCanGoBack, 0)); }
bool BrowserControl::GoBack() { return wkeIsTrue(ORV_VIEW_CALL(wkeGoBack, 0)); }
bool BrowserControl::CanGoForward() const { return wkeIsTrue(ORV_VIEW_CALL(wkeCanGoForward, 0)); }
bool BrowserControl::GoForward() { return wkeIsTrue(ORV_VIEW_CALL(wkeGoForward, 0)); }

void BrowserControl::SelectAll() { ORV_VIEW_DO(wkeEditorSelectAll); }
void BrowserControl::Unselect() { ORV_VIEW_DO(wkeEditorUnSelect); }
void BrowserControl::Copy() { ORV_VIEW_DO(wkeEditorCopy); }
void BrowserControl::Cut() { ORV_VIEW_DO(wkeEditorCut); }
void BrowserControl::Delete() { ORV_VIEW_DO(wkeEditorDelete); }
void BrowserControl::Undo() { ORV_VIEW_DO(wkeEditorUndo); }
void BrowserControl::Redo() { ORV_VIEW_DO(wkeEditorRedo); }

std::wstring BrowserControl::Cookie() const {
    return copied(ORV_VIEW_CALL(wkeGetCookieW, static_cast<const wchar_t*>(nullptr)));
}
void BrowserControl::SetCookie(const std::string& url, const std::string& cookie) {
    ORV_VIEW_DO(wkeSetCookie, url.c_str(), cookie.c_str());
}

jsValue BrowserControl::RunJs(const std::wstring& script) { return ORV_VIEW_CALL(wkeRunJSW, jsValue{0}, script.c_str()); }

std::wstring BrowserControl::RunJsText(const std::wstring& script) {
    if (!view_ || !engine_->wkeRunJSW || !engine_->wkeGlobalExec) return {};
    const jsValue value = engine_->wkeRunJSW(view_, script.c_str());
    jsExecState es = engine_->wkeGlobalExec(view_);
    if (engine_->jsToStringW) return copied(engine_->jsToStringW(es, value));
    if (engine_->jsToString) return text::utf8ToWide(copied(engine_->jsToString(es, value)));
    return {};
}

std::wstring BrowserControl::ElementValue(const std::wstring& expression) {
    return RunJsText(L"return " + expression + L".value;");
}

std::wstring BrowserControl::CallGlobal(const std::string& function, const std::vector<std::wstring>& args) {
    const EngineFunctions* f = engine_;
    if (!view_ || !f->wkeGlobalExec || !f->jsGetGlobal || !f->jsStringW || !f->jsCallGlobal || !f->jsToStringW)
        return {};
    jsExecState es = f->wkeGlobalExec(view_);
    const jsValue callee = f->jsGetGlobal(es, function.c_str());
    jsValue values[kMostScriptArguments] = {};
    int count = 0;
    for (const std::wstring& arg : args) {
        if (arg.empty() || count == static_cast<int>(kMostScriptArguments)) break;
        values[count++] = f->jsStringW(es, arg.c_str());
    }
    return copied(f->jsToStringW(es, f->jsCallGlobal(es, callee, values, count)));
}

std::string BrowserControl::CallGlobal8(const std::string& function, const std::vector<std::string>& args) {
    const EngineFunctions* f = engine_;
    if (!view_ || !f->wkeGlobalExec || !f->jsGetGlobal || !f->jsString || !f->jsCallGlobal || !f->jsToString)
        return {};
    jsExecState es = f->wkeGlobalExec(view_);
    const jsValue callee = f->jsGetGlobal(es, function.c_str());
    jsValue values[kMostScriptArguments] = {};
    int count = 0;
    for (const std::string& arg : args) {
        if (arg.empty() || count == static_cast<int>(kMostScriptArguments)) break;
        values[count++] = f->jsString(es, arg.c_str());
    }
    return copied(f->jsToString(es, f->jsCallGlobal(es, callee, values, count)));
}

void BrowserControl::SetZoom(float factor) { ORV_VIEW_DO(wkeSetZoomFactor, factor); }
float BrowserControl::Zoom() const { return ORV_VIEW_CALL(wkeGetZoomFactor, 0.0f); }
wkeWebFrameHandle BrowserControl::MainFrame() const {
    return ORV_VIEW_CALL(wkeWebFrameGetMainFrame, static_cast<wkeWebFrameHandle>(nullptr));
}
bool BrowserControl::IsMainFrame(wkeWebFrameHandle frame) const { return wkeIsTrue(ORV_VIEW_CALL(wkeIsMainFrame, 0, frame)); }
std::wstring BrowserControl::FrameUrl(wkeWebFrameHandle frame) const {
    return text::utf8ToWide(copied(ORV_VIEW_CALL(wkeGetFrameUrl, static_cast<const utf8*>(nullptr), frame)));
}
void BrowserControl::SetUserAgent(const std::wstring& agent) { ORV_VIEW_DO(wkeSetUserAgentW, agent.c_str()); }

std::wstring BrowserControl::DecodeUrlEscape(const std::wstring& url) const {
    if (!view_ || !engine_->wkeUtilDecodeURLEscape) return {};
    return text::utf8ToWide(copied(engine_->wkeUtilDecodeURLEscape(text::wideToUtf8(url).c_str())));
}

std::wstring BrowserControl::EncodeUrlEscape(const std::wstring& url) const {
    if (!view_ || !engine_->wkeUtilEncodeURLEscape) return {};
    return text::utf8ToWide(copied(engine_->wkeUtilEncodeURLEscape(text::wideToUtf8(url).c_str())));
}

std::string BrowserControl::Source() const { return copied(ORV_VIEW_CALL(wkeGetSource, static_cast<const utf8*>(nullptr))); }
int BrowserControl::ContentWidth() const { return ORV_VIEW_CALL(wkeGetContentWidth, 0); }
int BrowserControl::ContentHeight() const { return ORV_VIEW_CALL(wkeGetContentHeight, 0); }

void BrowserControl::SetBackColour(std::uint32_t colourValue) {
    if (!view_) return;
    if (ControlRecord* record = Record()) record->backColour = colourValue;
    // The engine takes opaque ARGB; a system colour or "default" is read from the system.
    const Colour colour = DecodeColour(colourValue);
    const COLORREF rgb = colour.kind == ColourKind::Rgb      ? colour.rgb
                         : colour.kind == ColourKind::System ? GetSysColor(colour.systemIndex)
                                                             : RGB(255, 255, 255);
    wkeViewSettings settings{static_cast<int>(sizeof(wkeViewSettings)),
                             0xFF000000u | (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb)};
    ORV_VIEW_DO(wkeSetViewSettings, &settings);
}

bool BrowserControl::FireMouse(unsigned message, int x, int y, unsigned flags) {
    return wkeIsTrue(ORV_VIEW_CALL(wkeFireMouseEvent, 0, message, x, y, flags));
}
bool BrowserControl::FireMouseWheel(int x, int y, int delta, unsigned flags) {
    return wkeIsTrue(ORV_VIEW_CALL(wkeFireMouseWheelEvent, 0, x, y, delta, flags));
}
bool BrowserControl::FireKeyDown(unsigned key, unsigned flags, bool systemKey) {
    return wkeIsTrue(ORV_VIEW_CALL(wkeFireKeyDownEvent, 0, key, flags, systemKey));
}
bool BrowserControl::FireKeyUp(unsigned key, unsigned flags, bool systemKey) {
    return wkeIsTrue(ORV_VIEW_CALL(wkeFireKeyUpEvent, 0, key, flags, systemKey));
}
bool BrowserControl::FireKeyPress(unsigned code, unsigned flags, bool systemKey) {
    return wkeIsTrue(ORV_VIEW_CALL(wkeFireKeyPressEvent, 0, code, flags, systemKey));
}
void BrowserControl::Focus() { ORV_VIEW_DO(wkeSetFocus); }
wkeRect BrowserControl::CaretRect() const { return ORV_VIEW_CALL(wkeGetCaretRect, wkeRect{}); }

std::intptr_t BrowserControl::UserData(int slot) const {
    const ControlRecord* record = Record();
    return record ? record->userData.Get(slot) : 0;
}

bool BrowserControl::SetUserData(int slot, std::intptr_t value) {
    ControlRecord* record = Record();
    return record && record->userData.Set(slot, value);
}

#undef ORV_VIEW_CALL
#undef ORV_VIEW_DO

}  // namespace orv::framework
