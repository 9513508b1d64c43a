// Plays the user in front of the progress window from a thread of its own: presses its
// 停止 button and answers the question that follows. Win32 only.
#pragma once

#include "wine/message_boxes.h"

#include <future>

namespace orv::progress_test {

using wine::AnsweredBox;
using wine::answerNextBox;

// Waits for the progress window to be shown, clicks its 停止 button and answers the
// question that follows with `button`.
std::future<AnsweredBox> pressStopWhenShown(int button, unsigned timeoutMs = 5000);

}  // namespace orv::progress_test
