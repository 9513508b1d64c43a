// Finding this process's windows from a thread of its own, pressing their buttons, and
// reading a message box back. Win32 only.
#include "progress/box_answers.h"

#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include <chrono>
#include <thread>

namespace orv::progress_test {
namespace {

struct Search {
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK findVisible(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 64) &&
        lstrcmpiW(cls, search->className) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(const wchar_t* className, std::chrono::steady_clock::time_point until) {
    for (;;) {
        Search search{className};
        EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found || std::chrono::steady_clock::now() >= until) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The box's message: the text of its static controls (the icon's is empty).
BOOL CALLBACK collectText(HWND child, LPARAM lp) {
    wchar_t cls[16] = {};
    if (!GetClassNameW(child, cls, 16) || lstrcmpiW(cls, L"Static") != 0) return TRUE;
    wchar_t buf[1024] = {};
    GetWindowTextW(child, buf, 1024);
    if (buf[0]) *reinterpret_cast<std::string*>(lp) += text::wideToUtf8(buf);
    return TRUE;
}

// The button drawn as the default one: what Enter presses.
BOOL CALLBACK findDefault(HWND child, LPARAM lp) {
    wchar_t cls[16] = {};
    if (!GetClassNameW(child, cls, 16) || lstrcmpiW(cls, L"Button") != 0) return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return TRUE;
    *reinterpret_cast<int*>(lp) = GetDlgCtrlID(child);
    return FALSE;
}

AnsweredBox answer(int button, std::chrono::steady_clock::time_point until) {
    AnsweredBox result;
    result.box = waitForWindow(L"#32770", until);
    if (!result.box) return result;
    wchar_t caption[256] = {};
    GetWindowTextW(result.box, caption, 256);
    result.seen.caption = text::wideToUtf8(caption);
    EnumChildWindows(result.box, collectText, reinterpret_cast<LPARAM>(&result.seen.text));
    EnumChildWindows(result.box, findDefault, reinterpret_cast<LPARAM>(&result.defaultButton));
    PostMessageW(result.box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(result.box, button)));
    return result;
}

std::chrono::steady_clock::time_point after(unsigned ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

}  // namespace

std::future<AnsweredBox> answerNextBox(int button, unsigned timeoutMs) {
    return std::async(std::launch::async, [button, timeoutMs] { return answer(button, after(timeoutMs)); });
}

std::future<AnsweredBox> pressStopWhenShown(int button, unsigned timeoutMs) {
    return std::async(std::launch::async, [button, timeoutMs] {
        const auto until = after(timeoutMs);
        HWND progress = waitForWindow(tools::kProgressWindowClass, until);
        if (!progress) return AnsweredBox{};
        PostMessageW(GetDlgItem(progress, tools::kProgressStopId), BM_CLICK, 0, 0);
        return answer(button, until);
    });
}

}  // namespace orv::progress_test
