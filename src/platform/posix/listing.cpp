// Folder listings as FindFirstFile/FindNextFile records. Links are never followed into
// folders, and a folder on another file system is marked so that no walk enters it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/platform.h"
#include "platform/posix/fault_injection.h"

struct platform::Folder {
  int fd = -1;
  dev_t device = 0;
  // The listing, read in chunks of records while it lasts; released at its end.
  std::unique_ptr<char[]> chunk;
  std::size_t at = 0, end = 0;
  bool listed = false;
};

struct platform::Listing {
  DIR* dir = nullptr;
  dev_t device = 0;  // the listed folder's file system
};

namespace platform {

namespace {

// The reparse tags Windows reports in dwReserved0 for these entries.
constexpr std::uint32_t kTagSymlink = 0xA000000C;
constexpr std::uint32_t kTagMountPoint = 0xA0000003;

FileTime ToFileTime(const timespec& t) {
  // 100 ns ticks since 1601-01-01; times before that (or absurdly far ahead) are clamped.
  constexpr std::int64_t kSecondsFrom1601 = 11644473600LL;
  constexpr std::int64_t kMaxSeconds = 0x7FFFFFFFFFFFFFFFLL / 10000000 - kSecondsFrom1601;
  std::uint64_t ticks = 0;
  if (t.tv_sec >= -kSecondsFrom1601) {
    std::int64_t seconds = t.tv_sec < kMaxSeconds ? t.tv_sec : kMaxSeconds;
    ticks = static_cast<std::uint64_t>(seconds + kSecondsFrom1601) * 10000000u +
            static_cast<std::uint64_t>(t.tv_nsec) / 100;
  }
  return FileTime{static_cast<std::uint32_t>(ticks & 0xFFFFFFFFu), static_cast<std::uint32_t>(ticks >> 32)};
}

void FillFromStat(const struct stat& st, FileRecord* entry) {
  // Linux keeps no creation time in stat; the modification time stands in for it.
  entry->ftCreationTime = ToFileTime(st.st_mtim);
  entry->ftLastAccessTime = ToFileTime(st.st_atim);
  entry->ftLastWriteTime = ToFileTime(st.st_mtim);
  if (S_ISREG(st.st_mode)) {
    std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    entry->nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    entry->nFileSizeLow = static_cast<std::uint32_t>(size & 0xFFFFFFFFu);
    entry->dwFileAttributes |= kAttrArchive;
  }
  if (!(st.st_mode & S_IWUSR)) entry->dwFileAttributes |= kAttrReadOnly;
#if defined(QUARIX_FAR2L)
  // far2l's panel record carries the Unix mode (its permission column and highlighting);
  // the listing record has no field of its own for it.
  entry->dwReserved0 = st.st_mode;
#endif
}

// The record's name and the attribute the name alone gives.
void StartRecord(const char* name, FileRecord* entry) {
  std::memset(entry, 0, sizeof *entry);
  std::memcpy(entry->cFileName, name, std::strlen(name) + 1);
  if (name[0] == '.') entry->dwFileAttributes |= kAttrHidden;
}

// The record of one name of the folder open as dirfd, whose file system is device.
bool FillListingRecord(int dirfd, const char* name, dev_t device, FileRecord* entry) {
  struct stat st;
  if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;

  StartRecord(name, entry);

  if (S_ISLNK(st.st_mode)) {
    struct stat target;
    if (fstatat(dirfd, name, &target, 0) != 0) {
      // A dangling link: a file of size 0 with the link's own times.
      FillFromStat(st, entry);
      entry->dwFileAttributes &= ~kAttrReadOnly;
    } else if (S_ISDIR(target.st_mode)) {
      // Listed, but never entered: a link may lead back up the tree.
      FillFromStat(target, entry);
      entry->dwFileAttributes |= kAttrDirectory | kAttrReparsePoint;
      entry->dwReserved0 = kTagSymlink;
    } else {
      FillFromStat(target, entry);
    }
  } else {
    FillFromStat(st, entry);
    if (S_ISDIR(st.st_mode)) {
      entry->dwFileAttributes |= kAttrDirectory;
      bool isDotEntry = std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
      if (st.st_dev != device && !isDotEntry) {
        entry->dwFileAttributes |= kAttrReparsePoint;
        entry->dwReserved0 = kTagMountPoint;
      }
    }
  }
  if (entry->dwFileAttributes == 0) entry->dwFileAttributes = kAttrNormal;
  return true;
}

}  // namespace

Listing* OpenListing(const char* folder) {
  if (!folder || !*folder) return nullptr;
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return nullptr;
  }
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return nullptr;
  }
  auto listing = new Listing;
  listing->dir = dir;
  listing->device = st.st_dev;
  return listing;
}

