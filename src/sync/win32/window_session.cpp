// Server sessions of the windows. Win32 only.
#include "sync/win32/window_session.h"

#include "framework/win32/message_loop.h"
#include "sync/http_client.h"

namespace orv::sync {

ServerSession windowSession(const library::Settings& settings, library::Prompter& prompter,
                            library::Progress& progress, std::function<void()> openSetup) {
    ServerSession session{settings, prompter, progress, makeHttpClient()};
    session.openSetup = std::move(openSetup);
    session.wait.pause = [](std::chrono::milliseconds step) {
        framework::WaitDispatching(static_cast<unsigned>(step.count()));
    };
    return session;
}

}  // namespace orv::sync
