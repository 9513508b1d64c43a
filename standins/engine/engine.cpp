// Win32 only: the engine's process-wide state and the waits on Chromium's answers.
#include "engine.h"

#include "frame_decoder.h"
#include "framework/win32/entry_guard.h"
#include "sync/base64.h"
#include "text/win32/wide_text.h"
#include "web_view.h"
#include "wine_paths.h"

#include <objbase.h>

#include <algorithm>

namespace orv::mb {
namespace {

constexpr UINT kArrivedMessage = WM_APP + 1;
constexpr UINT_PTR kCloseTimer = 1;
// Views come and go as the host opens and closes its windows: Chromium stays a while
// after the last one, so that the next window does not wait for a new Chromium.
constexpr UINT kCloseAfterLastViewMs = 20000;
constexpr std::size_t kKeptValues = 4096;
constexpr std::size_t kKeptTexts = 16;
constexpr const wchar_t* kMessageWindowClass = L"OrvMbEngineMessages";

Json member(const char* name, Json value) { return with({{name, std::move(value)}}); }

}  // namespace

Engine& Engine::instance() {
    // Never destroyed: windows and threads of the engine may outlive static destructors.
    static Engine* engine = new Engine;
    return *engine;
}

void Engine::initialize() {
    if (uiThread_) return;
    uiThread_ = GetCurrentThreadId();
    // The real engine does this too; the host may already have done it (S_FALSE).
    CoInitialize(nullptr);
    // Our windows and threads run this module's code until the process ends.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&Engine::messageWindowProc)), &self);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = messageWindowProc;
    windowClass.hInstance = self;
    windowClass.lpszClassName = kMessageWindowClass;
    RegisterClassW(&windowClass);
    messageWindow_ = CreateWindowExW(0, kMessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, self, nullptr);
    if (!messageWindow_) {
        failure_ = "the engine's message window could not be created (error " + std::to_string(GetLastError()) + ")";
        failedForGood_ = true;
        OutputDebugStringW(text::utf8ToWide("mb: " + failure_ + "\n").c_str());
        return;
    }
    std::string error;
    if (!WebView::registerWindowClass(error)) {
        onFailed(error);
        return;
    }
    ensureConnection();
}

bool Engine::ensureConnection() {
    if (failedForGood_ || !messageWindow_) return false;
    KillTimer(messageWindow_, kCloseTimer);
    if (connection_) return connection_->state() != DevToolsConnection::State::Failed;
    const HWND window = messageWindow_;
    std::atomic<bool>* posted = &wakePosted_;
    auto connection = std::make_shared<DevToolsConnection>(
        [window, posted] {
            if (!posted->exchange(true)) PostMessageW(window, kArrivedMessage, 0, 0);
        },
        [this](DevToolsConnection& c, Incoming& incoming) { inspectOnReader(c, incoming); });
    std::string error;
    if (!connection->start(kStartupLimitMs, error)) {
        onFailed(error);
        return false;
    }
    connection_ = std::move(connection);
    return true;
}

bool Engine::awaitReady() {
    if (!ensureConnection()) return false;
    const std::shared_ptr<DevToolsConnection> connection = connection_;
    const unsigned long long deadline = GetTickCount64() + kStartupLimitMs + 2000;
    while (connection->state() == DevToolsConnection::State::Starting && GetTickCount64() < deadline)
        WaitForSingleObject(connection->arrived(), 50);
    // The ready note creates the targets of waiting views: run it before going on.
    pumpEvents();
    return connection == connection_ && connection->state() == DevToolsConnection::State::Ready;
}

void Engine::inspectOnReader(DevToolsConnection& connection, Incoming& incoming) {
    const JsonView message = incoming.message;
    if (message["method"].str() != "Page.screencastFrame") return;
    const JsonView params = message["params"];
    // Acknowledge at once: Chromium sends the next frame only after that.
    connection.send("Page.screencastFrameAck", member("sessionId", params["sessionId"].integer()),
                    message["sessionId"].str(), DevToolsConnection::Route::Drop);
    static thread_local bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    std::string bytes, error;
    auto frame = std::make_shared<DecodedFrame>();
    if (!comReady || !sync::base64Decode(params["data"].str(), bytes) || !decodeFrame(bytes, *frame, error)) {
        incoming.message = Json();
        return;
    }
    incoming.frame = std::move(frame);
    Json light = with({{"method", message["method"].json()}, {"sessionId", message["sessionId"].json()}});
    incoming.message = std::move(light);  // the encoded image is not needed any more
}

Json Engine::call(const std::string& method, const Json& params, const std::string& session, int limitMs) {
    const std::shared_ptr<DevToolsConnection> connection = connection_;
    if (!connection || connection->state() != DevToolsConnection::State::Ready) return Json();
    const std::int64_t id = connection->send(method, params, session, DevToolsConnection::Route::Wait);
    if (!id) return Json();
    const unsigned long long deadline = GetTickCount64() + static_cast<unsigned long long>(limitMs);
    Json reply;
    for (;;) {
        if (connection->takeReply(id, reply)) return reply;
        pumpEvents();
        if (connection->takeReply(id, reply)) return reply;
        const unsigned long long now = GetTickCount64();
        if (connection->state() != DevToolsConnection::State::Ready || now >= deadline) {
            connection->forget(id);
            return Json();
        }
        // Nested waits share the signal: look again now and then even without one.
        WaitForSingleObject(connection->arrived(), static_cast<DWORD>(std::min<unsigned long long>(deadline - now, 20)));
    }
}

void Engine::post(const std::string& method, const Json& params, const std::string& session) {
    if (connection_ && connection_->state() == DevToolsConnection::State::Ready)
        connection_->send(method, params, session, DevToolsConnection::Route::Drop);
}

void Engine::postThen(const std::string& method, const Json& params, const std::string& session,
                      std::function<void(const Json&)> then) {
    if (!connection_ || connection_->state() != DevToolsConnection::State::Ready) return;
    const std::int64_t id = connection_->send(method, params, session, DevToolsConnection::Route::Queue);
    if (id) pendingThen_[id] = std::move(then);
}

void Engine::pumpEvents() {
    const std::shared_ptr<DevToolsConnection> connection = connection_;
    if (!connection) return;
    Incoming incoming;
    while (connection == connection_ && connection->takeIncoming(incoming)) dispatch(incoming);
}

void Engine::dispatch(Incoming& incoming) {
    const JsonView message = incoming.message;
    if (message.has("id")) {
        const auto found = pendingThen_.find(message["id"].integer());
        if (found == pendingThen_.end()) return;
        const std::function<void(const Json&)> then = std::move(found->second);
        pendingThen_.erase(found);
        then(message.json());
        return;
    }
    const std::string& method = message["method"].str();
    const JsonView params = message["params"];
    if (method == "orv.ready") return onReady();
    if (method == "orv.failed") return onFailed(params["reason"].str());
    const std::string& session = message["sessionId"].str();
    if (!session.empty()) {
        // Hold the view: a callback may destroy it while its event runs.
        WebView* raw = viewOfSession(session);
        const std::shared_ptr<WebView> view = raw ? find(raw) : nullptr;
        if (view) view->onEvent(method, params, incoming.frame.get());
        return;
    }
    dispatchTargetEvent(method, params);
}

void Engine::dispatchTargetEvent(const std::string& method, JsonView params) {
    if (method == "Target.targetCreated" || method == "Target.targetInfoChanged") {
        const JsonView info = params["targetInfo"];
        // A page one of our views opened (target=_blank, window.open): the host was asked
        // through its create-view callback; the page itself must not stay.
        if (info["type"].str() == "page" && !info["openerId"].str().empty() && viewOfTarget(info["openerId"].str()) &&
            !viewOfTarget(info["targetId"].str())) {
            post("Target.closeTarget", member("targetId", info["targetId"].json()), std::string());
            return;
        }
        return;
    }
    if (method == "Target.targetDestroyed" || method == "Target.detachedFromTarget") {
        const std::string target = params.has("targetId") ? params["targetId"].str() : params["targetInfo"]["targetId"].str();
        WebView* raw = viewOfTarget(target);
        if (!raw && params.has("sessionId")) raw = viewOfSession(params["sessionId"].str());
        if (const auto view = raw ? find(raw) : nullptr) view->onTargetGone();
        return;
    }
    if (method == "Browser.downloadWillBegin") {
        for (const auto& view : std::vector<std::shared_ptr<WebView>>(views_))
            if (view->ownsFrame(params["frameId"].str())) return view->onDownload(params);
    }
}

void Engine::onReady() {
    post("Target.setDiscoverTargets", member("discover", true), std::string());
    post("Browser.setDownloadBehavior", with({{"behavior", "deny"}, {"eventsEnabled", true}}), std::string());
    for (const auto& view : std::vector<std::shared_ptr<WebView>>(views_)) view->ensureSession();
}

void Engine::onFailed(const std::string& reason) {
    failure_ = reason.empty() ? "the browser engine stopped" : reason;
    failedForGood_ = true;
    if (!failureTold_) {
        failureTold_ = true;
        OutputDebugStringW(text::utf8ToWide("mb: views stay empty: " + failure_ + "\n").c_str());
    }
    for (const auto& view : std::vector<std::shared_ptr<WebView>>(views_)) view->showFailure(failure_);
}

std::string Engine::browserVersion() {
    if (version_.empty() && connection_ && connection_->state() == DevToolsConnection::State::Ready) {
        const Json reply = call("Browser.getVersion", Json::object(), std::string());
        version_ = JsonView(reply)["result"]["product"].str();
    }
    return version_;
}

std::shared_ptr<WebView> Engine::createView(HWND parent, int x, int y, int width, int height) {
    auto view = std::make_shared<WebView>();
    std::string error;
    if (!view->createWindow(parent, x, y, width, height, error)) {
        OutputDebugStringW(text::utf8ToWide("mb: " + error + "\n").c_str());
        return nullptr;
    }
    views_.push_back(view);
    if (!ensureConnection()) {
        view->showFailure(failure_);
    } else if (connection_->state() == DevToolsConnection::State::Ready) {
        view->ensureSession();
    }
    // While Chromium starts, the ready note attaches the view.
    return view;
}

std::shared_ptr<WebView> Engine::find(const void* handle) const {
    if (!handle) return nullptr;
    for (const auto& view : views_)
        if (view.get() == handle) return view;
    return nullptr;
}

void Engine::forgetView(const WebView* view) {
    views_.erase(std::remove_if(views_.begin(), views_.end(), [view](const auto& v) { return v.get() == view; }),
                 views_.end());
    if (views_.empty() && messageWindow_ && connection_) SetTimer(messageWindow_, kCloseTimer, kCloseAfterLastViewMs, nullptr);
}

WebView* Engine::viewOfSession(const std::string& session) const {
    for (const auto& view : views_)
        if (view->session() == session) return view.get();
    return nullptr;
}

WebView* Engine::viewOfTarget(const std::string& targetId) const {
    if (targetId.empty()) return nullptr;
    for (const auto& view : views_)
        if (view->targetId() == targetId) return view.get();
    return nullptr;
}

jsValue Engine::keepValue(JsRecord record) {
    const jsValue handle = ++nextValue_;
    values_.emplace(handle, std::move(record));
    while (values_.size() > kKeptValues) values_.erase(values_.begin());
    return handle;
}

const JsRecord* Engine::value(jsValue handle) const {
    const auto found = values_.find(handle);
    return found == values_.end() ? nullptr : &found->second;
}

const wchar_t* Engine::keepText(std::wstring text) {
    wideTexts_.push_back(std::move(text));
    if (wideTexts_.size() > kKeptTexts) wideTexts_.pop_front();
    return wideTexts_.back().c_str();
}

const char* Engine::keepText(std::string text) {
    narrowTexts_.push_back(std::move(text));
    if (narrowTexts_.size() > kKeptTexts) narrowTexts_.pop_front();
    return narrowTexts_.back().c_str();
}

bool Engine::cancelJob(void* job) {
    const auto found = liveJobs_.find(job);
    if (found == liveJobs_.end()) return false;
    static_cast<NetJob*>(*found)->cancelled = true;
    return true;
}

const std::string& Engine::programFolderForBrowser() {
    if (programFolder_.empty()) programFolder_ = hostPathOf(programFolder());
    return programFolder_;
}

void Engine::closeBrowser() {
    if (!views_.empty() || !connection_) return;
    connection_->close();
    connection_.reset();
    pendingThen_.clear();
}

void Engine::closeAtExit() {
    if (connection_) connection_->closeAtExit();
}

LRESULT CALLBACK Engine::messageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return framework::guarded(LRESULT{0}, framework::Silent{}, [&]() -> LRESULT {
        Engine& engine = instance();
        if (message == kArrivedMessage) {
            engine.wakePosted_ = false;
            engine.pumpEvents();
            return 0;
        }
        if (message == WM_TIMER && wParam == kCloseTimer) {
            KillTimer(window, kCloseTimer);
            engine.closeBrowser();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

}  // namespace orv::mb
