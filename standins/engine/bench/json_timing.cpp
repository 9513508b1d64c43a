// Timing of the engine's JSON (not a test): reading the DevTools messages that arrive
// most often or weigh most — a painted frame with its PNG in base64, a request about to
// be sent — and writing the fulfilment of a served page. The frame's base64 decoding,
// the next step on the same reader thread, is timed beside it for scale. Prints the
// median time of one message over N batches.
#include "devtools_json.h"

#include "sync/base64.h"
#include "timing_clock.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using orv::mb::Json;
using orv::mb::JsonView;
using orv::mb::with;
using orv::bench::median;
using orv::bench::nowMs;

// Bytes that compress like a PNG does (not at all), so that the base64 text has the
// length a frame of a full help window has.
std::string pngLikeBytes(std::size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string screencastFrame(std::size_t pngBytes) {
    return R"({"method":"Page.screencastFrame","params":{"data":")" + orv::sync::base64Encode(pngLikeBytes(pngBytes)) +
           R"(","metadata":{"offsetTop":0,"pageScaleFactor":1,"deviceWidth":800,"deviceHeight":600,)"
           R"("scrollOffsetX":0,"scrollOffsetY":0,"timestamp":1765456789.123456},"sessionId":3},)"
           R"("sessionId":"8B1C3F0E9D2A4B7C6E5F4A3B2C1D0E9F"})";
}

// As Chromium sends it: raw UTF-8 in one place, \u escapes (a surrogate pair too) in others.
const char* const kRequestWillBeSent =
    R"({"method":"Network.requestWillBeSent","params":{"requestId":"1234.56","loaderId":"A1B2C3D4E5F6A7B8C9D0E1F2A3B4C5D6",)"
    R"("documentURL":"file:///Z:/work/ide/_miniblink__data_12.htm","request":{"url":"file:///Z:/work/ide/view/)"
    R"(\u5173\u952e\u5b57/keyword.htm?word=PRINT&note=\ud83d\ude00","method":"GET","headers":{"Upgrade-Insecure-Requests":"1",)"
    R"("User-Agent":"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36",)"
    R"("Referer":"file:///Z:/work/ide/关键字.htm"},"mixedContentType":"none","initialPriority":"VeryHigh",)"
    R"("referrerPolicy":"strict-origin-when-cross-origin","isSameSite":true},"timestamp":81234.567891,)"
    R"("wallTime":1765456789.123,"initiator":{"type":"script","stack":{"callFrames":[{"functionName":"load",)"
    R"("scriptId":"17","url":"file:///Z:/work/ide/view/keyword.htm","lineNumber":41,"columnNumber":12},)"
    R"({"functionName":"","scriptId":"17","url":"file:///Z:/work/ide/view/keyword.htm","lineNumber":77,"columnNumber":3}]}},)"
    R"("redirectHasExtraInfo":false,"type":"Document","frameId":"F00DF00DF00DF00DF00DF00DF00DF00D","hasUserGesture":false},)"
    R"("sessionId":"8B1C3F0E9D2A4B7C6E5F4A3B2C1D0E9F"})";

// Milliseconds per call of `work`, median over `batches` batches of `perBatch` calls.
double perCall(int batches, int perBatch, const std::function<bool()>& work) {
    std::vector<double> samples;
    for (int b = 0; b < batches; ++b) {
        const double start = nowMs();
        for (int i = 0; i < perBatch; ++i)
            if (!work()) return -1;
        samples.push_back((nowMs() - start) / perBatch);
    }
    return median(samples);
}

}  // namespace

int main(int argc, char** argv) {
    const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string frame = screencastFrame(300 * 1024);
    const std::string request = kRequestWillBeSent;
    const std::string page(20000, 'x');
    const std::string body = orv::sync::base64Encode(page);

    const double frameMs = perCall(batches, 20, [&] {
        std::string text = frame;  // the engine's reader hands over the text it received
        Json message;
        return orv::mb::parseMessage(text, message) && JsonView(message)["params"]["data"].str().size() > 300 * 1024;
    });
    const double frameCopyMs = perCall(batches, 20, [&] {
        std::string text = frame;
        return text.size() == frame.size();
    });
    const double frameThroughReaderMs = perCall(batches, 20, [&] {
        Json message;
        return orv::mb::parseJson(frame, message) && JsonView(message)["params"]["data"].str().size() > 300 * 1024;
    });
    Json parsedFrame;
    orv::mb::parseJson(frame, parsedFrame);
    const std::string& data = JsonView(parsedFrame)["params"]["data"].str();
    const double decodeMs = perCall(batches, 20, [&] {
        std::string bytes;
        return orv::sync::base64Decode(data, bytes);
    });
    const double requestMs = perCall(batches, 2000, [&] {
        Json message;
        return orv::mb::parseJson(request, message) && !JsonView(message)["params"]["request"]["url"].str().empty();
    });
    const double fulfilMs = perCall(batches, 200, [&] {
        Json headers = Json::array();
        headers.push_back(with({{"name", "Content-Type"}, {"value", "text/html; charset=utf-8"}}));
        const Json params = with({{"requestId", "interception-job-12.0"}, {"responseCode", 200},
                                  {"responseHeaders", std::move(headers)}, {"body", body}});
        return orv::mb::jsonText(params).size() > page.size();
    });

    std::printf("Page.screencastFrame of %zu bytes, parsed: median %.3f ms\n", frame.size(), frameMs);
    std::printf("  of which the copy of its text the reader hands over: median %.3f ms\n", frameCopyMs);
    std::printf("  the same, its image through nlohmann's reader too: median %.3f ms\n", frameThroughReaderMs);
    std::printf("  its base64 image decoded (for scale): median %.3f ms\n", decodeMs);
    std::printf("Network.requestWillBeSent of %zu bytes, parsed: median %.2f us\n", request.size(), requestMs * 1000);
    std::printf("Fetch.fulfillRequest of a %zu-byte page, built and written: median %.2f us\n", page.size(), fulfilMs * 1000);
    return frameMs < 0 || frameCopyMs < 0 || frameThroughReaderMs < 0 || decodeMs < 0 || requestMs < 0 || fulfilMs < 0 ? 1 : 0;
}
