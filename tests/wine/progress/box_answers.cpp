// Pressing the progress window's 停止 button from a thread of its own. Win32 only.
#include "progress/box_answers.h"

#include "tools/win32/progress_window.h"

#include <chrono>

namespace orv::progress_test {

std::future<AnsweredBox> pressStopWhenShown(int button, unsigned timeoutMs) {
    return std::async(std::launch::async, [button, timeoutMs] {
        const auto start = std::chrono::steady_clock::now();
        HWND progress = wine::waitForWindow(tools::kProgressWindowClass, timeoutMs);
        if (!progress) return AnsweredBox{};
        PostMessageW(GetDlgItem(progress, tools::kProgressStopId), BM_CLICK, 0, 0);
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const unsigned left = timeoutMs > spent.count() ? timeoutMs - static_cast<unsigned>(spent.count()) : 0;
        return answerNextBox(button, left).get();
    });
}

}  // namespace orv::progress_test
