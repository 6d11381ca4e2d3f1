// The plan behind the test-only QUARIX_FAIL setting, shared by both backends: each backend
// reads the setting its own way and sets its own error code.
#pragma once

#include <string>

namespace platform {

enum class PlannedFault {
  kNone,
  kFail,  // the call fails as an I/O error would
  kKill,  // the process ends at once, as if killed, before the call does anything
};

// Counts one call of op under the setting's value ("op:n[:kill][,op:n[:kill]]..."; the
// counts start afresh whenever the value changes) and tells what this call must do.
PlannedFault CountPlannedFault(const std::string& value, const char* op);

}  // namespace platform
