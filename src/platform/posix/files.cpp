// Files for the replace engine: read, create exclusively, write, flush, rename without and
// with replacing, link, delete, what a file is and what it carries beyond its bytes, and
// the resolution of links.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/fault_injection.h"

namespace platform {
namespace {

// Keeps the bytes of one call below what a single read or write may move.
constexpr std::uint64_t kMaxChunk = 1u << 30;

bool RenameWithoutReplacing(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // A file system without the flag: a link cannot replace anything, and the old name
  // goes only once the new one exists.
  if (link(from, to) != 0) return false;
  if (unlink(from) != 0) {
    int saved = errno;
    unlink(to);
    errno = saved;
    return false;
  }
  return true;
}

// Opens path with access (O_RDONLY or O_WRONLY) when it is a regular file; -1 otherwise.
int OpenRegularFile(const char* path, int access, struct stat* st) {
  // Without O_NONBLOCK opening a named pipe would wait for the other side: only regular
  // files are opened, and on those the flag has no effect.
  int fd = open(path, access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

void FillInfo(const struct stat& st, FileInfo* info) {
  info->size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  info->mode = static_cast<std::uint32_t>(st.st_mode & 07777);
  info->regular = S_ISREG(st.st_mode);
  info->device = static_cast<std::uint64_t>(st.st_dev);
  info->index = static_cast<std::uint64_t>(st.st_ino);
  info->links = static_cast<std::uint32_t>(st.st_nlink);
  info->modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  info->changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
}

// Fills bytes by get(buffer, size), which answers as listxattr and getxattr do. The size
// asked for first may have grown before the second call: then it is asked again.
template <typename Get>
bool ReadAttributeBytes(std::vector<char>& bytes, Get get) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    ssize_t size = get(nullptr, 0);
    if (size < 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    if (size == 0) return true;
    size = get(bytes.data(), bytes.size());
    if (size >= 0) {
      bytes.resize(static_cast<std::size_t>(size));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

// Every extended attribute of from (the access lists among them) onto the open file.
bool CopyExtendedAttributes(const char* from, int to) {
  std::vector<char> names;
  if (!ReadAttributeBytes(names, [&](char* b, std::size_t n) { return listxattr(from, b, n); }))
    return errno == ENOTSUP;  // a file system without them: nothing to keep
  names.push_back('\0');       // every name ends, the last one too
  bool ok = true;
  std::vector<char> value;
  for (std::size_t at = 0; at + 1 < names.size(); at += std::strlen(names.data() + at) + 1) {
    const char* name = names.data() + at;
    if (!ReadAttributeBytes(value,
                            [&](char* b, std::size_t n) { return getxattr(from, name, b, n); }) ||
        fsetxattr(to, name, value.data(), value.size(), 0) != 0)
      ok = false;
  }
  return ok;
}

}  // namespace

bool File::OpenForReading(const char* path, std::uint64_t* size) {
  Abandon();
  if (!path || !*path || InjectedFault("open")) return false;
  struct stat st;
  int fd = OpenRegularFile(path, O_RDONLY, &st);
  if (fd < 0) return false;
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  handle_ = fd;
  writing_ = false;
  return true;
}

bool File::CreateNew(const char* path, std::uint32_t mode) {
  Abandon();
  if (!path || !*path || InjectedFault("create")) return false;
  const mode_t bits = static_cast<mode_t>(mode & 07777);
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, bits | S_IWUSR);
  if (fd < 0) return false;
  // The umask must not change the bits the new version takes over from the old one.
  if (fchmod(fd, bits) != 0) {
    close(fd);
    unlink(path);
    return false;
  }
  handle_ = fd;
  writing_ = true;
  return true;
}

bool File::OpenForRewriting(const char* path) {
  Abandon();
  if (!path || !*path || InjectedFault("rewrite")) return false;
  struct stat st;
  int fd = OpenRegularFile(path, O_WRONLY, &st);
  if (fd < 0) return false;
  handle_ = fd;
  writing_ = true;
  return true;
}

bool File::QueryInfo(FileInfo* info) const {
  struct stat st;
  if (handle_ < 0 || !info || fstat(static_cast<int>(handle_), &st) != 0) return false;
  FillInfo(st, info);
  return true;
}

bool File::AdoptMetadata(const char* original, std::uint32_t mode) {
  if (handle_ < 0 || !writing_ || !original) return false;
  const int fd = static_cast<int>(handle_);
  struct stat st;
  if (stat(original, &st) != 0) return false;
  bool ok = true;
  // Only the superuser gives a file away; a member of the group may still set the group.
  if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0)
    ok = false;
  if (fchmod(fd, static_cast<mode_t>(mode & 07777)) != 0) ok = false;
  // After the mode: an access list sets the group bits to its own mask.
  if (!CopyExtendedAttributes(original, fd)) ok = false;
  return ok;
}

bool File::SetSize(std::uint64_t size) {
  if (handle_ < 0 || !writing_ || InjectedFault("size")) return false;
  if (size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0;
}

bool File::QuerySize(std::uint64_t* size) const {
  struct stat st;
  if (handle_ < 0 || fstat(static_cast<int>(handle_), &st) != 0 || st.st_size < 0) return false;
  *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

std::int64_t File::Read(void* data, std::uint64_t count) {
  if (handle_ < 0 || InjectedFault("read")) return -1;
  std::uint64_t done = 0;
  auto* bytes = static_cast<unsigned char*>(data);
  while (done < count) {
    std::uint64_t chunk = count - done < kMaxChunk ? count - done : kMaxChunk;
    ssize_t n = read(static_cast<int>(handle_), bytes + done, static_cast<std::size_t>(chunk));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::uint64_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

bool File::Write(const void* data, std::uint64_t count) {
  if (handle_ < 0 || !writing_ || InjectedFault("write")) return false;
  std::uint64_t done = 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (done < count) {
    std::uint64_t chunk = count - done < kMaxChunk ? count - done : kMaxChunk;
    ssize_t n = write(static_cast<int>(handle_), bytes + done, static_cast<std::size_t>(chunk));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<std::uint64_t>(n);
  }
  return true;
}

bool File::StartFlush() {
  if (handle_ < 0 || !writing_ || InjectedFault("flush")) return false;
  return sync_file_range(static_cast<int>(handle_), 0, 0, SYNC_FILE_RANGE_WRITE) == 0;
}

// An fsync per file waits for one commit of the journal and one flush of the disk's cache
// each, even when the files were written back together; one syncfs per file system waits
// for them once. syncfs reports the file system's write errors since the descriptor was
// opened, a waiting sync_file_range then the file's own, without another flush. Where
// either cannot answer (another file's error, a file system without them), the file is
// flushed on its own.
void File::CloseTogether(File* const* files, std::size_t count, bool* flushed) {
  std::vector<std::pair<dev_t, bool>> synced;  // file system, and whether its sync worked
  for (std::size_t i = 0; i < count; ++i) {
    const File& file = *files[i];
    struct stat st;
    if (file.handle_ < 0 || !file.writing_ || fstat(static_cast<int>(file.handle_), &st) != 0)
      continue;
    bool known = false;
    for (const auto& entry : synced) known = known || entry.first == st.st_dev;
    if (known) continue;
    synced.emplace_back(st.st_dev,
                        !InjectedFault("sync") && syncfs(static_cast<int>(file.handle_)) == 0);
  }
  for (std::size_t i = 0; i < count; ++i) {
    flushed[i] = false;
    File& file = *files[i];
    if (file.handle_ < 0) continue;
    const int fd = static_cast<int>(file.handle_);
    bool ok = file.writing_ && !InjectedFault("close");
    if (ok) {
      struct stat st;
      bool deviceSynced = false;
      if (fstat(fd, &st) == 0)
        for (const auto& entry : synced)
          if (entry.first == st.st_dev) deviceSynced = entry.second;
      constexpr unsigned kWait =
          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
      const bool known = deviceSynced && sync_file_range(fd, 0, 0, kWait) == 0;
      ok = known || fsync(fd) == 0;
    }
    file.handle_ = -1;
    file.writing_ = false;
    if (close(fd) != 0) ok = false;
    flushed[i] = ok;
  }
}

bool File::Close() {
  if (handle_ < 0) return false;
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  bool ok = !(writing_ && InjectedFault("close"));
  // A written file counts as written only once its bytes are on the disk.
  if (writing_ && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  writing_ = false;
  return ok;
}

void File::Abandon() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
  handle_ = -1;
  writing_ = false;
}

bool QueryFileInfo(const char* path, FileInfo* info) {
  struct stat st;
  if (!path || !*path || !info || stat(path, &st) != 0) return false;
  FillInfo(st, info);
  return true;
}

bool PathExists(const char* path) {
  struct stat st;
  return path && *path && lstat(path, &st) == 0;
}

bool LinkFile(const char* existing, const char* name) {
  if (!existing || !name || InjectedFault("link")) return false;
  return link(existing, name) == 0;
}

bool RenameNoReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  return RenameWithoutReplacing(from, to);
}

bool RenameReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  return rename(from, to) == 0;
}

bool DeleteFile(const char* path) {
  if (!path || InjectedFault("delete")) return false;
  return unlink(path) == 0;
}

bool ResolveFilePath(const char* path, char* resolved, int resolvedSize) {
  if (!path || !*path || resolvedSize <= 0) return false;
  char* full = realpath(path, nullptr);
  if (!full) return false;
  std::size_t length = std::strlen(full);
  bool fits = length < static_cast<std::size_t>(resolvedSize);
  if (fits) std::memcpy(resolved, full, length + 1);
  free(full);
  return fits;
}

std::uint32_t DefaultFileMode() {
  // The umask can only be read by setting it: it is put back at once.
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<std::uint32_t>(0666 & ~mask);
}

std::string DescribeLastError() { return std::strerror(errno); }

}  // namespace platform
