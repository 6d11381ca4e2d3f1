// The hold on a temporary file: flock on its open file, which every descriptor of that
// open file keeps and which ends with the last of them, so with the process.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace platform {

void FileHold::Release() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
  handle_ = -1;
}

bool File::Hold(const char*, FileHold* hold) const {
  hold->Release();
  if (handle_ < 0 || !writing_) return false;
  const int fd = static_cast<int>(handle_);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
  // A process that removed a dead-looking file before the lock was taken: the name is
  // gone, and this file with it.
  struct stat st;
  if (fstat(fd, &st) != 0 || st.st_nlink == 0) return false;
  // A descriptor of its own keeps the lock once the file is closed.
  const int kept = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (kept < 0) return false;
  hold->handle_ = kept;
  return true;
}

Removal RemoveUnheldFile(const char* path) {
  if (!path || !*path) return Removal::kFailed;
  // O_NONBLOCK: opening a named pipe would wait for a writer.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return errno == EACCES ? Removal::kHeld : Removal::kFailed;
  Removal result = Removal::kFailed;
  struct stat held, named;
  if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
    result = Removal::kFailed;
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    result = Removal::kHeld;
  } else if (lstat(path, &named) == 0 && named.st_dev == held.st_dev &&
             named.st_ino == held.st_ino && unlink(path) == 0) {
    // Still the file that was locked: nobody can take it while the lock is ours.
    result = Removal::kRemoved;
  }
  close(fd);
  return result;
}

}  // namespace platform
