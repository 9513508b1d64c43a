// Win32 only: one view: its child window with the back buffer Chromium's frames are
// painted into, the browser target behind it, its registered callbacks, and how
// Chromium's events for the target become those callbacks.
#pragma once

#include "devtools_connection.h"
#include "engine.h"
#include "devtools_json.h"

#include "framework/win32/wke_api.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orv::mb {

class WebView {
public:
    WebView() = default;
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    // The registered callbacks, one member per registration function.
    struct Handlers {
#define ORV_MB_HANDLER(registration, Callback) \
    struct {                                   \
        Callback callback = nullptr;           \
        void* param = nullptr;                 \
    } registration;
        ORV_WKE_EVENTS(ORV_MB_HANDLER)
#undef ORV_MB_HANDLER
    };
    Handlers on;

    wkeWebView handle() { return reinterpret_cast<wkeWebView>(this); }
    HWND window() const { return window_; }

    // --- the window (view_window.cpp)
    bool createWindow(HWND parent, int x, int y, int width, int height, std::string& error);
    static bool registerWindowClass(std::string& error);
    HDC backBufferDc() const { return memoryDc_; }
    void paintFrame(const DecodedFrame& frame);
    void showFailure(const std::string& reason);
    bool fireMouse(unsigned message, int x, int y, unsigned flags);
    bool fireWheel(int x, int y, int delta, unsigned flags);
    bool fireKey(const char* type, unsigned virtualKey, unsigned flags, bool repeat);
    bool fireChar(unsigned code, unsigned flags);

    // --- the target (web_view.cpp)
    // Creates and attaches the browser target when the engine answers. False when none.
    bool ensureSession();
    bool attached() const { return !session_.empty(); }
    const std::string& session() const { return session_; }
    const std::string& targetId() const { return targetId_; }
    void onEvent(const std::string& method, JsonView params, const DecodedFrame* frame);
    void onTargetGone();
    void onDownload(JsonView params);
    bool ownsFrame(const std::string& frameId) const;
    // Called when the window goes: the target is closed and the engine forgets the view.
    void onWindowDestroyed();
    void onContextMenu();
    bool onCloseRequested();

    void loadHtml(const std::string& html);
    void loadUrl(const std::string& url, int navigationType = WKE_NAVIGATION_TYPE_OTHER);
    void postUrl(const std::string& url, const std::string& body);
    void stopLoading();
    void reload();
    bool historyStep(int delta, bool go);
    const std::string& url() const { return url_; }
    std::string title();
    std::string cookies();
    void setCookie(const std::string& url, const std::string& cookie);

    // Runs `expression` in the main frame; false when no answer came (no engine, time
    // limit). A script that throws gives undefined.
    bool evaluate(const std::string& expression, JsRecord& result);
    void editorCommand(const char* command);

    float zoom() const { return zoom_; }
    void setZoom(float zoom);
    void setUserAgent(const std::string& agent);
    void setBackground(unsigned argb);
    void setCspCheck(bool enabled);
    void setDebugConfig(const std::string& key, const std::string& value) { debugConfig_[key] = value; }

    wkeWebFrameHandle mainFrame() { return frameHandle(targetId_); }
    wkeWebFrameHandle frameHandle(const std::string& frameId);
    std::string frameUrl(wkeWebFrameHandle frame) const;

private:
    // view_window.cpp
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void resizeBackBuffer(int width, int height);
    void paintWindow();
    void sendMouse(const char* type, int x, int y, const char* button, int clickCount, int modifiers, int buttons,
                   double deltaX = 0, double deltaY = 0);
    void onSized();

    // web_view.cpp
    void applyMetrics();
    void startScreencast();
    void navigate(const std::string& url);
    void onRequestPaused(JsonView params);
    void onDialog(JsonView params);
    void onWindowOpen(JsonView params);
    void onConsole(JsonView params);
    void onException(JsonView params);
    void onFrameNavigated(const std::string& frameId, const std::string& url, bool main);
    void onLifecycle(JsonView params);
    void onNetworkDone(JsonView params, bool failed);
    void onOtherLoad(wkeOtherLoadType type, const std::string& frameId);
    void onTitle(const std::string& title);

    HWND window_ = nullptr;
    HDC memoryDc_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    void* backBits_ = nullptr;
    int width_ = 0, height_ = 0;
    bool leftDown_ = false, rightDown_ = false, middleDown_ = false;
    wchar_t pendingHighSurrogate_ = 0;

    std::string targetId_, session_;
    bool attaching_ = false;
    bool gone_ = false;
    float zoom_ = 1.0f;
    std::string userAgent_;
    bool hasBackground_ = false;
    unsigned background_ = 0xFFFFFFFF;
    bool cspCheck_ = true;
    std::map<std::string, std::string> debugConfig_;

    std::string url_, title_;
    int pendingNavigation_ = -1;
    std::map<std::string, std::string> servedPages_;  // address → HTML of pages made from text
    std::vector<std::string> servedOrder_;
    std::map<std::string, std::string> pendingPosts_;  // address → body of the next request to it
    std::vector<std::string> frameIds_;
    std::map<std::string, std::string> frameUrls_;
    std::map<std::string, std::string> frameLoaders_;  // frame id → its document's loader
    std::map<long long, std::string> contextFrames_;
    struct RequestInfo {
        std::string url, frameId, type;
    };
    std::map<std::string, RequestInfo> requests_;
};

}  // namespace orv::mb
