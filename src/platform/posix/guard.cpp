// Reading a mapped file that another process cut short raises SIGBUS. Around one scan the
// pages past the new end are replaced by zero pages, so the scan runs to its end, and the
// caller learns that what it made must be thrown away. No jump out of the scan: every
// destructor in it still runs.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"

namespace platform {
namespace {

std::uintptr_t GuardBegin = 0;
std::uintptr_t GuardEnd = 0;
volatile sig_atomic_t Faulted = 0;
struct sigaction Previous;

void HandleBusError(int signal, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  if (address >= GuardBegin && address < GuardEnd) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void* start = reinterpret_cast<void*>(address & ~(page - 1));
    if (mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
        MAP_FAILED) {
      Faulted = 1;
      return;
    }
  }
  // Not ours: the fault happens again under the handler that was there before.
  sigaction(signal, &Previous, nullptr);
}

}  // namespace

bool RunGuarded(const void* begin, std::uint64_t size, void (*fn)(void*), void* arg) {
  struct sigaction action{};
  action.sa_sigaction = HandleBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  GuardBegin = reinterpret_cast<std::uintptr_t>(begin);
  GuardEnd = GuardBegin + static_cast<std::uintptr_t>(size);
  Faulted = 0;
  if (sigaction(SIGBUS, &action, &Previous) != 0) return false;
  fn(arg);
  sigaction(SIGBUS, &Previous, nullptr);
  GuardBegin = GuardEnd = 0;
  return Faulted == 0;
}

}  // namespace platform
