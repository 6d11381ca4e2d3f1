# Shared part of the mingw-w64 toolchain files: QUARIX_MINGW (the target triple) and
# QUARIX_WINE_LOADER (the Wine loader that runs the target's programs) are set first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUARIX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARIX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARIX_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARIX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine on the build machine, each start with a bounded wait.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh
    ${QUARIX_WINE_LOADER})
