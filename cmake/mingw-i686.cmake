# Cross-compiling the plugins for 32-bit Windows with mingw-w64 (i686, posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUARIX_MINGW i686-w64-mingw32)
if(NOT QUARIX_WINE_LOADER)
  set(QUARIX_WINE_LOADER wine)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
