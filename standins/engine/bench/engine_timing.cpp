// Timing of the stand-in engine (not a test): a keyword-like page from text until its
// first painted frame, a script round trip through the engine, and a bare DevTools round
// trip over a WebSocket of its own. Prints the median of each over N runs.
#include "websocket_client.h"  // first: Winsock before <windows.h>

#include "chromium_process.h"
#include "devtools_json.h"

#include "framework/win32/wke_api.h"
#include "timing_clock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

extern "C" __declspec(dllimport) void WKE_CALL wkeInitialize();
extern "C" __declspec(dllimport) wkeWebView WKE_CALL wkeCreateWebWindow(wkeWindowType, HWND, int, int, int, int);
extern "C" __declspec(dllimport) void WKE_CALL wkeLoadHTML(wkeWebView, const utf8*);
extern "C" __declspec(dllimport) jsValue WKE_CALL wkeRunJSW(wkeWebView, const wchar_t*);
extern "C" __declspec(dllimport) const utf8* WKE_CALL jsToString(jsExecState, jsValue);
extern "C" __declspec(dllimport) void WKE_CALL wkeOnPaintUpdated(wkeWebView, wkePaintUpdatedCallback, void*);
extern "C" __declspec(dllimport) void WKE_CALL wkeDestroyWebWindow(wkeWebView);

namespace {

using orv::mb::Json;
using orv::mb::JsonView;
using orv::mb::with;

using orv::bench::median;
using orv::bench::nowMs;

bool pumpUntil(const std::function<bool()>& done, int limitMs) {
    const double deadline = nowMs() + limitMs;
    while (!done()) {
        if (nowMs() >= deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

// A page like a keyword page: a stylesheet, a heading, a declaration table, sample code.
std::string keywordPage(int variant) {
    std::string page =
        "<!DOCTYPE html><html><head><meta charset=utf-8><title>Keyword</title><style>"
        "body{font:14px/1.5 'Segoe UI',sans-serif;margin:12px;color:#222}h1{font-size:22px;color:#036}"
        "table{border-collapse:collapse;width:100%}td,th{border:1px solid #ccc;padding:2px 6px}"
        "pre{background:#f4f4f8;padding:8px}.kw{color:#00f;font-weight:bold}.str{color:#a31515}.cm{color:#080}"
        "</style></head><body><h1>PRINT " + std::to_string(variant) + "</h1><table><tr><th>Parameter</th><th>Meaning</th></tr>";
    for (int i = 0; page.size() < 20000; ++i)
        page += "<tr><td>expression" + std::to_string(i) + "</td><td>The value written to the screen; separators "
                "<span class=kw>;</span> and <span class=kw>,</span> decide the position.</td></tr>"
                "<tr><td colspan=2><pre><span class=kw>Dim</span> a <span class=kw>As Integer</span> = " + std::to_string(i) +
                " <span class=cm>' sample</span>\n<span class=kw>Print</span> <span class=str>\"a =\"</span>; a</pre></td></tr>";
    return page + "</table></body></html>";
}

void WKE_CALL onPaint(wkeWebView, void* counter, const HDC, int, int, int, int) { ++*static_cast<int*>(counter); }

// Runtime.evaluate round trips on a Chromium and a WebSocket of our own.
std::vector<double> bareDevToolsRoundTrips(int runs) {
    std::vector<double> samples;
    orv::mb::ChromiumProcess chromium;
    std::string error, path;
    std::atomic<bool> never{false};
    int port = 0;
    orv::mb::WebSocketClient socket;
    if (!chromium.start(error) || !chromium.waitForEndpoint(10000, never, port, path, error) ||
        !socket.connect(port, path, 5000, error)) {
        std::printf("bare DevTools: %s\n", error.c_str());
        return samples;
    }
    int nextId = 0;
    auto call = [&](const std::string& method, Json params, const std::string& session) -> Json {
        Json command = with({{"id", ++nextId}, {"method", method}, {"params", std::move(params)}});
        if (!session.empty()) command["sessionId"] = session;
        if (!socket.sendText(orv::mb::jsonText(command))) return Json();
        std::string text;
        while (socket.receive(text, 5000) == orv::mb::WebSocketClient::Read::Message) {
            Json reply;
            if (orv::mb::parseJson(text, reply) && JsonView(reply)["id"].integer() == nextId) return reply;
        }
        return Json();
    };
    const Json created = call("Target.createTarget", with({{"url", "about:blank"}}), "");
    const std::string target = JsonView(created)["result"]["targetId"].str();
    const Json attached = call("Target.attachToTarget", with({{"targetId", target}, {"flatten", true}}), "");
    const std::string session = JsonView(attached)["result"]["sessionId"].str();
    const Json evaluate = with({{"expression", "1+1"}, {"returnByValue", true}});
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        const Json reply = call("Runtime.evaluate", evaluate, session);
        if (JsonView(reply)["result"]["result"]["value"].integer() == 2) samples.push_back(nowMs() - start);
    }
    call("Browser.close", Json::object(), "");
    socket.close();
    chromium.stop();
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    wkeInitialize();
    HWND host = CreateWindowExW(0, L"STATIC", L"timing", WS_OVERLAPPEDWINDOW, 0, 0, 820, 640, nullptr, nullptr, nullptr, nullptr);
    const wkeWebView view = wkeCreateWebWindow(WKE_WINDOW_TYPE_CONTROL, host, 0, 0, 800, 600);
    if (!view) {
        std::printf("no view\n");
        return 1;
    }
    int paints = 0;
    wkeOnPaintUpdated(view, onPaint, &paints);
    wkeLoadHTML(view, keywordPage(0).c_str());  // warms Chromium up
    pumpUntil([&] { return paints > 0; }, 15000);

    std::vector<double> loads, scripts;
    for (int i = 1; i <= runs; ++i) {
        const std::string page = keywordPage(i);
        const int before = paints;
        const double start = nowMs();
        wkeLoadHTML(view, page.c_str());
        if (pumpUntil([&] { return paints > before; }, 10000)) loads.push_back(nowMs() - start);
    }
    for (int i = 0; i < runs * 10; ++i) {
        const double start = nowMs();
        const std::string two = jsToString(nullptr, wkeRunJSW(view, L"return 1+1"));
        if (two == "2") scripts.push_back(nowMs() - start);
    }
    wkeDestroyWebWindow(view);
    DestroyWindow(host);
    const std::vector<double> bare = bareDevToolsRoundTrips(runs * 10);
    std::printf("page of %zu bytes from text to its first painted frame: median %.1f ms (%zu of %d runs)\n",
                keywordPage(1).size(), median(loads), loads.size(), runs);
    std::printf("wkeRunJSW(\"return 1+1\") round trip: median %.2f ms (%zu runs)\n", median(scripts), scripts.size());
    std::printf("bare DevTools Runtime.evaluate round trip: median %.2f ms (%zu runs)\n", median(bare), bare.size());
    return loads.empty() || scripts.empty() || bare.empty() ? 1 : 0;
}
