// The browser engine's binary interface (mb.dll, its wke*/js* functions): handle types,
// the structs and callbacks it passes, and every function the browser control resolves,
// as one list. The engine is bound by name at run time; whoever exports these (the IDE's
// engine, or our stand-in) uses the same declarations.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#define WKE_CALL __cdecl

extern "C" {

struct wkeWebViewOpaque;
struct wkeStringOpaque;
typedef wkeWebViewOpaque* wkeWebView;
typedef wkeStringOpaque* wkeString;
typedef void* jsExecState;
typedef void* wkeWebFrameHandle;
typedef void* wkeNetJob;
typedef std::int64_t jsValue;
typedef char utf8;

// Predicates returned a one-byte bool in older engines and a BOOL in newer ones: callers
// read them as a 32-bit value and test only the low byte (wkeIsTrue).
typedef int wkeBool;

enum wkeWindowType { WKE_WINDOW_TYPE_POPUP = 0, WKE_WINDOW_TYPE_TRANSPARENT = 1, WKE_WINDOW_TYPE_CONTROL = 2 };

enum wkeNavigationType {
    WKE_NAVIGATION_TYPE_LINKCLICK = 0,
    WKE_NAVIGATION_TYPE_FORMSUBMITTE = 1,
    WKE_NAVIGATION_TYPE_BACKFORWARD = 2,
    WKE_NAVIGATION_TYPE_RELOAD = 3,
    WKE_NAVIGATION_TYPE_FORMRESUBMITT = 4,
    WKE_NAVIGATION_TYPE_OTHER = 5,
};

enum wkeLoadingResult { WKE_LOADING_SUCCEEDED = 0, WKE_LOADING_FAILED = 1, WKE_LOADING_CANCELED = 2 };

enum wkeConsoleLevel { wkeLevelLog = 1, wkeLevelWarning = 2, wkeLevelError = 3, wkeLevelDebug = 4, wkeLevelInfo = 5 };

enum wkeMouseFlags { WKE_LBUTTON = 0x01, WKE_RBUTTON = 0x02, WKE_SHIFT = 0x04, WKE_CONTROL = 0x08, WKE_MBUTTON = 0x10 };

enum wkeKeyFlags { WKE_EXTENDED = 0x0100, WKE_REPEAT = 0x4000 };

enum wkeDownloadOpt { kWkeDownloadOptCancel = 0, kWkeDownloadOptCacheData = 1 };

enum wkeOtherLoadType { WKE_DID_START_LOADING = 0, WKE_DID_STOP_LOADING = 1, WKE_DID_NAVIGATE = 2 };

enum wkeOnContextMenuItemClickType { kWkeContextMenuItemClickTypePrint = 1 };
enum wkeOnContextMenuItemClickStep { kWkeContextMenuItemClickStepShow = 1, kWkeContextMenuItemClickStepClick = 2 };

typedef int wkeWebDragOperationsMask;

struct wkeRect {
    int x, y, w, h;
};

struct wkePoint {
    int x, y;
};

struct wkeViewSettings {
    int size;              // 8
    unsigned int bgColor;  // ARGB
};

struct wkeWindowFeatures {
    int x, y, width, height;
    bool menuBarVisible, statusBarVisible, toolBarVisible, locationBarVisible;
    bool scrollbarsVisible, resizable, fullscreen;
};

struct wkeMemBuf {
    int unuse;
    void* data;
    std::size_t length;
};

struct wkeMediaLoadInfo {
    int size, width, height;
    double duration;
};

struct wkeDraggableRegion {
    RECT bounds;
    bool draggable;
};

struct wkeTempCallbackInfo {
    int size;
    wkeWebFrameHandle frame;
    void* willSendRequestInfo;
    const char* url;
    void* postBody;
    wkeNetJob job;
};

struct wkeNetJobDataBind {
    void* param;
    void(WKE_CALL* recvCallback)(void* ptr, wkeNetJob job, const char* data, int length);
    void(WKE_CALL* finishCallback)(void* ptr, wkeNetJob job, wkeLoadingResult result);
};

struct wkeWebDragData;

// Callbacks: every one is cdecl and starts with the view and the registration's parameter.
typedef void(WKE_CALL* wkeTitleChangedCallback)(wkeWebView, void*, const wkeString title);
typedef void(WKE_CALL* wkeURLChangedCallback)(wkeWebView, void*, const wkeString url);
typedef void(WKE_CALL* wkeURLChangedCallback2)(wkeWebView, void*, wkeWebFrameHandle, const wkeString url);
typedef void(WKE_CALL* wkePaintUpdatedCallback)(wkeWebView, void*, const HDC, int x, int y, int cx, int cy);
typedef void(WKE_CALL* wkePaintBitUpdatedCallback)(wkeWebView, void*, const void* buffer, const wkeRect*, int w, int h);
typedef void(WKE_CALL* wkeAlertBoxCallback)(wkeWebView, void*, const wkeString msg);
typedef bool(WKE_CALL* wkeConfirmBoxCallback)(wkeWebView, void*, const wkeString msg);
typedef bool(WKE_CALL* wkePromptBoxCallback)(wkeWebView, void*, const wkeString msg, const wkeString defaultResult,
                                             wkeString result);
typedef bool(WKE_CALL* wkeNavigationCallback)(wkeWebView, void*, wkeNavigationType, wkeString url);
typedef wkeWebView(WKE_CALL* wkeCreateViewCallback)(wkeWebView, void*, wkeNavigationType, const wkeString url,
                                                    const wkeWindowFeatures*);
typedef void(WKE_CALL* wkeDocumentReadyCallback)(wkeWebView, void*);
typedef void(WKE_CALL* wkeDocumentReady2Callback)(wkeWebView, void*, wkeWebFrameHandle);
typedef void(WKE_CALL* wkeLoadingFinishCallback)(wkeWebView, void*, const wkeString url, wkeLoadingResult,
                                                 const wkeString failedReason);
typedef bool(WKE_CALL* wkeDownloadCallback)(wkeWebView, void*, const char* url);
typedef wkeDownloadOpt(WKE_CALL* wkeDownload2Callback)(wkeWebView, void*, std::size_t expectedLength, const char* url,
                                                       const char* mime, const char* disposition, wkeNetJob,
                                                       wkeNetJobDataBind*);
typedef bool(WKE_CALL* wkeNetResponseCallback)(wkeWebView, void*, const utf8* url, wkeNetJob);
typedef void(WKE_CALL* wkeConsoleCallback)(wkeWebView, void*, wkeConsoleLevel, const wkeString message,
                                           const wkeString sourceName, unsigned sourceLine,
                                           const wkeString stackTrace);
typedef bool(WKE_CALL* wkeLoadUrlBeginCallback)(wkeWebView, void*, const utf8* url, wkeNetJob);
typedef void(WKE_CALL* wkeLoadUrlEndCallback)(wkeWebView, void*, const utf8* url, wkeNetJob, void* buf, int len);
typedef void(WKE_CALL* wkeLoadUrlFailCallback)(wkeWebView, void*, const utf8* url, wkeNetJob);
typedef void(WKE_CALL* wkeDidCreateScriptContextCallback)(wkeWebView, void*, wkeWebFrameHandle, void* context,
                                                          int extensionGroup, int worldId);
typedef void(WKE_CALL* wkeWillReleaseScriptContextCallback)(wkeWebView, void*, wkeWebFrameHandle, void* context,
                                                            int worldId);
typedef void(WKE_CALL* wkeWillMediaLoadCallback)(wkeWebView, void*, const char* url, wkeMediaLoadInfo*);
typedef bool(WKE_CALL* wkeWindowClosingCallback)(wkeWebView, void*);
typedef void(WKE_CALL* wkeWindowDestroyCallback)(wkeWebView, void*);
typedef bool(WKE_CALL* wkeOnContextMenuItemClickCallback)(wkeWebView, void*, wkeOnContextMenuItemClickType,
                                                          wkeOnContextMenuItemClickStep, wkeWebFrameHandle,
                                                          void* info);
typedef void(WKE_CALL* wkeDraggableRegionsChangedCallback)(wkeWebView, void*, const wkeDraggableRegion*, int count);
typedef void(WKE_CALL* wkeOnOtherLoadCallback)(wkeWebView, void*, wkeOtherLoadType, wkeTempCallbackInfo*);
typedef void(WKE_CALL* wkeOnPrintCallback)(wkeWebView, void*, wkeWebFrameHandle, void* printParams);
typedef void(WKE_CALL* wkeStartDraggingCallback)(wkeWebView, void*, wkeWebFrameHandle, const wkeWebDragData*,
                                                 wkeWebDragOperationsMask, const void* image, const wkePoint*);

}  // extern "C"

