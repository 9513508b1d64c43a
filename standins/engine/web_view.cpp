// Win32 only: a view's browser target: loading, scripts, and Chromium's events for the
// target turned into the host's callbacks (always on the UI thread: events reach here
// only through Engine::pumpEvents).
#include "web_view.h"

#include "mb_string.h"
#include "sync/base64.h"
#include "text/ascii.h"
#include "wine_paths.h"

#include <cmath>

namespace orv::mb {
namespace {

constexpr std::size_t kKeptPages = 32;

// Chromium tells of no title change by itself (its target titles fall back to the
// address): each document reports its own title through a binding.
constexpr const char* kTitleBinding = "__orvTitleChanged";
constexpr const char* kTitleWatcher =
    "(function(){var last=null;function check(){var t=document.title;if(t!==last){last=t;"
    "try{__orvTitleChanged(t);}catch(e){}}}"
    "new MutationObserver(check).observe(document,{subtree:true,childList:true,characterData:true});"
    "document.addEventListener('DOMContentLoaded',check);})();";

// A page's window.close() reaches the host as the engine's window closing does: the
// host's answer says whether the view's window goes.
constexpr const char* kCloseBinding = "__orvWindowClose";
constexpr const char* kCloseWatcher =
    "(function(){window.close=function(){try{__orvWindowClose('');}catch(e){}};})();";

Json object() { return Json::object(); }

// The script wrapper that brings any value back as [type, text], text as String() gives it.
std::string typedResult(const std::string& expression) {
    return "(function(){var v=(" + expression +
           "\n);var t=v===null?'null':Array.isArray(v)?'array':typeof v;var s='';"
           "if(v!==undefined&&v!==null){try{s=String(v);}catch(e){}}return [t,s];})()";
}

wkeNavigationType navigationTypeOf(const std::string& reason) {
    if (reason == "anchorClick") return WKE_NAVIGATION_TYPE_LINKCLICK;
    if (reason == "formSubmissionGet" || reason == "formSubmissionPost") return WKE_NAVIGATION_TYPE_FORMSUBMITTE;
    if (reason == "reload") return WKE_NAVIGATION_TYPE_RELOAD;
    if (reason == "historyNavigation") return WKE_NAVIGATION_TYPE_BACKFORWARD;
    return WKE_NAVIGATION_TYPE_OTHER;
}

wkeConsoleLevel consoleLevelOf(const std::string& type) {
    if (type == "warning") return wkeLevelWarning;
    if (type == "error" || type == "assert") return wkeLevelError;
    if (type == "debug") return wkeLevelDebug;
    if (type == "info") return wkeLevelInfo;
    return wkeLevelLog;
}

std::string withoutFragment(const std::string& url) { return url.substr(0, url.find('#')); }

// The text of a console argument as the console itself would print it.
std::string argumentText(JsonView argument) {
    const JsonView value = argument["value"];
    if (value.isString()) return value.str();
    if (argument.has("unserializableValue")) return argument["unserializableValue"].str();
    if (argument["type"].str() == "undefined") return "undefined";
    if (!value.isNull() || argument["subtype"].str() == "null") return jsonText(value.json());
    return argument["description"].str();
}

}  // namespace

WebView::~WebView() {
    if (memoryDc_) {
        SelectObject(memoryDc_, previousBitmap_);
        DeleteDC(memoryDc_);
    }
    if (backBitmap_) DeleteObject(backBitmap_);
}

bool WebView::ensureSession() {
    if (!session_.empty()) return true;
    if (gone_ || attaching_) return false;
    Engine& engine = Engine::instance();
    if (!engine.awaitReady()) return false;
    if (!session_.empty()) return true;  // the ready note attached us meanwhile
    attaching_ = true;
    const Json created = engine.call("Target.createTarget", with({{"url", "about:blank"}}), std::string());
    const std::string target = JsonView(created)["result"]["targetId"].str();
    const Json attached =
        target.empty() ? Json() : engine.call("Target.attachToTarget", with({{"targetId", target}, {"flatten", true}}), std::string());
    const std::string session = JsonView(attached)["result"]["sessionId"].str();
    attaching_ = false;
    if (session.empty()) return false;
    if (gone_) {  // the window went while we waited
        engine.post("Target.closeTarget", with({{"targetId", target}}), std::string());
        return false;
    }
    targetId_ = target;
    session_ = session;
    frameIds_.assign(1, targetId_);  // the main frame's id is the target's
    Json patterns = Json::array();
    patterns.push_back(with({{"urlPattern", "*"}, {"requestStage", "Request"}}));
    const std::pair<const char*, Json> setup[] = {
        {"Page.enable", object()},
        {"Page.setLifecycleEventsEnabled", with({{"enabled", true}})},
        {"Runtime.enable", object()},
        {"Network.enable", object()},
        {"Fetch.enable", with({{"patterns", patterns}})},
        // A hidden headless page would otherwise never hold the focus a caret needs.
        {"Emulation.setFocusEmulationEnabled", with({{"enabled", true}})},
        {"Runtime.addBinding", with({{"name", kTitleBinding}})},
        {"Page.addScriptToEvaluateOnNewDocument", with({{"source", kTitleWatcher}})},
        {"Runtime.addBinding", with({{"name", kCloseBinding}})},
        {"Page.addScriptToEvaluateOnNewDocument", with({{"source", kCloseWatcher}})},
    };
    for (const auto& [method, params] : setup) engine.call(method, params, session_);
    if (!userAgent_.empty()) setUserAgent(userAgent_);
    if (hasBackground_) setBackground(background_);
    if (!cspCheck_) setCspCheck(false);
    applyMetrics();
    startScreencast();
    return true;
}

void WebView::applyMetrics() {
    if (session_.empty()) return;
    // The page keeps its CSS size: device pixels are CSS pixels times the zoom.
    const double cssWidth = std::max(1.0, std::round(width_ / static_cast<double>(zoom_)));
    const double cssHeight = std::max(1.0, std::round(height_ / static_cast<double>(zoom_)));
    Engine::instance().call("Emulation.setDeviceMetricsOverride",
                            with({{"width", static_cast<int>(cssWidth)}, {"height", static_cast<int>(cssHeight)}, {"deviceScaleFactor", static_cast<double>(zoom_)},
                                  {"mobile", false}}),
                            session_);
}

void WebView::startScreencast() {
    if (session_.empty()) return;
    Engine& engine = Engine::instance();
    engine.call("Page.stopScreencast", object(), session_);
    engine.call("Page.startScreencast",
                with({{"format", "png"}, {"maxWidth", std::max(1, width_)}, {"maxHeight", std::max(1, height_)},
                      {"everyNthFrame", 1}}),
                session_);
}

void WebView::onSized() {
    applyMetrics();
    startScreencast();
}

void WebView::setZoom(float zoom) {
    if (!(zoom > 0.05f && zoom < 20.0f)) return;
    zoom_ = zoom;
    onSized();
}

void WebView::setUserAgent(const std::string& agent) {
    userAgent_ = agent;
    if (!session_.empty()) Engine::instance().call("Emulation.setUserAgentOverride", with({{"userAgent", agent}}), session_);
}

void WebView::setBackground(unsigned argb) {
    hasBackground_ = true;
    background_ = argb;
    if (session_.empty()) return;
    const Json colour = with({{"r", static_cast<int>((argb >> 16) & 0xFF)}, {"g", static_cast<int>((argb >> 8) & 0xFF)},
                              {"b", static_cast<int>(argb & 0xFF)}, {"a", ((argb >> 24) & 0xFF) / 255.0}});
    Engine::instance().call("Emulation.setDefaultBackgroundColorOverride", with({{"color", colour}}), session_);
}

void WebView::setCspCheck(bool enabled) {
    cspCheck_ = enabled;
    if (!session_.empty()) Engine::instance().call("Page.setBypassCSP", with({{"enabled", !enabled}}), session_);
}

// ---------------------------------------------------------------- loading

void WebView::navigate(const std::string& url) {
    if (!ensureSession()) return;
    // Returns once the new document is committed (or refused): a script run right after
    // a load meets the new document.
    Engine::instance().call("Page.navigate", with({{"url", url}}), session_);
}

void WebView::loadHtml(const std::string& html) {
    if (html.empty() || !ensureSession()) return;
    Engine& engine = Engine::instance();
    // The page lives in the program's folder under the name the engine we stand in for
    // gives it, so that its relative addresses (view/...) find the files there; its text
    // is served when Chromium asks for it.
    const std::string url = fileUrlOfHostPath(engine.programFolderForBrowser() + "/_miniblink__data_" +
                                              std::to_string(engine.nextPageNumber()) + ".htm");
    servedPages_[url] = html;
    servedOrder_.push_back(url);
    if (servedOrder_.size() > kKeptPages) {
        servedPages_.erase(servedOrder_.front());
        servedOrder_.erase(servedOrder_.begin());
    }
    pendingNavigation_ = WKE_NAVIGATION_TYPE_OTHER;
    navigate(url);
}

void WebView::loadUrl(const std::string& url, int navigationType) {
    if (url.empty()) return;
    pendingNavigation_ = navigationType;
    navigate(browserUrl(url));
}

void WebView::postUrl(const std::string& url, const std::string& body) {
    if (url.empty()) return;
    const std::string address = browserUrl(url);
    pendingPosts_[withoutFragment(address)] = body;
    pendingNavigation_ = WKE_NAVIGATION_TYPE_FORMSUBMITTE;
    navigate(address);
}

void WebView::stopLoading() {
    if (attached()) Engine::instance().call("Page.stopLoading", object(), session_);
}

void WebView::reload() {
    if (!ensureSession()) return;
    pendingNavigation_ = WKE_NAVIGATION_TYPE_RELOAD;
    Engine::instance().call("Page.reload", object(), session_);
}

bool WebView::historyStep(int delta, bool go) {
    if (!attached()) return false;
    Engine& engine = Engine::instance();
    const Json reply = engine.call("Page.getNavigationHistory", object(), session_);
    const JsonView history = JsonView(reply)["result"];
    const std::int64_t index = history["currentIndex"].integer() + delta;
    if (history.isNull() || index < 0 || static_cast<std::size_t>(index) >= history["entries"].size()) return false;
    if (go) {
        pendingNavigation_ = WKE_NAVIGATION_TYPE_BACKFORWARD;
        engine.call("Page.navigateToHistoryEntry", with({{"entryId", history["entries"][static_cast<std::size_t>(index)]["id"].json()}}),
                    session_);
    }
    return true;
}

// ---------------------------------------------------------------- scripts and queries

bool WebView::evaluate(const std::string& expression, JsRecord& result) {
    if (!ensureSession()) return false;
    const Json reply = Engine::instance().call(
        "Runtime.evaluate",
        with({{"expression", typedResult(expression)}, {"returnByValue", true}, {"userGesture", true}}), session_);
    if (reply.is_null() || reply.contains("error")) return false;
    result = JsRecord{};
    const JsonView value = JsonView(reply)["result"]["result"]["value"];
    if (!JsonView(reply)["result"].has("exceptionDetails") && value.size() == 2) {
        result.type = value[0].str();
        result.text = value[1].str();
    }
    return true;
}

std::string WebView::title() {
    JsRecord record;
    return evaluate("document.title", record) ? record.text : title_;
}

void WebView::editorCommand(const char* command) {
    JsRecord ignored;
    evaluate(std::string("document.execCommand(") + jsonQuoted(command) + ")", ignored);
}

std::string WebView::cookies() {
    if (!attached() || url_.empty()) return {};
    Json urls = Json::array();
    urls.push_back(url_);
    const Json reply = Engine::instance().call("Network.getCookies", with({{"urls", urls}}), session_);
    std::string text;
    for (const JsonView cookie : JsonView(reply)["result"]["cookies"].list()) {
        if (!text.empty()) text += "; ";
        text += cookie["name"].str() + "=" + cookie["value"].str();
    }
    return text;
}

void WebView::setCookie(const std::string& url, const std::string& cookie) {
    if (!ensureSession()) return;
    // "name=value; path=/; ..." : the first pair is the cookie, the rest its attributes.
    Json params = with({{"url", url.empty() ? url_ : url}});
    bool first = true;
    std::string_view rest = cookie;
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        const std::string_view part = text::trimBlanks(rest.substr(0, semicolon));
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        const std::size_t equals = part.find('=');
        const std::string name(text::trimBlanks(part.substr(0, equals)));
        const std::string value(equals == std::string_view::npos ? std::string_view() : text::trimBlanks(part.substr(equals + 1)));
        if (first) {
            params["name"] = name;
            params["value"] = value;
            first = false;
        } else if (text::equalsNoCaseAscii(name, "path") || text::equalsNoCaseAscii(name, "domain")) {
            params[text::equalsNoCaseAscii(name, "path") ? "path" : "domain"] = value;
        } else if (text::equalsNoCaseAscii(name, "secure")) {
            params["secure"] = true;
        } else if (text::equalsNoCaseAscii(name, "httponly")) {
            params["httpOnly"] = true;
        }
    }
    if (!first) Engine::instance().call("Network.setCookie", params, session_);
}

