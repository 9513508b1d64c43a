// Finding a host service among the exports of the host's main module.
#include "plugin/service_resolution.h"

namespace orv::plugin {

void* resolveService(std::string_view name, const ExportLookup& lookup) {
    const std::string exact(name);
    if (void* p = lookup(exact)) return p;
    // A decorated name is taken as it stands; a plain one may be exported with its
    // stdcall argument size, which the host is free to choose.
    if (exact.find('@') != std::string::npos) return nullptr;
    for (int bytes = 0; bytes <= 252; bytes += 4)
        if (void* p = lookup(exact + "@" + std::to_string(bytes))) return p;
    return nullptr;
}

}  // namespace orv::plugin
