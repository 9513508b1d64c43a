// The HTTP seam over WinINet (Win32 only): what the plug-in and orvhelp.exe use.
#pragma once

#include "sync/http_client.h"

namespace orv::sync {

class WinInetHttpClient : public HttpClient {
public:
    HttpReply HttpGet(const std::string& url, const HttpExtras& extras = {}) override;
    HttpReply HttpPost(const std::string& url, const std::string& body, const HttpExtras& extras = {}) override;
};

}  // namespace orv::sync
