#include "platform/posix/fault_injection.h"

#include <cerrno>
#include <cstdlib>

#include "platform/fault_plan.h"

namespace platform {

bool InjectedFault(const char* op) {
  const char* value = std::getenv("QUARIX_FAIL");
  if (!CountPlannedFault(value ? value : "", op)) return false;
  errno = EIO;
  return true;
}

}  // namespace platform
