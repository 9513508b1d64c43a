// Binding the host's services by name. Win32 only.
#include "plugin/win32/host_services.h"

#include "plugin/service_resolution.h"
#include "text/encoding.h"

#include <windows.h>

namespace orv::plugin {
namespace {

HostServices g_services;

template <typename Fn>
void bind(HMODULE host, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(resolveService(name, [host](const std::string& exportName) {
        return reinterpret_cast<void*>(GetProcAddress(host, exportName.c_str()));
    }));
}

}  // namespace

const HostServices& hostServices() { return g_services; }

int resolveHostServices() { return resolveHostServicesFrom(GetModuleHandleW(nullptr)); }

int resolveHostServicesFrom(void* module) {
    HMODULE host = static_cast<HMODULE>(module);
    HostServices s;
    bind(host, "GETEXEAPP", s.getExeApp);
    bind(host, "INSERTTOOL", s.insertTool);
    bind(host, "SQLITEBOX_FIND", s.find);
    bind(host, "SQLITEBOX_FINDONE", s.findOne);
    bind(host, "SQLITEBOX_FINDONLY", s.findOnly);
    bind(host, "SQLITEBOX_COUNT", s.count);
    bind(host, "SQLITEBOX_ADDITEM", s.addItem);
    bind(host, "SQLITEBOX_ADDITEMUTF", s.addItemUtf);
    bind(host, "SQLITEBOX_UPDATE", s.update);
    bind(host, "SQLITEBOX_UPDATEUTF", s.updateUtf);
    bind(host, "SQLITEBOX_DELETEITEM", s.deleteItem);
    bind(host, "SQLITEBOX_MAXID", s.maxId);
    bind(host, "SQLITEBOX_TRANSACTION", s.transaction);
    bind(host, "SQLITEBOX_VACUUM", s.vacuum);
    bind(host, "SQLITEBOX_ERRMSG", s.errMsg);
    for (size_t i = 0; i < kUncalledServices.size(); ++i) {
        const std::string name(kUncalledServices[i]);
        bind(host, name.c_str(), s.uncalled[i]);
    }
    g_services = s;
    int found = 0;
    for (const void* p : {(const void*)s.getExeApp, (const void*)s.insertTool, (const void*)s.find,
                          (const void*)s.findOne, (const void*)s.findOnly, (const void*)s.count,
                          (const void*)s.addItem, (const void*)s.addItemUtf, (const void*)s.update,
                          (const void*)s.updateUtf, (const void*)s.deleteItem, (const void*)s.maxId,
                          (const void*)s.transaction, (const void*)s.vacuum, (const void*)s.errMsg})
        found += p != nullptr;
    return found;
}

std::string hostIdeFolder() {
    if (!g_services.getExeApp) return {};
    const HostAppRecord* app = g_services.getExeApp();
    if (!app || !app->ideFolder) return {};
    const std::wstring folder(app->ideFolder);
    return text::utf16ToUtf8(std::u16string(folder.begin(), folder.end()));
}

}  // namespace orv::plugin
