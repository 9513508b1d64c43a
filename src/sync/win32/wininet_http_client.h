// The HTTP seam over WinINet (Win32 only): what the plug-in and orvhelp.exe use.
#pragma once

#include "sync/http_client.h"
#include "sync/timed_request.h"

namespace orv::sync {

class WinInetHttpClient : public HttpClient, public WorkerThreadSource {
public:
    HttpReply HttpGet(const std::string& url, const HttpExtras& extras = {}) override;
    HttpReply HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras = {}) override;
    // A timed request's worker keeps the module it runs in loaded until it has ended.
    bool startWorker(std::function<void()> work, std::string& error) override;
};

}  // namespace orv::sync
