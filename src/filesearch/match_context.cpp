#include "filesearch/match_context.h"

namespace {
constexpr int kMaxCallsBetweenClocks = 64;
}  // namespace

bool MatchContext::LookAtConsole(std::uint64_t now) {
  return watchesConsole_ && platform::PollConsoleEscapeOncePerTick(&consoleLook_, now);
}

int MatchContext::PollEscape() { return LookAtConsole(platform::ReadCoarseClock()) ? 1 : 0; }

int MatchContext::ReadClockWithinFile() {
  // A worker does not look at the console: it sees the stop the host's thread sets, at
  // once, for the price of one load.
  if (!watchesConsole_) {
    callsUntilClock_ = 1;
    return Stopped() ? 1 : 0;
  }
  const std::uint64_t now = platform::ReadCoarseClock();
  if (consoleLook_.looked && now == consoleLook_.tick) {
    if (callsBetweenClocks_ < kMaxCallsBetweenClocks) callsBetweenClocks_ *= 2;
    callsUntilClock_ = callsBetweenClocks_;
    return 0;
  }
  callsBetweenClocks_ = callsUntilClock_ = 1;
  if (!LookAtConsole(now)) return 0;
  Stop();
  return 1;
}
