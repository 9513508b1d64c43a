// Win32 only: the engine of one process: its UI thread and hidden message window, the
// Chromium it runs, the views, the script values handed out, and the waits in which
// Chromium's events reach the host. Every callback into the host starts from here, on
// the UI thread.
#pragma once

#include "devtools_connection.h"
#include "devtools_json.h"

#include "framework/win32/wke_api.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace orv::mb {

class WebView;

// A script value as the host sees it: its type (JavaScript's typeof, with "null" and
// "array" apart), its text, and for a global the name it was read under.
struct JsRecord {
    std::string type = "undefined";
    std::string text;
    std::string globalName;
};

// The job of one request while the load-url-begin callback runs.
struct NetJob {
    bool cancelled = false;
};

class Engine {
public:
    // How long a command may take before its caller gets the empty answer.
    static constexpr int kCallLimitMs = 10000;
    // How long Chromium may take to open its DevTools endpoint.
    static constexpr int kStartupLimitMs = 8000;

    static Engine& instance();

    void initialize();
    bool initialized() const { return uiThread_ != 0; }
    bool onUiThread() const { return uiThread_ != 0 && GetCurrentThreadId() == uiThread_; }

    // Starts Chromium when none runs. False when the engine cannot show anything.
    bool ensureConnection();
    // Waits, running engine events, until Chromium answers or gives up. True when it answers.
    bool awaitReady();
    // Why views show nothing; empty while all is well.
    const std::string& failure() const { return failure_; }
    std::string browserVersion();

    // A command and its reply ("result" or "error" member); null when none came in time.
    // Engine events that arrive meanwhile are run, so callbacks may run inside.
    Json call(const std::string& method, const Json& params, const std::string& session, int limitMs = kCallLimitMs);
    // A command whose reply nobody needs.
    void post(const std::string& method, const Json& params, const std::string& session);
    // A command whose reply runs `then` on the UI thread later.
    void postThen(const std::string& method, const Json& params, const std::string& session,
                  std::function<void(const Json&)> then);
    // Runs the queued engine events.
    void pumpEvents();

    std::shared_ptr<WebView> createView(HWND parent, int x, int y, int width, int height);
    std::shared_ptr<WebView> find(const void* handle) const;
    void forgetView(const WebView* view);
    const std::vector<std::shared_ptr<WebView>>& views() const { return views_; }

    jsValue keepValue(JsRecord record);
    const JsRecord* value(jsValue handle) const;
    // Returned text stays valid for a few later calls: the host copies it at once.
    const wchar_t* keepText(std::wstring text);
    const char* keepText(std::string text);

    void addJob(NetJob* job) { liveJobs_.insert(job); }
    void removeJob(NetJob* job) { liveJobs_.erase(job); }
    bool cancelJob(void* job);

    // The next number for a page made from text.
    int nextPageNumber() { return ++pageCounter_; }
    // The program's folder as Chromium's host sees it (a Linux path under Wine).
    const std::string& programFolderForBrowser();

    // Ends Chromium now (last view gone, grace period over) or at process end.
    void closeBrowser();
    void closeAtExit();

private:
    Engine() = default;
    static LRESULT CALLBACK messageWindowProc(HWND, UINT, WPARAM, LPARAM);
    void dispatch(Incoming& incoming);
    void dispatchTargetEvent(const std::string& method, JsonView params);
    void onReady();
    void onFailed(const std::string& reason);
    void inspectOnReader(DevToolsConnection& connection, Incoming& incoming);
    WebView* viewOfSession(const std::string& session) const;
    WebView* viewOfTarget(const std::string& targetId) const;

    DWORD uiThread_ = 0;
    std::atomic<bool> wakePosted_{false};
    HWND messageWindow_ = nullptr;
    std::shared_ptr<DevToolsConnection> connection_;
    std::string failure_;
    bool failedForGood_ = false;
    bool failureTold_ = false;
    std::string version_;

    std::vector<std::shared_ptr<WebView>> views_;
    std::map<std::int64_t, std::function<void(const Json&)>> pendingThen_;
    std::map<jsValue, JsRecord> values_;
    jsValue nextValue_ = 0;
    std::deque<std::wstring> wideTexts_;
    std::deque<std::string> narrowTexts_;
    std::set<void*> liveJobs_;
    int pageCounter_ = 0;
    std::string programFolder_;
};

}  // namespace orv::mb
