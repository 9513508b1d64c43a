// A host that exports no services at all: the plug-in loads, answers every export and
// never crashes, even with no toolbar and no libraries to reach.
#include "plugin/host_abi.h"
#include "standins/host/plugin_export_name.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int passed = 0, failed = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    (ok ? passed : failed)++;
}

template <typename Fn>
Fn exportOf(HMODULE m, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: bare_host OrvintaHelp.dll\n");
        return 2;
    }
    HMODULE m = LoadLibraryA(argv[1]);
    check(m != nullptr, "the plug-in loads");
    if (!m) return 1;
    HostString name{}, description{};
    check(exportOf<INITIALIZATION_fn>(m, PLUGIN_EXPORT_NAME("INITIALIZATION", 8))(&name, &description) == 3, "INITIALIZATION returns 3");
    check(name.data && std::string(name.data) == "OrvintaHelp", "the name is assigned");
    int32_t next = 7;
    exportOf<TOOLADD_fn>(m, PLUGIN_EXPORT_NAME("TOOLADD", 4))(&next);
    check(next == 9, "TOOLADD advances the counter by 2 without INSERTTOOL");
    const auto menuCommand = exportOf<MENUCOMMAND_fn>(m, PLUGIN_EXPORT_NAME("MENUCOMMAND", 4));
    check(menuCommand(3) == 0, "a foreign id is not handled");
    check(menuCommand(7) == 1, "the base id opens the window without an IDE folder");
    HWND help = FindWindowW(L"OrvintaHelp", nullptr);
    check(help != nullptr, "the window exists");
    if (help) SendMessageW(help, WM_CLOSE, 0, 0);
    check(FindWindowW(L"OrvintaHelp", nullptr) == nullptr, "closing it leaves no window");
    check(exportOf<ORVINTACLOSE_fn>(m, PLUGIN_EXPORT_NAME("ORVINTACLOSE", 4))(0) == 0, "ORVINTACLOSE returns 0");
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
