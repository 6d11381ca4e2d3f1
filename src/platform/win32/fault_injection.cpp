#include "platform/win32/fault_injection.h"

#include <cstdlib>
#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

struct FaultPlan {
  std::string value;                   // the value the plan was made from
  std::map<std::string, long> nth;    // op -> the call that fails
  std::map<std::string, long> calls;  // op -> calls so far
};

FaultPlan& Plan() {
  static FaultPlan plan;
  return plan;
}

void ParsePlan(FaultPlan& plan, const std::string& text) {
  plan.value = text;
  plan.nth.clear();
  plan.calls.clear();
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(at, end - at);
    std::size_t colon = item.find(':');
    if (colon != std::string::npos) {
      long n = std::strtol(item.c_str() + colon + 1, nullptr, 10);
      if (n > 0) plan.nth[item.substr(0, colon)] = n;
    }
    at = end + 1;
  }
}

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
  const std::string value = FaultVariable();
  FaultPlan& plan = Plan();
  if (value.empty()) {
    if (!plan.value.empty()) ParsePlan(plan, "");
    return false;
  }
  if (plan.value != value) ParsePlan(plan, value);
  auto wanted = plan.nth.find(op);
  if (wanted == plan.nth.end()) return false;
  if (++plan.calls[op] != wanted->second) return false;
  SetLastError(ERROR_IO_DEVICE);
  return true;
}

}  // namespace platform