wkeWebFrameHandle WebView::frameHandle(const std::string& frameId) {
    if (frameId.empty()) return nullptr;
    for (std::size_t i = 0; i < frameIds_.size(); ++i)
        if (frameIds_[i] == frameId) return reinterpret_cast<wkeWebFrameHandle>(i + 1);
    frameIds_.push_back(frameId);
    return reinterpret_cast<wkeWebFrameHandle>(frameIds_.size());
}

std::string WebView::frameUrl(wkeWebFrameHandle frame) const {
    const std::size_t index = reinterpret_cast<std::size_t>(frame);
    if (index == 0 || index > frameIds_.size()) return {};
    const auto found = frameUrls_.find(frameIds_[index - 1]);
    return found == frameUrls_.end() ? std::string() : found->second;
}

bool WebView::ownsFrame(const std::string& frameId) const {
    return !frameId.empty() && frameUrls_.count(frameId) != 0;
}

// ---------------------------------------------------------------- events

void WebView::onEvent(const std::string& method, JsonView params, const DecodedFrame* frame) {
    if (method == "Page.screencastFrame") {
        if (frame) paintFrame(*frame);
    } else if (method == "Fetch.requestPaused") {
        onRequestPaused(params);
    } else if (method == "Page.javascriptDialogOpening") {
        onDialog(params);
    } else if (method == "Page.windowOpen") {
        onWindowOpen(params);
    } else if (method == "Page.frameNavigated") {
        const JsonView f = params["frame"];
        frameLoaders_[f["id"].str()] = f["loaderId"].str();
        onFrameNavigated(f["id"].str(), f["url"].str() + f["urlFragment"].str(), !f.has("parentId"));
    } else if (method == "Page.navigatedWithinDocument") {
        onFrameNavigated(params["frameId"].str(), params["url"].str(), params["frameId"].str() == targetId_);
    } else if (method == "Page.frameRequestedNavigation") {
        if (params["frameId"].str() == targetId_) pendingNavigation_ = navigationTypeOf(params["reason"].str());
    } else if (method == "Page.lifecycleEvent") {
        onLifecycle(params);
    } else if (method == "Page.frameStartedLoading") {
        onOtherLoad(WKE_DID_START_LOADING, params["frameId"].str());
    } else if (method == "Page.frameStoppedLoading") {
        onOtherLoad(WKE_DID_STOP_LOADING, params["frameId"].str());
    } else if (method == "Runtime.consoleAPICalled") {
        onConsole(params);
    } else if (method == "Runtime.exceptionThrown") {
        onException(params);
    } else if (method == "Runtime.executionContextCreated") {
        const JsonView context = params["context"];
        const std::string frameId = context["auxData"]["frameId"].str();
        contextFrames_[context["id"].integer()] = frameId;
        if (on.wkeOnDidCreateScriptContext.callback)
            on.wkeOnDidCreateScriptContext.callback(handle(), on.wkeOnDidCreateScriptContext.param, frameHandle(frameId),
                                                    reinterpret_cast<void*>(static_cast<std::intptr_t>(context["id"].integer())),
                                                    0, context["auxData"]["isDefault"].boolean() ? 0 : 1);
    } else if (method == "Runtime.executionContextDestroyed") {
        const long long id = params["executionContextId"].integer();
        const std::string frameId = contextFrames_[id];
        contextFrames_.erase(id);
        if (on.wkeOnWillReleaseScriptContext.callback)
            on.wkeOnWillReleaseScriptContext.callback(handle(), on.wkeOnWillReleaseScriptContext.param, frameHandle(frameId),
                                                      reinterpret_cast<void*>(static_cast<std::intptr_t>(id)), 0);
    } else if (method == "Network.requestWillBeSent") {
        requests_[params["requestId"].str()] = {params["request"]["url"].str(), params["frameId"].str(), params["type"].str()};
    } else if (method == "Network.responseReceived") {
        if (on.wkeNetOnResponse.callback) {
            NetJob job;
            const std::string url = reportedUrl(params["response"]["url"].str());
            if (on.wkeNetOnResponse.callback(handle(), on.wkeNetOnResponse.param, url.c_str(), &job))
                Engine::instance().post("Page.stopLoading", object(), session_);
        }
    } else if (method == "Runtime.bindingCalled") {
        if (params["name"].str() == kTitleBinding) onTitle(params["payload"].str());
        if (params["name"].str() == kCloseBinding && onCloseRequested() && window_) DestroyWindow(window_);
    } else if (method == "Network.loadingFinished") {
        onNetworkDone(params, false);
    } else if (method == "Network.loadingFailed") {
        onNetworkDone(params, true);
    }
}

