// Folder listings as FindFirstFile/FindNextFile records. Links are never followed into
// folders, and a folder on another file system is marked so that no walk enters it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform.h"

struct platform::Listing {
  DIR* dir = nullptr;
  dev_t device = 0;  // the listed folder's file system
};

namespace platform {

namespace {

// The reparse tags Windows reports in dwReserved0 for these entries.
constexpr DWORD kTagSymlink = 0xA000000C;
constexpr DWORD kTagMountPoint = 0xA0000003;

FILETIME ToFileTime(const timespec& t) {
  // 100 ns ticks since 1601-01-01; times before that (or absurdly far ahead) are clamped.
  constexpr std::int64_t kSecondsFrom1601 = 11644473600LL;
  constexpr std::int64_t kMaxSeconds = 0x7FFFFFFFFFFFFFFFLL / 10000000 - kSecondsFrom1601;
  std::uint64_t ticks = 0;
  if (t.tv_sec >= -kSecondsFrom1601) {
    std::int64_t seconds = t.tv_sec < kMaxSeconds ? t.tv_sec : kMaxSeconds;
    ticks = static_cast<std::uint64_t>(seconds + kSecondsFrom1601) * 10000000u +
            static_cast<std::uint64_t>(t.tv_nsec) / 100;
  }
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

void FillFromStat(const struct stat& st, FarFindData* entry) {
  // Linux keeps no creation time in stat; the modification time stands in for it.
  entry->ftCreationTime = ToFileTime(st.st_mtim);
  entry->ftLastAccessTime = ToFileTime(st.st_atim);
  entry->ftLastWriteTime = ToFileTime(st.st_mtim);
  if (S_ISREG(st.st_mode)) {
    std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    entry->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    entry->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    entry->dwFileAttributes |= kAttrArchive;
  }
  if (!(st.st_mode & S_IWUSR)) entry->dwFileAttributes |= kAttrReadOnly;
#if defined(QUARIX_FAR2L)
  // far2l's panel record carries the Unix mode (its permission column and highlighting);
  // the listing record has no field of its own for it.
  entry->dwReserved0 = st.st_mode;
#endif
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

bool NextListingEntry(Listing* listing, FarFindData* entry) {
  if (!listing || !entry) return false;
  while (dirent* d = readdir(listing->dir)) {
    std::size_t length = std::strlen(d->d_name);
    if (length >= sizeof entry->cFileName) continue;  // skipped, never cut short
    struct stat st;
    if (fstatat(dirfd(listing->dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // gone since the folder was read

    std::memset(entry, 0, sizeof *entry);
    std::memcpy(entry->cFileName, d->d_name, length + 1);
    if (d->d_name[0] == '.') entry->dwFileAttributes |= kAttrHidden;

    if (S_ISLNK(st.st_mode)) {
      struct stat target;
      if (fstatat(dirfd(listing->dir), d->d_name, &target, 0) != 0) {
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
        bool isDotEntry = std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0;
        if (st.st_dev != listing->device && !isDotEntry) {
          entry->dwFileAttributes |= kAttrReparsePoint;
          entry->dwReserved0 = kTagMountPoint;
        }
      }
    }
    if (entry->dwFileAttributes == 0) entry->dwFileAttributes = kAttrNormal;
    return true;
  }
  return false;
}

void CloseListing(Listing* listing) {
  if (!listing) return;
  closedir(listing->dir);
  delete listing;
}

}  // namespace platform
