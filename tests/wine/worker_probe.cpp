// A module that starts a timed request and gives up on it at once: the Wine suite unloads
// it while the request's worker still runs. Test only, never shipped.
#include "sync/http_client.h"
#include "sync/timed_request.h"
#include "library/plain_progress.h"

#include <chrono>

// The request's outcome (an HttpOutcome), -1 when it could not even be made.
extern "C" __declspec(dllexport) int abandonRequest(const char* url) {
    try {
        orv::library::PlainProgress progress;
        const orv::sync::TimedWait wait{std::chrono::milliseconds(100), std::chrono::milliseconds(10)};
        return static_cast<int>(orv::sync::TimedGet(orv::sync::makeHttpClient(), url, progress, wait).outcome);
    } catch (...) {
        return -1;
    }
}