void WebView::onRequestPaused(JsonView params) {
    Engine& engine = Engine::instance();
    const std::string& requestId = params["requestId"].str();
    const std::string& url = params["request"]["url"].str();
    const bool mainDocument = params["resourceType"].str() == "Document" && params["frameId"].str() == targetId_;
    bool navigationRefused = false;
    if (mainDocument && on.wkeOnNavigation.callback) {
        // As in the engine we stand in for, an answer of 0 cancels the navigation: the
        // view keeps the document it has.
        wkeStringOpaque address(reportedUrl(url));
        navigationRefused = !on.wkeOnNavigation.callback(
            handle(), on.wkeOnNavigation.param,
            static_cast<wkeNavigationType>(pendingNavigation_ < 0 ? WKE_NAVIGATION_TYPE_LINKCLICK : pendingNavigation_),
            &address);
    }
    if (mainDocument) pendingNavigation_ = -1;
    if (navigationRefused) {
        engine.post("Fetch.failRequest", with({{"requestId", requestId}, {"errorReason", "Aborted"}}), session_);
        return;
    }
    NetJob job;
    bool refused = false;
    if (on.wkeOnLoadUrlBegin.callback) {
        engine.addJob(&job);
        const std::string reported = reportedUrl(url);
        refused = on.wkeOnLoadUrlBegin.callback(handle(), on.wkeOnLoadUrlBegin.param, reported.c_str(), &job);
        engine.removeJob(&job);
    }
    if (refused || job.cancelled) {
        engine.post("Fetch.failRequest", with({{"requestId", requestId}, {"errorReason", "Aborted"}}), session_);
        return;
    }
    const auto served = servedPages_.find(url);
    if (served != servedPages_.end()) {
        Json headers = Json::array();
        headers.push_back(with({{"name", "Content-Type"}, {"value", "text/html; charset=utf-8"}}));
        engine.post("Fetch.fulfillRequest",
                    with({{"requestId", requestId}, {"responseCode", 200}, {"responseHeaders", headers},
                          {"body", sync::base64Encode(served->second)}}),
                    session_);
        return;
    }
    const auto post = pendingPosts_.find(url);
    if (post != pendingPosts_.end()) {
        Json headers = Json::array();
        for (const auto& [name, value] : params["request"]["headers"].members())
            if (!text::equalsNoCaseAscii(name, "Content-Type")) headers.push_back(with({{"name", name}, {"value", value}}));
        headers.push_back(with({{"name", "Content-Type"}, {"value", "application/x-www-form-urlencoded"}}));
        engine.post("Fetch.continueRequest",
                    with({{"requestId", requestId}, {"method", "POST"}, {"postData", sync::base64Encode(post->second)},
                          {"headers", headers}}),
                    session_);
        pendingPosts_.erase(post);
        return;
    }
    engine.post("Fetch.continueRequest", with({{"requestId", requestId}}), session_);
}

