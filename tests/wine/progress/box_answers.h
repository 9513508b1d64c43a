// Plays the user in front of the progress window's question from a thread of its own:
// finds the message box that appears, reads it, and presses the button the test chose
// (the suite's MessageBoxWatcher only ever presses OK). Win32 only.
#pragma once

#include "wine/message_boxes.h"

#include <windows.h>

#include <future>

namespace orv::progress_test {

struct AnsweredBox {
    HWND box = nullptr;  // null when none appeared in time
    wine::SeenBox seen;
    int defaultButton = 0;  // the id Enter would press
};

// Waits up to `timeoutMs` for a message box of this process, reads it and posts the
// press of `button` (IDYES, IDNO, ...). Runs on a thread of its own from the call on.
std::future<AnsweredBox> answerNextBox(int button, unsigned timeoutMs = 5000);

// Waits for the progress window to be shown, clicks its 停止 button and answers the
// question that follows with `button`.
std::future<AnsweredBox> pressStopWhenShown(int button, unsigned timeoutMs = 5000);

}  // namespace orv::progress_test
