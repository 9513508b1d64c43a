// The name under which a host finds one of the plug-in's exports, for the architecture
// being built: 32-bit stdcall exports carry their argument bytes, x86-64 decorates none.
#pragma once

// PLUGIN_EXPORT_NAME("TOOLADD", 4) is "TOOLADD@4" on i686 and "TOOLADD" on x86-64.
#if defined(__i386__) || defined(_M_IX86)
#define PLUGIN_EXPORT_NAME(name, bytes) name "@" #bytes
#else
#define PLUGIN_EXPORT_NAME(name, bytes) name
#endif
