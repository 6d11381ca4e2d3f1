// Reading a mapped file that another process cut short raises SIGBUS. Around one scan the
// pages past the new end are replaced by zero pages, so the scan runs to its end, and the
// caller learns that what it made must be thrown away. No jump out of the scan: every
// destructor in it still runs. Scans may run on several threads at once: the handler is
// installed while any runs, and each thread's guarded range is its own (the fault is
// raised on the thread that read the page).
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>

#include "platform/platform.h"

namespace platform {
namespace {

struct Guard {
  std::uintptr_t begin;
  std::uintptr_t end;
  volatile sig_atomic_t faulted;
};
// The range of the scan under way on this thread; set before the scan reads a byte, so
// the handler finds it in place.
thread_local Guard* ThreadGuard = nullptr;

std::mutex InstallLock;
int ScansUnderWay = 0;  // while above 0, the handler is installed
struct sigaction Previous;

void HandleBusError(int signal, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  Guard* guard = ThreadGuard;
  if (guard && address >= guard->begin && address < guard->end) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void* start = reinterpret_cast<void*>(address & ~(page - 1));
    if (mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
        MAP_FAILED) {
      guard->faulted = 1;
      return;
    }
  }
  // Not ours: the fault happens again under the handler that was there before.
  sigaction(signal, &Previous, nullptr);
}

}  // namespace

bool RunGuarded(const void* begin, std::uint64_t size, void (*fn)(void*), void* arg) {
  Guard guard{reinterpret_cast<std::uintptr_t>(begin), 0, 0};
  guard.end = guard.begin + static_cast<std::uintptr_t>(size);
  {
    std::lock_guard<std::mutex> lock(InstallLock);
    if (ScansUnderWay == 0) {
      struct sigaction action{};
      action.sa_sigaction = HandleBusError;
      action.sa_flags = SA_SIGINFO;
      sigemptyset(&action.sa_mask);
      if (sigaction(SIGBUS, &action, &Previous) != 0) return false;
    }
    ++ScansUnderWay;
  }
  ThreadGuard = &guard;
  fn(arg);
  ThreadGuard = nullptr;
  {
    std::lock_guard<std::mutex> lock(InstallLock);
    if (--ScansUnderWay == 0) sigaction(SIGBUS, &Previous, nullptr);
  }
  return guard.faulted == 0;
}

}  // namespace platform