void WebView::onDialog(JsonView params) {
    const std::string& type = params["type"].str();
    wkeStringOpaque message(params["message"].str());
    bool accept = true;
    std::string answer;
    if (type == "alert") {
        if (on.wkeOnAlertBox.callback) on.wkeOnAlertBox.callback(handle(), on.wkeOnAlertBox.param, &message);
    } else if (type == "confirm") {
        // Nobody to ask: the safe answer is Cancel.
        accept = on.wkeOnConfirmBox.callback && on.wkeOnConfirmBox.callback(handle(), on.wkeOnConfirmBox.param, &message);
    } else if (type == "prompt") {
        wkeStringOpaque defaultAnswer(params["defaultPrompt"].str());
        wkeStringOpaque result(params["defaultPrompt"].str());
        accept = on.wkeOnPromptBox.callback &&
                 on.wkeOnPromptBox.callback(handle(), on.wkeOnPromptBox.param, &message, &defaultAnswer, &result);
        answer = text::wideToUtf8(result.wide);
    }
    Json reply = with({{"accept", accept}});
    if (type == "prompt") reply["promptText"] = answer;
    Engine::instance().post("Page.handleJavaScriptDialog", reply, session_);
}

void WebView::onWindowOpen(JsonView params) {
    // The page asked for a new window; the engine closes the page Chromium opens for it,
    // so the host decides alone what happens to the address.
    if (!on.wkeOnCreateView.callback) return;
    wkeWindowFeatures features{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, false, false, false, false, false, false, false};
    for (const JsonView item : params["windowFeatures"].list()) {
        const std::string& feature = item.str();
        const std::size_t equals = feature.find('=');
        const std::string name = feature.substr(0, equals);
        const int number = equals == std::string::npos ? 0 : std::atoi(feature.c_str() + equals + 1);
        if (name == "left") features.x = number;
        if (name == "top") features.y = number;
        if (name == "width") features.width = number;
        if (name == "height") features.height = number;
        if (name == "menubar") features.menuBarVisible = true;
        if (name == "status") features.statusBarVisible = true;
        if (name == "toolbar") features.toolBarVisible = true;
        if (name == "location") features.locationBarVisible = true;
        if (name == "scrollbars") features.scrollbarsVisible = true;
        if (name == "resizable") features.resizable = true;
        if (name == "fullscreen") features.fullscreen = true;
    }
    const std::string url = params["url"].str();
    wkeStringOpaque address(reportedUrl(url));
    const wkeWebView chosen = on.wkeOnCreateView.callback(handle(), on.wkeOnCreateView.param, WKE_NAVIGATION_TYPE_LINKCLICK,
                                                          &address, &features);
    if (chosen && chosen != handle())
        if (const auto other = Engine::instance().find(chosen)) other->loadUrl(url, WKE_NAVIGATION_TYPE_LINKCLICK);
}

