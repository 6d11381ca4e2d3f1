// The plan behind the test-only QUARIX_FAIL setting, shared by both backends: each backend
// reads the setting its own way and sets its own error code.
#pragma once

#include <string>

namespace platform {

// Counts one call of op under the setting's value ("op:n[,op:n]..."; the counts start
// afresh whenever the value changes). True when this call is the one to fail.
bool CountPlannedFault(const std::string& value, const char* op);

}  // namespace platform