// Every function the browser control resolves: X(return type, name, parameter list).
// The registrations are listed apart, with their callback type, in ORV_WKE_EVENTS.
#define ORV_WKE_FUNCTIONS(X)                                                                   \
    X(void, wkeInitialize, ())                                                                 \
    X(wkeWebView, wkeCreateWebWindow, (wkeWindowType, HWND, int, int, int, int))               \
    X(void, wkeDestroyWebWindow, (wkeWebView))                                                 \
    X(HWND, wkeGetHostHWND, (wkeWebView))                                                      \
    X(void, wkeShowWindow, (wkeWebView, bool))                                                 \
    X(void, wkeSetZoomFactor, (wkeWebView, float))                                             \
    X(float, wkeGetZoomFactor, (wkeWebView))                                                   \
    X(void, wkeSetNavigationToNewWindowEnable, (wkeWebView, bool))                             \
    X(void, wkeSetCspCheckEnable, (wkeWebView, bool))                                          \
    X(void, wkeSetNpapiPluginsEnabled, (wkeWebView, bool))                                     \
    X(void, wkeSetDebugConfig, (wkeWebView, const char*, const char*))                         \
    X(void, wkeSetViewSettings, (wkeWebView, const wkeViewSettings*))                          \
    X(void, wkeSetUserAgentW, (wkeWebView, const wchar_t*))                                    \
    X(void, wkeLoadHTML, (wkeWebView, const utf8*))                                            \
    X(void, wkeLoadHTMLW, (wkeWebView, const wchar_t*))                                        \
    X(void, wkeLoadURLW, (wkeWebView, const wchar_t*))                                         \
    X(void, wkeLoadFileW, (wkeWebView, const wchar_t*))                                        \
    X(void, wkePostURLW, (wkeWebView, const wchar_t*, const char*, int))                       \
    X(const utf8*, wkeGetURL, (wkeWebView))                                                    \
    X(void, wkeStopLoading, (wkeWebView))                                                      \
    X(void, wkeReload, (wkeWebView))                                                           \
    X(const wchar_t*, wkeGetTitleW, (wkeWebView))                                              \
    X(const utf8*, wkeVersionString, ())                                                       \
    X(HDC, wkeGetViewDC, (wkeWebView))                                                         \
    X(wkeBool, wkeCanGoBack, (wkeWebView))                                                     \
    X(wkeBool, wkeGoBack, (wkeWebView))                                                        \
    X(wkeBool, wkeCanGoForward, (wkeWebView))                                                  \
    X(wkeBool, wkeGoForward, (wkeWebView))                                                     \
    X(void, wkeEditorSelectAll, (wkeWebView))                                                  \
    X(void, wkeEditorUnSelect, (wkeWebView))                                                   \
    X(void, wkeEditorCopy, (wkeWebView))                                                       \
    X(void, wkeEditorCut, (wkeWebView))                                                        \
    X(void, wkeEditorDelete, (wkeWebView))                                                     \
    X(void, wkeEditorUndo, (wkeWebView))                                                       \
    X(void, wkeEditorRedo, (wkeWebView))                                                       \
    X(const wchar_t*, wkeGetCookieW, (wkeWebView))                                             \
    X(void, wkeSetCookie, (wkeWebView, const utf8*, const utf8*))                              \
    X(jsValue, wkeRunJSW, (wkeWebView, const wchar_t*))                                        \
    X(jsExecState, wkeGlobalExec, (wkeWebView))                                                \
    X(const wchar_t*, jsToStringW, (jsExecState, jsValue))                                     \
    X(const utf8*, jsToString, (jsExecState, jsValue))                                         \
    X(jsValue, jsGetGlobal, (jsExecState, const char*))                                        \
    X(jsValue, jsStringW, (jsExecState, const wchar_t*))                                       \
    X(jsValue, jsString, (jsExecState, const utf8*))                                           \
    X(jsValue, jsCallGlobal, (jsExecState, jsValue, jsValue*, int))                            \
    X(wkeWebFrameHandle, wkeWebFrameGetMainFrame, (wkeWebView))                                \
    X(wkeBool, wkeIsMainFrame, (wkeWebView, wkeWebFrameHandle))                                \
    X(const utf8*, wkeGetFrameUrl, (wkeWebView, wkeWebFrameHandle))                            \
    X(const utf8*, wkeUtilDecodeURLEscape, (const utf8*))                                      \
    X(const utf8*, wkeUtilEncodeURLEscape, (const utf8*))                                      \
    X(const utf8*, wkeGetSource, (wkeWebView))                                                 \
    X(int, wkeGetContentWidth, (wkeWebView))                                                   \
    X(int, wkeGetContentHeight, (wkeWebView))                                                  \
    X(wkeBool, wkeFireMouseEvent, (wkeWebView, unsigned int, int, int, unsigned int))          \
    X(wkeBool, wkeFireMouseWheelEvent, (wkeWebView, int, int, int, unsigned int))              \
    X(wkeBool, wkeFireKeyDownEvent, (wkeWebView, unsigned int, unsigned int, bool))            \
    X(wkeBool, wkeFireKeyUpEvent, (wkeWebView, unsigned int, unsigned int, bool))              \
    X(wkeBool, wkeFireKeyPressEvent, (wkeWebView, unsigned int, unsigned int, bool))           \
    X(void, wkeSetFocus, (wkeWebView))                                                         \
    X(wkeRect, wkeGetCaretRect, (wkeWebView))                                                  \
    X(const wchar_t*, wkeGetStringW, (const wkeString))                                        \
    X(const utf8*, wkeGetString, (const wkeString))                                            \
    X(void, wkeSetStringW, (wkeString, const wchar_t*, std::size_t))                           \
    X(void, wkeNetCancelRequest, (wkeNetJob))

