// The plug-in's export table as declarations, each of the type the host calls it through,
// so that a definition of another signature or calling convention does not compile.
// Win32 only.
#pragma once

#include "plugin/host_abi.h"

#include <type_traits>

#define ORV_DECLARE_EXPORT(name, type, bytes) extern "C" __declspec(dllexport) std::remove_pointer_t<type> name;
HOST_PLUGIN_EXPORTS(ORV_DECLARE_EXPORT)
#undef ORV_DECLARE_EXPORT