void WebView::onConsole(JsonView params) {
    if (!on.wkeOnConsole.callback) return;
    std::string message;
    for (const JsonView argument : params["args"].list()) {
        if (!message.empty()) message += ' ';
        message += argumentText(argument);
    }
    const JsonView frames = params["stackTrace"]["callFrames"];
    std::string stack;
    for (const JsonView f : frames.list()) {
        stack += "    at " + (f["functionName"].str().empty() ? std::string("<anonymous>") : f["functionName"].str()) + " (" +
                 f["url"].str() + ":" + std::to_string(f["lineNumber"].integer() + 1) + ")\n";
    }
    wkeStringOpaque text(message), source(reportedUrl(frames[0]["url"].str())), trace(stack);
    on.wkeOnConsole.callback(handle(), on.wkeOnConsole.param, consoleLevelOf(params["type"].str()), &text, &source,
                             static_cast<unsigned>(frames[0]["lineNumber"].integer() + 1), &trace);
}

void WebView::onException(JsonView params) {
    if (!on.wkeOnConsole.callback) return;
    const JsonView details = params["exceptionDetails"];
    const std::string description = details["exception"]["description"].str();
    wkeStringOpaque text(description.empty() ? details["text"].str() : description), source(details["url"].str()), trace("");
    on.wkeOnConsole.callback(handle(), on.wkeOnConsole.param, wkeLevelError, &text, &source,
                             static_cast<unsigned>(details["lineNumber"].integer() + 1), &trace);
}

