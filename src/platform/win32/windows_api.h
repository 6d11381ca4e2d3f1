// windows.h for the backend and for the files that also see the host's records. Include it
// after "platform/platform.h" (or "far/plugin.h"): the host's records name DWORD and
// FILETIME themselves, so windows.h's own types of those names are renamed while it is
// read, and the windows.h macros that would rename our functions are dropped. The
// backend, in namespace platform, speaks Windows' own DWORD.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#define DWORD Win32Dword
#define FILETIME Win32FileTime
#include <windows.h>
#undef DWORD
#undef FILETIME

namespace platform {
using DWORD = ::Win32Dword;
}

#undef DeleteFile
#undef FreeModule
#undef LoadModule
