// Binding the host's services by name. Win32 only.
#include "plugin/win32/host_services.h"

#include "plugin/service_resolution.h"
#include "text/encoding.h"
#include "text/win32/wide_text.h"

#include <windows.h>

namespace orv::plugin {
namespace {

HostServices g_services;

// Fills `slot` with the service found under `name` (null when the host has none).
template <typename Fn>
bool bind(HMODULE host, std::string_view name, Fn& slot) {
    slot = reinterpret_cast<Fn>(resolveService(name, [host](const std::string& exportName) {
        return reinterpret_cast<void*>(GetProcAddress(host, exportName.c_str()));
    }));
    return slot != nullptr;
}

}  // namespace

const HostServices& hostServices() { return g_services; }

int resolveHostServices() { return resolveHostServicesFrom(GetModuleHandleW(nullptr)); }

int resolveHostServicesFrom(void* module) {
    HMODULE host = static_cast<HMODULE>(module);
    HostServices s;
    // In the order of kCalledServices, which names each of them once.
    const auto bindCalled = [&](auto&... slots) {
        static_assert(sizeof...(slots) == kCalledServices.size(), "one slot per called service");
        size_t i = 0;
        int found = 0;
        ((found += bind(host, kCalledServices[i++], slots)), ...);
        return found;
    };
    const int found = bindCalled(s.getExeApp, s.insertTool, s.find, s.findOne, s.findOnly, s.count, s.addItem,
                                 s.addItemUtf, s.update, s.updateUtf, s.deleteItem, s.maxId, s.transaction, s.vacuum,
                                 s.errMsg);
    for (size_t i = 0; i < kUncalledServices.size(); ++i) bind(host, kUncalledServices[i], s.uncalled[i]);
    g_services = s;
    return found;
}

std::string hostIdeFolder() {
    if (!g_services.getExeApp) return {};
    const HostAppRecord* app = g_services.getExeApp();
    if (!app || !app->ideFolder) return {};
    const std::wstring folder(app->ideFolder);
    return text::wideToUtf8(folder);
}

}  // namespace orv::plugin
