# Cross-compiling the plugins for 64-bit Windows with mingw-w64 (x86_64, posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUARIX_MINGW x86_64-w64-mingw32)
# The 64-bit loader itself: it needs no 32-bit execution from the kernel.
if(NOT QUARIX_WINE_LOADER)
  set(QUARIX_WINE_LOADER /usr/lib/wine/wine64)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
