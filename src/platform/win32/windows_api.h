// windows.h for the files that also see our host records. Include it after
// "platform/platform.h" (or "far/plugin.h"): our records name DWORD and FILETIME
// themselves, so windows.h's own types of those names are renamed while it is read,
// and the windows.h macros that would rename our functions are dropped.
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

#undef DeleteFile
#undef FreeModule
#undef LoadModule
