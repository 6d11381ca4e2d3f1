// windows.h for the platform layer and the files that also see our host records. Include
// it after "platform/platform.h" or "far/plugin.h": the host's records name DWORD and
// FILETIME themselves, so where they were read windows.h's own types of those names are
// renamed while it is read; elsewhere windows.h keeps them, as its macros need them.
// The windows.h macros that would rename our functions are dropped.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#if defined(FAR_INVALID_HANDLE)  // "far/plugin.h" was read
#define DWORD Win32Dword
#define FILETIME Win32FileTime
#include <windows.h>
#undef DWORD
#undef FILETIME
#else
#include <windows.h>
#endif

#undef DeleteFile
#undef FreeModule
#undef LoadModule
