// Test-only failures of file operations, chosen by QUARIX_FAIL (see platform.h).
#pragma once

namespace platform {

// Counts one call of op; true when this call is the one QUARIX_FAIL names (the last error
// is then ERROR_IO_DEVICE and the caller fails as the operation would have).
bool InjectedFault(const char* op);

}  // namespace platform