void WebView::onFrameNavigated(const std::string& frameId, const std::string& url, bool main) {
    frameUrls_[frameId] = url;
    if (main) url_ = url;
    wkeStringOpaque address(reportedUrl(url));
    if (on.wkeOnURLChanged.callback) on.wkeOnURLChanged.callback(handle(), on.wkeOnURLChanged.param, &address);
    if (on.wkeOnURLChanged2.callback)
        on.wkeOnURLChanged2.callback(handle(), on.wkeOnURLChanged2.param, frameHandle(frameId), &address);
    onOtherLoad(WKE_DID_NAVIGATE, frameId);
}

void WebView::onLifecycle(JsonView params) {
    const std::string& name = params["name"].str();
    const std::string& frameId = params["frameId"].str();
    // Enabling the events replays those of the blank page a target starts with: only
    // documents we saw arrive count.
    const auto loader = frameLoaders_.find(frameId);
    if (loader == frameLoaders_.end() || loader->second != params["loaderId"].str()) return;
    if (name == "DOMContentLoaded") {
        if (on.wkeOnDocumentReady.callback) on.wkeOnDocumentReady.callback(handle(), on.wkeOnDocumentReady.param);
        if (on.wkeOnDocumentReady2.callback)
            on.wkeOnDocumentReady2.callback(handle(), on.wkeOnDocumentReady2.param, frameHandle(frameId));
    } else if (name == "load" && on.wkeOnLoadingFinish.callback) {
        const auto found = frameUrls_.find(frameId);
        wkeStringOpaque address(found == frameUrls_.end() ? std::string() : reportedUrl(found->second));
        on.wkeOnLoadingFinish.callback(handle(), on.wkeOnLoadingFinish.param, &address, WKE_LOADING_SUCCEEDED, nullptr);
    }
}

