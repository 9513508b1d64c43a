// A program of its own that plays a stranger on the same desktop: it sends the help
// window the page message with each of its commands and the plug-in's registered message
// names, each carrying the addresses it is given, and counts the messages the window did
// not answer within five seconds (its exit status). Win32 only.
//   wild_sender WINDOW ADDRESS...   (hexadecimal)
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) return 100;
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(argv[1], nullptr, 16)));
    std::vector<LPARAM> addresses;
    for (int i = 2; i < argc; ++i) addresses.push_back(static_cast<LPARAM>(std::strtoull(argv[i], nullptr, 16)));
    const UINT registered[] = {RegisterWindowMessageW(L"OrvintaHelp.UiTasks"),
                               RegisterWindowMessageW(L"OrvintaHelp.UiThreadCall")};
    int unanswered = 0;
    const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) ++unanswered;
    };
    for (LPARAM address : addresses) {
        for (WPARAM command = 0x501; command <= 0x504; ++command) send(0x501, command, address);
        for (UINT message : registered) send(message, 0, address);
    }
    return unanswered;
}
