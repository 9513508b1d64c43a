// The server session of a window of the plug-in: messages over the window, the progress
// window, the platform's HTTP client, and waits that keep dispatching the thread's
// messages, so that the windows repaint and the progress window's 停止 button is heard
// while a request runs. Win32 only.
#pragma once

#include "library/progress.h"
#include "library/prompt.h"
#include "library/settings.h"
#include "sync/server_protocol.h"

#include <functional>

namespace orv::sync {

// `openSetup` opens the setup window after the server refused the account; every window
// says what that means for it (the setup window itself has nothing to open).
ServerSession windowSession(const library::Settings& settings, library::Prompter& prompter,
                            library::Progress& progress, std::function<void()> openSetup);

}  // namespace orv::sync