void WebView::onNetworkDone(JsonView params, bool failed) {
    const auto found = requests_.find(params["requestId"].str());
    if (found == requests_.end()) return;
    const RequestInfo request = found->second;
    requests_.erase(found);
    NetJob job;
    const std::string url = reportedUrl(request.url);
    if (!failed) {
        if (on.wkeOnLoadUrlEnd.callback)
            on.wkeOnLoadUrlEnd.callback(handle(), on.wkeOnLoadUrlEnd.param, url.c_str(), &job, nullptr, 0);
        return;
    }
    if (on.wkeOnLoadUrlFail.callback) on.wkeOnLoadUrlFail.callback(handle(), on.wkeOnLoadUrlFail.param, url.c_str(), &job);
    if (request.type == "Document" && request.frameId == targetId_ && on.wkeOnLoadingFinish.callback) {
        wkeStringOpaque address(url), reason(params["errorText"].str());
        on.wkeOnLoadingFinish.callback(handle(), on.wkeOnLoadingFinish.param, &address,
                                       params["canceled"].boolean() || params["errorText"].str() == "net::ERR_ABORTED"
                                           ? WKE_LOADING_CANCELED
                                           : WKE_LOADING_FAILED,
                                       &reason);
    }
}

void WebView::onOtherLoad(wkeOtherLoadType type, const std::string& frameId) {
    if (!on.wkeOnOtherLoad.callback) return;
    const auto found = frameUrls_.find(frameId);
    const std::string url = found == frameUrls_.end() ? std::string() : reportedUrl(found->second);
    wkeTempCallbackInfo info{static_cast<int>(sizeof(wkeTempCallbackInfo)), frameHandle(frameId), nullptr, url.c_str(), nullptr, nullptr};
    on.wkeOnOtherLoad.callback(handle(), on.wkeOnOtherLoad.param, type, &info);
}

