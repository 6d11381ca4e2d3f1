#include "platform/posix/fault_injection.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

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

void ParsePlan(FaultPlan& plan, const char* value) {
  plan.value = value;
  plan.nth.clear();
  plan.calls.clear();
  std::string text = value;
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

}  // namespace

bool InjectedFault(const char* op) {
  const char* value = std::getenv("QUARIX_FAIL");
  FaultPlan& plan = Plan();
  if (!value || !*value) {
    if (!plan.value.empty()) ParsePlan(plan, "");
    return false;
  }
  if (plan.value != value) ParsePlan(plan, value);
  auto wanted = plan.nth.find(op);
  if (wanted == plan.nth.end()) return false;
  if (++plan.calls[op] != wanted->second) return false;
  errno = EIO;
  return true;
}

}  // namespace platform
