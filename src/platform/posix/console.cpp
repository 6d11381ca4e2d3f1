// The Escape poll between files: whatever waits on standard input is read without
// blocking; a lone ESC byte is the Escape key, everything else is swallowed. Inside far2l
// standard input never sees a key: there far2l's own console queue is asked.
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace platform {

#if defined(QUARIX_FAR2L)

namespace {

// far2l's WINPORT_CheckForKeyPress(console, key codes, count, flags): one plus the index of
// the first listed key found in the console queue, or 0. Found in far2l's executable at
// run time, so the module needs no far2l library to link or load.
using CheckForKeyPressFn = std::uint32_t (*)(void* console, const std::uint16_t* keys, std::uint32_t count,
                                     std::uint32_t flags);
constexpr std::uint16_t kVirtualKeyEscape = 0x1B;
// Mouse, focus and size events stay queued for far2l; keys other than Escape are
// consumed, as a press of them during a search means nothing.
constexpr std::uint32_t kKeepOtherEvents = 0x100 | 0x004;

CheckForKeyPressFn FindCheckForKeyPress() {
  return reinterpret_cast<CheckForKeyPressFn>(dlsym(RTLD_DEFAULT, "WINPORT_CheckForKeyPress"));
}

}  // namespace

bool PollConsoleEscape() {
  static const CheckForKeyPressFn check = FindCheckForKeyPress();
  if (!check) return false;
  return check(nullptr, &kVirtualKeyEscape, 1, kKeepOtherEvents) != 0;
}

#else

namespace {

// What standard input is, remembered for the file it is (device and inode), so that each
// poll costs one fstat when nothing waits, yet another input put in its place is looked at
// afresh. End of input is remembered the same way.
struct InputKind {
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;
  bool console = false;  // a terminal or a pipe; a regular file or /dev/null holds no keys
  bool reached = false;  // end of input seen
};
InputKind endOfInput;

// An ESC followed by "[" or "O" in the same chunk starts a key sequence (an arrow key
// and the like), not a press of Escape.
bool HoldsLoneEscape(const unsigned char* bytes, ssize_t count) {
  for (ssize_t i = 0; i < count; ++i) {
    if (bytes[i] != 27) continue;
    if (i + 1 < count && (bytes[i + 1] == '[' || bytes[i + 1] == 'O')) continue;
    return true;
  }
  return false;
}

// Reads what is waiting now; false when nothing (more) can be read.
bool ReadPending(int fd, bool* escape) {
  pollfd p{fd, POLLIN, 0};
  int ready = poll(&p, 1, 0);
  if (ready <= 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) return false;
  unsigned char buffer[256];
  ssize_t got = read(fd, buffer, sizeof buffer);
  if (got < 0) {
    if (errno == EAGAIN || errno == EINTR) return false;
    endOfInput.reached = true;  // a read error: treat the input as closed
    return false;
  }
  if (got == 0) {
    endOfInput.reached = true;
    return false;
  }
  *escape = HoldsLoneEscape(buffer, got);
  return true;
}

}  // namespace

bool PollConsoleEscape() {
  constexpr int fd = 0;
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  if (!endOfInput.known || endOfInput.device != st.st_dev || endOfInput.inode != st.st_ino) {
    endOfInput =
        InputKind{true, st.st_dev, st.st_ino, S_ISFIFO(st.st_mode) || isatty(fd) != 0, false};
  }
  if (!endOfInput.console || endOfInput.reached) return false;
  pollfd waiting{fd, POLLIN, 0};
  if (poll(&waiting, 1, 0) <= 0) return false;
  // Non-blocking only while we read: the descriptor is shared with the rest of the
  // process (and maybe with the shell), which expects blocking reads.
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  bool setNonBlocking = !(flags & O_NONBLOCK);
  if (setNonBlocking && fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  bool escape = false;
  while (!escape && ReadPending(fd, &escape)) {
  }
  if (setNonBlocking) fcntl(fd, F_SETFL, flags);
  return escape;
}

#endif

std::uint64_t ReadCoarseClock() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) != 0) return 0;
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace platform
