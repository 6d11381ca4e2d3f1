#include "platform/win32/fault_injection.h"

#include <string>

#include "platform/fault_plan.h"
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// The process's environment block, not the runtime's copy: a value set through
// SetEnvironmentVariableA by the host or a test reaches every module.
std::string FaultVariable() {
  char buffer[1024];
  DWORD length = GetEnvironmentVariableA("QUARIX_FAIL", buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

}  // namespace

bool InjectedFault(const char* op) {
  switch (CountPlannedFault(FaultVariable(), op)) {
    case PlannedFault::kNone:
      return false;
    case PlannedFault::kKill:
      TerminateProcess(GetCurrentProcess(), 137);
      ExitProcess(137);  // not reached
    case PlannedFault::kFail:
      break;
  }
  SetLastError(ERROR_IO_DEVICE);
  return true;
}

}  // namespace platform
