// A whole file mapped read-only, by the size it has when it is opened.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/posix/fault_injection.h"

namespace platform {

bool FileView::Open(const char* path) {
  Close();
  if (!path || !*path) return false;
  if (InjectedFault("open")) return false;
  // Without O_NONBLOCK opening a named pipe would wait for a writer; only a regular file
  // is read, and for one the flag changes nothing.
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  // Only a regular file has a size to map; an empty one cannot be mapped, as on Windows.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<std::uint64_t>(st.st_size) > SIZE_MAX) {
    close(fd);
    return false;
  }
  std::size_t length = static_cast<std::size_t>(st.st_size);
  void* address = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) {
    close(fd);
    return false;
  }
  data_ = static_cast<const unsigned char*>(address);
  size_ = length;
  file_ = fd;
  return true;
}

void FileView::Close() {
  if (data_) munmap(const_cast<unsigned char*>(data_), static_cast<std::size_t>(size_));
  if (file_ >= 0) close(static_cast<int>(file_));
  data_ = nullptr;
  size_ = 0;
  file_ = -1;
  mapping_ = -1;
}

}  // namespace platform
