#include "platform/posix/fault_injection.h"

#include <signal.h>

#include <cerrno>
#include <cstdlib>

#include "platform/fault_plan.h"

namespace platform {

bool InjectedFault(const char* op) {
  const char* value = std::getenv("QUARIX_FAIL");
  switch (CountPlannedFault(value ? value : "", op)) {
    case PlannedFault::kNone:
      return false;
    case PlannedFault::kKill:
      raise(SIGKILL);
      std::abort();  // not reached: SIGKILL cannot be caught
    case PlannedFault::kFail:
      break;
  }
  errno = EIO;
  return true;
}

}  // namespace platform
