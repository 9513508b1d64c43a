// Answers this test program's message boxes from a thread of its own. Win32 only.
#include "wine/message_boxes.h"

#include "text/win32/wide_text.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace orv::wine {
namespace {

bool hasClass(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    return GetClassNameW(hwnd, cls, 64) && lstrcmpiW(cls, name) == 0;
}

BOOL CALLBACK collectBox(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && hasClass(hwnd, L"#32770"))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The box's message: the text of its static controls (the icon's is empty).
BOOL CALLBACK collectText(HWND child, LPARAM lp) {
    if (!hasClass(child, L"Static")) return TRUE;
    wchar_t buf[1024] = {};
    GetWindowTextW(child, buf, 1024);
    auto* text = reinterpret_cast<std::string*>(lp);
    if (buf[0]) *text += orv::text::wideToUtf8(buf);
    return TRUE;
}

struct Search {
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK findVisible(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && hasClass(hwnd, search->className)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The button drawn as the default one: what Enter presses.
BOOL CALLBACK findDefault(HWND child, LPARAM lp) {
    if (!hasClass(child, L"Button")) return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return TRUE;
    *reinterpret_cast<int*>(lp) = GetDlgCtrlID(child);
    return FALSE;
}

void pressButton(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace

HWND waitForWindow(const wchar_t* className, unsigned timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Search search{className};
        EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found || std::chrono::steady_clock::now() >= until) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SeenBox readBox(HWND box) {
    SeenBox seen;
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    seen.caption = text::wideToUtf8(caption);
    EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&seen.text));
    return seen;
}

namespace {

AnsweredBox answerBox(int button, unsigned timeoutMs) {
    AnsweredBox result;
    result.box = waitForWindow(L"#32770", timeoutMs);
    if (!result.box) return result;
    result.seen = readBox(result.box);
    EnumChildWindows(result.box, findDefault, reinterpret_cast<LPARAM>(&result.defaultButton));
    pressButton(result.box, button);
    return result;
}

}  // namespace

std::future<AnsweredBox> answerNextBox(int button, unsigned timeoutMs) {
    return std::async(std::launch::async, [button, timeoutMs] { return answerBox(button, timeoutMs); });
}

std::future<std::vector<AnsweredBox>> answerNextBoxes(std::vector<int> buttons, unsigned timeoutMs) {
    return std::async(std::launch::async, [buttons = std::move(buttons), timeoutMs] {
        std::vector<AnsweredBox> answered;
        for (int button : buttons) {
            if (!answered.empty()) {
                const HWND previous = answered.back().box;
                const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
                while (IsWindow(previous) && IsWindowVisible(previous) && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            answered.push_back(answerBox(button, timeoutMs));
            if (!answered.back().box) break;
        }
        return answered;
    });
}

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<SeenBox> out;
    out.swap(seen_);
    return out;
}

void MessageBoxWatcher::watch() {
    while (!stop_) {
        std::vector<HWND> boxes;
        EnumWindows(collectBox, reinterpret_cast<LPARAM>(&boxes));
        // A handle may come back for a later box once its window is gone.
        answered_.erase(std::remove_if(answered_.begin(), answered_.end(), [](HWND h) { return !IsWindow(h); }),
                        answered_.end());
        for (HWND box : boxes) {
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(readBox(box));
            }
            answered_.push_back(box);
            pressButton(box, IDOK);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace orv::wine
