// Test-only failures of file operations, chosen by QUARIX_FAIL (see platform.h); only
// builds with tests have them (QUARIX_FAULT_INJECTION).
#pragma once

namespace platform {

// Counts one call of op; true when this call is the one QUARIX_FAIL names (the last error
// is then ERROR_IO_DEVICE and the caller fails as the operation would have).
#ifdef QUARIX_FAULT_INJECTION
bool InjectedFault(const char* op);
#else
// Built without the test hook (every build to ship): nothing fails on demand.
inline bool InjectedFault(const char*) { return false; }
#endif

}  // namespace platform
