// Compile-time checks of the binary interface shared with the IDE (host_abi.h): the
// host's services and the plug-in's exports are stdcall, the exports with the argument
// bytes their decorated names carry, and the records that cross have the layout the host
// reads. Nothing here runs. Win32 only; the layouts are checked in the 32-bit build, the
// one that ships, and the x86-64 twin pins its own.
#include "plugin/host_abi.h"
#include "plugin/service_resolution.h"
#include "plugin/win32/exports.h"

#include "framework/win32/calling_convention.h"

#include <cstddef>
#include <iterator>
#include <string_view>
#include <type_traits>

namespace orv::plugin {
namespace {

using framework::abi::kIsStdcall;
using framework::abi::Signature;

static_assert(kIsStdcall<void(HOST_CALL*)()>, "HOST_CALL must name stdcall, the convention of the host's interface");

// The host's services: the list is the binding table's, name for name, and each service
// pops its own arguments.
constexpr std::string_view kListedServices[] = {
#define ORV_SERVICE_NAME(name) #name,
    HOST_CALLED_SERVICES(ORV_SERVICE_NAME)
#undef ORV_SERVICE_NAME
};

constexpr bool listMatchesBinding() {
    if (std::size(kListedServices) != kCalledServices.size()) return false;
    for (std::size_t i = 0; i < kCalledServices.size(); ++i) {
        if (kListedServices[i] != kCalledServices[i]) return false;
    }
    return true;
}
static_assert(listMatchesBinding(), "HOST_CALLED_SERVICES must name the services of kCalledServices, in order");

#define ORV_CHECK_SERVICE(name) static_assert(kIsStdcall<name##_fn>, #name "_fn must be stdcall");
HOST_CALLED_SERVICES(ORV_CHECK_SERVICE)
#undef ORV_CHECK_SERVICE

// The exports: defined with the type the host calls them through (exports.h declares
// them so), stdcall, and in the 32-bit build with the argument bytes of NAME@bytes.
#if defined(_WIN32) && !defined(_WIN64)
#define ORV_CHECK_EXPORT_BYTES(name, type, bytes) \
    static_assert(Signature<type>::kArgumentBytes == (bytes), #name " must take " #bytes " bytes of arguments");
#else
#define ORV_CHECK_EXPORT_BYTES(name, type, bytes)
#endif
#define ORV_CHECK_EXPORT(name, type, bytes)                                                   \
    static_assert(kIsStdcall<type>, #type " must be stdcall");                                \
    static_assert(std::is_same_v<decltype(&name), type>, #name " must have the type " #type); \
    ORV_CHECK_EXPORT_BYTES(name, type, bytes)
HOST_PLUGIN_EXPORTS(ORV_CHECK_EXPORT)
#undef ORV_CHECK_EXPORT
#undef ORV_CHECK_EXPORT_BYTES

#define ORV_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), #type " must be " #bytes " bytes")
#define ORV_AT(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "::" #field " must be at byte " #offset)

#if defined(_WIN32) && !defined(_WIN64)
// The host's string descriptor: text pointer, length, capacity, each a 32-bit value.
ORV_SIZE(HostString, 12);
ORV_AT(HostString, data, 0);
ORV_AT(HostString, length, 4);
ORV_AT(HostString, size, 8);

// The application record: the host reads nothing of ours, we read the IDE folder at 68.
ORV_AT(HostAppRecord, ideFolder, 68);
ORV_SIZE(HostAppRecord, 72);

// A theme record: the name's descriptor, then 30 entries of five 32-bit words.
ORV_SIZE(HostThemeRecord, 12 + HOST_THEME_ENTRIES * 5 * 4);
ORV_AT(HostThemeRecord, name, 0);
ORV_AT(HostThemeRecord, entries, 12);

// The result table and the tree-node record are laid out by us (both sides include
// host_abi.h); pinned so that a field added, moved or widened is a decision, not an accident.
ORV_SIZE(HostTable, 12);
ORV_AT(HostTable, cells, 0);
ORV_AT(HostTable, rows, 4);
ORV_AT(HostTable, columns, 8);

ORV_SIZE(HostTreeNodeRecord, 32);
ORV_AT(HostTreeNodeRecord, id, 0);
ORV_AT(HostTreeNodeRecord, name, 4);
ORV_AT(HostTreeNodeRecord, parentId, 16);
ORV_AT(HostTreeNodeRecord, isCategory, 20);
ORV_AT(HostTreeNodeRecord, lib, 24);
ORV_AT(HostTreeNodeRecord, type, 28);
#elif defined(_WIN64)
// The x86-64 twin runs only against our own host stand-in, which includes the same
// header; the layout is ours there: 8-byte pointers, the 32-bit fields after them.
ORV_SIZE(HostString, 16);
ORV_AT(HostString, length, 8);
ORV_AT(HostString, size, 12);
ORV_AT(HostAppRecord, ideFolder, 72);
ORV_SIZE(HostAppRecord, 80);
ORV_SIZE(HostThemeRecord, 16 + HOST_THEME_ENTRIES * 5 * 4);
ORV_AT(HostThemeRecord, entries, 16);
ORV_SIZE(HostTable, 16);
ORV_AT(HostTable, rows, 8);
ORV_AT(HostTable, columns, 12);
ORV_SIZE(HostTreeNodeRecord, 40);
ORV_AT(HostTreeNodeRecord, name, 8);
ORV_AT(HostTreeNodeRecord, parentId, 24);
ORV_AT(HostTreeNodeRecord, type, 36);
#endif

#undef ORV_SIZE
#undef ORV_AT

}  // namespace
}  // namespace orv::plugin
