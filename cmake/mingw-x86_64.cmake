# Cross-compiles the same Win32 tree for x86-64. The plug-in ships as the i686 build;
# this one runs the Wine suite under wine64 where the kernel runs no 32-bit programs.
set(ORV_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