// The event registrations: X(registration function, callback type).
#define ORV_WKE_EVENTS(X)                                                   \
    X(wkeOnTitleChanged, wkeTitleChangedCallback)                           \
    X(wkeOnMouseOverUrlChanged, wkeTitleChangedCallback)                    \
    X(wkeOnURLChanged, wkeURLChangedCallback)                               \
    X(wkeOnURLChanged2, wkeURLChangedCallback2)                             \
    X(wkeOnPaintUpdated, wkePaintUpdatedCallback)                           \
    X(wkeOnPaintBitUpdated, wkePaintBitUpdatedCallback)                     \
    X(wkeOnAlertBox, wkeAlertBoxCallback)                                   \
    X(wkeOnConfirmBox, wkeConfirmBoxCallback)                               \
    X(wkeOnPromptBox, wkePromptBoxCallback)                                 \
    X(wkeOnNavigation, wkeNavigationCallback)                               \
    X(wkeOnCreateView, wkeCreateViewCallback)                               \
    X(wkeOnDocumentReady, wkeDocumentReadyCallback)                         \
    X(wkeOnDocumentReady2, wkeDocumentReady2Callback)                       \
    X(wkeOnDownload, wkeDownloadCallback)                                   \
    X(wkeOnDownload2, wkeDownload2Callback)                                 \
    X(wkeNetOnResponse, wkeNetResponseCallback)                             \
    X(wkeOnConsole, wkeConsoleCallback)                                     \
    X(wkeOnLoadUrlBegin, wkeLoadUrlBeginCallback)                           \
    X(wkeOnLoadUrlEnd, wkeLoadUrlEndCallback)                               \
    X(wkeOnDidCreateScriptContext, wkeDidCreateScriptContextCallback)       \
    X(wkeOnWillReleaseScriptContext, wkeWillReleaseScriptContextCallback)   \
    X(wkeOnWillMediaLoad, wkeWillMediaLoadCallback)                         \
    X(wkeOnWindowClosing, wkeWindowClosingCallback)                         \
    X(wkeOnWindowDestroy, wkeWindowDestroyCallback)                         \
    X(wkeOnContextMenuItemClick, wkeOnContextMenuItemClickCallback)         \
    X(wkeOnDraggableRegionsChanged, wkeDraggableRegionsChangedCallback)     \
    X(wkeOnLoadingFinish, wkeLoadingFinishCallback)                         \
    X(wkeOnLoadUrlFail, wkeLoadUrlFailCallback)                             \
    X(wkeOnOtherLoad, wkeOnOtherLoadCallback)                               \
    X(wkeOnPrint, wkeOnPrintCallback)                                       \
    X(wkeOnStartDragging, wkeStartDraggingCallback)

// The type of a registration function of callback type C.
template <typename C>
using wkeRegistration = void(WKE_CALL*)(wkeWebView, C, void*);

inline bool wkeIsTrue(wkeBool value) { return (value & 0xFF) != 0; }
