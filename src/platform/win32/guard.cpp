// Reading a mapped view whose file cannot deliver its bytes (a read error, a network
// drive gone) raises EXCEPTION_IN_PAGE_ERROR. A vectored exception handler catches it for
// the guarded range: the view is replaced by zero pages at the same address, execution
// continues, and the caller learns that what it made must be thrown away. There is no
// jump out of the scan (no longjmp, no __except), so every destructor in it still runs.
// Scans may run on several threads at once: each thread's guarded range is its own (the
// exception is raised on the thread that read the page).
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/mapped_views.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

struct Guard {
  std::uintptr_t begin;
  std::uintptr_t end;
  volatile LONG faulted;
};
// The range of the scan under way on this thread; set before the scan reads a byte.
thread_local Guard* ThreadGuard = nullptr;

std::mutex ViewsLock;
std::vector<const void*> ReplacedViews;  // bases now holding zero pages, not a mapping
int ScansUnderWay = 0;                   // each may add one view

// Unmaps the whole view that holds address and commits zero pages in its place.
bool ReplaceViewWithZeros(std::uintptr_t address) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info)) return false;
  if (info.Type != MEM_MAPPED) return false;
  auto base = reinterpret_cast<std::uintptr_t>(info.AllocationBase);
  // The view's extent: every region that belongs to the same allocation.
  std::uintptr_t end = base;
  for (;;) {
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(reinterpret_cast<void*>(end), &region, sizeof region) ||
        region.AllocationBase != info.AllocationBase)
      break;
    end = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  if (end <= base || !UnmapViewOfFile(reinterpret_cast<void*>(base))) return false;
  void* zeros = VirtualAlloc(reinterpret_cast<void*>(base), end - base,
                             MEM_RESERVE | MEM_COMMIT, PAGE_READONLY);
  if (zeros != reinterpret_cast<void*>(base)) {
    if (zeros) VirtualFree(zeros, 0, MEM_RELEASE);
    return false;
  }
  std::lock_guard<std::mutex> lock(ViewsLock);
  ReplacedViews.push_back(zeros);
  return true;
}

LONG CALLBACK HandleInPageError(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->ExceptionCode != EXCEPTION_IN_PAGE_ERROR || record->NumberParameters < 2)
    return EXCEPTION_CONTINUE_SEARCH;
  // ExceptionInformation[1] is the address that could not be read.
  const auto address = static_cast<std::uintptr_t>(record->ExceptionInformation[1]);
  Guard* guard = ThreadGuard;
  if (!guard || address < guard->begin || address >= guard->end) return EXCEPTION_CONTINUE_SEARCH;
  if (!ReplaceViewWithZeros(address)) return EXCEPTION_CONTINUE_SEARCH;
  guard->faulted = 1;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool ReleaseReplacedView(const void* base) {
  std::lock_guard<std::mutex> lock(ViewsLock);
  for (auto it = ReplacedViews.begin(); it != ReplacedViews.end(); ++it) {
    if (*it != base) continue;
    VirtualFree(const_cast<void*>(base), 0, MEM_RELEASE);
    ReplacedViews.erase(it);
    return true;
  }
  return false;
}

bool RunGuarded(const void* begin, std::uint64_t size, void (*fn)(void*), void* arg) {
  if (!fn) return false;
  const auto first = reinterpret_cast<std::uintptr_t>(begin);
  if (size > UINTPTR_MAX - first) return false;
  {
    // Reserve the list's room now, one place for each scan under way: the handler must not
    // allocate.
    std::lock_guard<std::mutex> lock(ViewsLock);
    ++ScansUnderWay;
    ReplacedViews.reserve(ReplacedViews.size() + static_cast<std::size_t>(ScansUnderWay));
  }
  void* handler = AddVectoredExceptionHandler(1, HandleInPageError);
  if (!handler) {
    std::lock_guard<std::mutex> lock(ViewsLock);
    --ScansUnderWay;
    return false;
  }
  Guard guard{first, first + static_cast<std::uintptr_t>(size), 0};
  ThreadGuard = &guard;
  fn(arg);
  ThreadGuard = nullptr;
  RemoveVectoredExceptionHandler(handler);
  std::lock_guard<std::mutex> lock(ViewsLock);
  --ScansUnderWay;
  return guard.faulted == 0;
}

}  // namespace platform
