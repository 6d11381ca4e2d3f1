#include "platform/fault_plan.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace platform {
namespace {

struct FaultPlan {
  std::string value;                  // the value the plan was made from
  std::map<std::string, long> nth;    // op -> the call that fails
  std::map<std::string, bool> kill;   // op -> that call ends the process instead
  std::map<std::string, long> calls;  // op -> calls so far
};

void ParsePlan(FaultPlan& plan, const std::string& text) {
  plan.value = text;
  plan.nth.clear();
  plan.kill.clear();
  plan.calls.clear();
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(at, end - at);
    std::size_t colon = item.find(':');
    if (colon != std::string::npos) {
      char* rest = nullptr;
      long n = std::strtol(item.c_str() + colon + 1, &rest, 10);
      std::string op = item.substr(0, colon);
      if (n > 0) {
        plan.nth[op] = n;
        plan.kill[op] = std::string(rest) == ":kill";
      }
    }
    at = end + 1;
  }
}

}  // namespace

PlannedFault CountPlannedFault(const std::string& value, const char* op) {
  // Worker threads open, read and write files too: the calls are counted one at a time.
  static std::mutex lock;
  std::lock_guard<std::mutex> hold(lock);
  static FaultPlan plan;
  if (plan.value != value) ParsePlan(plan, value);
  if (value.empty()) return PlannedFault::kNone;
  auto wanted = plan.nth.find(op);
  if (wanted == plan.nth.end() || ++plan.calls[op] != wanted->second) return PlannedFault::kNone;
  return plan.kill[op] ? PlannedFault::kKill : PlannedFault::kFail;
}

}  // namespace platform
