// Reading a whole file into memory: settings keys, and our host's editor and language files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace platform {

ReadResult ReadWholeFile(const char* path, std::uint64_t limit, std::string* bytes,
                         std::string* reason) {
  bytes->clear();
  // Without O_NONBLOCK opening a named pipe would wait for the other side; on a regular
  // file the flag does nothing.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return errno == ENOENT ? ReadResult::kMissing : ReadResult::kCannotOpen;
  }
  struct stat st;
  ReadResult result = ReadResult::kRead;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result = ReadResult::kNotRegular;
  } else if (static_cast<std::uint64_t>(st.st_size) > limit) {
    result = ReadResult::kTooLarge;
  } else {
    // Up to the end as it stands when reached: the file may grow while it is read.
    char buffer[65536];
    for (;;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        if (reason) *reason = std::strerror(errno);
        result = ReadResult::kCannotRead;
        break;
      }
      if (got == 0) break;
      if (static_cast<std::uint64_t>(got) > limit - bytes->size()) {
        result = ReadResult::kTooLarge;
        break;
      }
      bytes->append(buffer, static_cast<std::size_t>(got));
    }
  }
  close(fd);
  return result;
}

}  // namespace platform
