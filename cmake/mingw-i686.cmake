# Cross-compiles the Win32 build, the plug-in that ships: 32-bit MinGW-w64.
set(ORV_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