void WebView::onTitle(const std::string& title) {
    if (title == title_) return;
    title_ = title;
    wkeStringOpaque text(title);
    if (on.wkeOnTitleChanged.callback) on.wkeOnTitleChanged.callback(handle(), on.wkeOnTitleChanged.param, &text);
}

void WebView::onDownload(JsonView params) {
    const std::string url = reportedUrl(params["url"].str());
    if (on.wkeOnDownload2.callback) {
        NetJob job;
        wkeNetJobDataBind bind{nullptr, nullptr, nullptr};
        const std::string disposition = "attachment; filename=\"" + params["suggestedFilename"].str() + "\"";
        on.wkeOnDownload2.callback(handle(), on.wkeOnDownload2.param, 0, url.c_str(), "", disposition.c_str(), &job, &bind);
    } else if (on.wkeOnDownload.callback) {
        on.wkeOnDownload.callback(handle(), on.wkeOnDownload.param, url.c_str());
    }
}

void WebView::onTargetGone() {
    session_.clear();
    targetId_.clear();
}

void WebView::onWindowDestroyed() {
    if (gone_) return;
    gone_ = true;
    if (on.wkeOnWindowDestroy.callback) on.wkeOnWindowDestroy.callback(handle(), on.wkeOnWindowDestroy.param);
    if (!targetId_.empty()) Engine::instance().post("Target.closeTarget", with({{"targetId", targetId_}}), std::string());
    session_.clear();
    window_ = nullptr;
    Engine::instance().forgetView(this);
}

bool WebView::onCloseRequested() {
    return !on.wkeOnWindowClosing.callback || on.wkeOnWindowClosing.callback(handle(), on.wkeOnWindowClosing.param);
}

void WebView::onContextMenu() {
    if (on.wkeOnContextMenuItemClick.callback)
        on.wkeOnContextMenuItemClick.callback(handle(), on.wkeOnContextMenuItemClick.param, kWkeContextMenuItemClickTypePrint,
                                              kWkeContextMenuItemClickStepShow, mainFrame(), nullptr);
}

}  // namespace orv::mb
