// The Escape poll between files: the console's pending input events are read; a key
// press of Escape is reported, every other event is consumed.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool PollConsoleEscape() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return false;
  bool escape = false;
  for (;;) {
    INPUT_RECORD record;
    unsigned long count = 0;
    // Not a console (a pipe, a file): there is no key to see.
    if (!PeekConsoleInputA(input, &record, 1, &count) || count == 0) break;
    if (!ReadConsoleInputA(input, &record, 1, &count) || count == 0) break;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
        record.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE)
      escape = true;
  }
  return escape;
}

// GetTickCount rather than GetTickCount64, which older Windows lacks; it wraps after 49
// days, which only a difference across the wrap would notice.
std::uint64_t ReadCoarseClock() { return GetTickCount(); }

}  // namespace platform
