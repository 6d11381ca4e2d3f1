#include "platform/platform.h"

namespace platform {

bool PollConsoleEscapeOncePerTick(ConsoleLook* state, std::uint64_t now) {
  if (state->looked && now == state->tick) return false;
  state->looked = true;
  state->tick = now;
  return PollConsoleEscape();
}

}  // namespace platform