bool NextListingEntry(Listing* listing, FileRecord* entry) {
  if (!listing || !entry) return false;
  while (dirent* d = readdir(listing->dir)) {
    if (std::strlen(d->d_name) >= sizeof entry->cFileName) continue;  // skipped, never cut short
    // A name gone since the folder was read is left out.
    if (FillListingRecord(dirfd(listing->dir), d->d_name, listing->device, entry)) return true;
  }
  return false;
}

void CloseListing(Listing* listing) {
  if (!listing) return;
  closedir(listing->dir);
  delete listing;
}

namespace {

// Large enough for hundreds of records per call, small enough to be nothing beside a walk.
constexpr std::size_t kChunkSize = 32 * 1024;

Folder* AdoptFolder(int fd, const struct stat& st) {
  auto folder = new (std::nothrow) Folder;
  if (!folder) {
    close(fd);
    return nullptr;
  }
  folder->fd = fd;
  folder->device = st.st_dev;
  return folder;
}

bool IsDotName(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// What a name without a type from the listing is, by its status: false when it is gone.
bool ClassifyByStatus(int dirfd, const char* name, EntryKind* kind) {
  struct stat st;
  if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    *kind = EntryKind::kFolder;
  } else if (S_ISLNK(st.st_mode)) {
    struct stat target;
    // A dangling link counts as a file, as the listing records it.
    bool folder = fstatat(dirfd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    *kind = folder ? EntryKind::kNotEntered : EntryKind::kFile;
  } else {
    *kind = EntryKind::kFile;
  }
  return true;
}

}  // namespace

Folder* OpenFolder(const char* path) {
  if (!path || !*path) return nullptr;
  int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return nullptr;
  }
  return AdoptFolder(fd, st);
}

Folder* OpenSubfolder(const Folder* parent, const char* name, bool* enter) {
  *enter = true;
  if (!parent || !name || !*name) return nullptr;
  // Not through a link: one that took the folder's place since the listing stays out.
  int fd = openat(parent->fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR) *enter = false;
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return nullptr;
  }
  // Another file system's mount point is listed, never entered.
  if (st.st_dev != parent->device) {
    close(fd);
    *enter = false;
    return nullptr;
  }
  return AdoptFolder(fd, st);
}

bool NextFolderEntry(Folder* folder, FolderEntry* entry) {
  if (!folder || !entry || folder->listed) return false;
  for (;;) {
    if (folder->at >= folder->end) {
      if (!folder->chunk) folder->chunk.reset(new (std::nothrow) char[kChunkSize]);
      ssize_t got = folder->chunk ? getdents64(folder->fd, folder->chunk.get(), kChunkSize) : -1;
      if (got <= 0) {
        // The end, or a listing that broke off: what came so far is the folder.
        folder->listed = true;
        folder->chunk.reset();
        return false;
      }
      folder->at = 0;
      folder->end = static_cast<std::size_t>(got);
    }
    auto* d = reinterpret_cast<const dirent64*>(folder->chunk.get() + folder->at);
    folder->at += d->d_reclen;
    const char* name = d->d_name;
    std::size_t length = std::strlen(name);
    if (IsDotName(name) || length >= sizeof entry->record.cFileName) continue;
    EntryKind kind = EntryKind::kFile;
    if (d->d_type == DT_DIR) {
      kind = EntryKind::kFolder;
    } else if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
      if (!ClassifyByStatus(folder->fd, name, &kind)) continue;  // gone since
    }
    // Only the name: the status of a file is queried when its record is wanted.
    entry->kind = kind;
    entry->complete = false;
    std::memset(&entry->record, 0, sizeof entry->record);
    std::memcpy(entry->record.cFileName, name, length + 1);
    return true;
  }
}

bool QueryFolderEntry(const Folder* folder, const char* name, FileRecord* record) {
  if (!folder || !name || !record) return false;
  if (std::strlen(name) >= sizeof record->cFileName) return false;
  return FillListingRecord(folder->fd, name, folder->device, record);
}

void CloseFolder(Folder* folder) {
  if (!folder) return;
  close(folder->fd);
  delete folder;
}

// Every name is a byte string the record holds (a name has at most 255 bytes here).
std::uint64_t CountNamesLeftOut(const Listing*) { return 0; }
std::uint64_t CountNamesLeftOut(const Folder*) { return 0; }

bool File::OpenForReadingIn(const Folder* folder, const char* name, std::uint64_t* size,
                            FileRecord* record) {
  Abandon();
  if (record) record->dwFileAttributes = 0;
  if (!folder || !name || !*name || InjectedFault("open")) return false;
  // As OpenForReading: only a regular file, and a named pipe never waits for a writer.
  int fd = openat(folder->fd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  // A regular file, or a link to one: the listing's record holds the status of what the
  // name leads to, as the open file's does.
  if (record && std::strlen(name) < sizeof record->cFileName) {
    StartRecord(name, record);
    FillFromStat(st, record);
  }
  handle_ = fd;
  writing_ = false;
  return true;
}

}  // namespace platform
