// Drives on Linux: each mounted file system that holds files is a drive, lettered in
// mount order from C, or the list in QUARIX_DRIVES when it is set.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/mount_table.h"

namespace platform {

namespace {

constexpr int kFirstMountLetter = 2;  // C, as on Windows
constexpr int kLetterCount = 32;      // the bits of GetLogicalDrives' mask
constexpr std::size_t kMaxMountTable = 16 << 20;

struct DriveEntry {
  int letter;
  int type;
  std::string root;  // ends with "/"
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int DriveTypeFromWord(std::string_view word) {
  struct Name {
    std::string_view word;
    int type;
  };
  static constexpr Name kNames[] = {{"fixed", kDriveFixed},         {"remote", kDriveRemote},
                                    {"ram", kDriveRamdisk},         {"cdrom", kDriveCdrom},
                                    {"removable", kDriveRemovable}, {"unknown", kDriveUnknown},
                                    {"noroot", kDriveNoRoot}};
  for (const Name& name : kNames)
    if (name.word == word) return name.type;
  return -1;
}

std::string WithTrailingSlash(std::string root) {
  if (root.empty() || root.back() != '/') root.push_back('/');
  return root;
}

bool FitsRootBuffer(const std::string& root) {
  return root.size() < static_cast<std::size_t>(kMaxPath);
}

// "C=/srv/a:fixed,D=/media/cd:cdrom": an entry that does not read so is left out.
std::vector<DriveEntry> ParseDriveList(std::string_view text) {
  std::vector<DriveEntry> drives;
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view entry = Trim(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);

    if (entry.size() < 4 || entry[1] != '=') continue;
    char c = entry[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') continue;
    std::size_t colon = entry.rfind(':');
    if (colon == std::string_view::npos || colon < 2) continue;
    std::string_view path = entry.substr(2, colon - 2);
    int type = DriveTypeFromWord(Trim(entry.substr(colon + 1)));
    if (path.empty() || path.front() != '/' || type < 0) continue;
    std::string root = WithTrailingSlash(std::string(path));
    if (!FitsRootBuffer(root)) continue;
    int letter = c - 'A';
    bool taken = std::any_of(drives.begin(), drives.end(),
                             [&](const DriveEntry& d) { return d.letter == letter; });
    if (!taken) drives.push_back(DriveEntry{letter, type, std::move(root)});
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
  return drives;
}

std::string ReadMountTable() {
  std::string text;
  int fd = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buffer[16384];
  while (text.size() < kMaxMountTable) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return text;
}

// Every mounted drive, lettered in mount order; letters past the last bit are kept too,
// so that a path on such a mount still finds its own root.
std::vector<DriveEntry> CollectMountedDrives() {
  std::vector<DriveEntry> drives;
  int letter = kFirstMountLetter;
  for (posix::MountedFileSystem& mount : posix::ParseMountTable(ReadMountTable())) {
    std::string root = WithTrailingSlash(std::move(mount.mountPoint));
    if (!FitsRootBuffer(root)) continue;
    // Files bind-mounted over files (as containers do for /etc/hosts) are no drives.
    struct stat st;
    if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    drives.push_back(DriveEntry{letter++, mount.type, std::move(root)});
  }
  return drives;
}

// Read at every call: tests set the variable to a drive list of their own.
std::vector<DriveEntry> CollectDrives() {
  const char* list = std::getenv("QUARIX_DRIVES");
  if (list) return ParseDriveList(list);
  return CollectMountedDrives();
}

// An absolute path with "." and ".." resolved and single separators, without the
// file system's help (the path may not exist). Empty when the path is not absolute.
std::string NormalizePath(std::string_view path) {
  if (path.empty() || path.front() != '/') return std::string();
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    std::size_t slash = path.find('/');
    std::string_view part = path.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out = "/";
  for (std::string_view part : parts) {
    out.append(part);
    out.push_back('/');
  }
  return out;  // ends with "/", as a drive root does
}

}  // namespace

int ListDrives(Drive* drives, int max) {
  int count = 0;
  for (const DriveEntry& entry : CollectDrives()) {
    if (entry.letter >= kLetterCount) break;
    if (drives && count < max) {
      Drive& d = drives[count];
      d.letter = entry.letter;
      d.type = entry.type;
      std::memcpy(d.root, entry.root.c_str(), entry.root.size() + 1);
    }
    ++count;
  }
  return count;
}

bool FindDriveRoot(const char* path, char* root, int rootSize) {
  if (!path || !root || rootSize <= 0) return false;
  std::string normalized = NormalizePath(path);
  if (normalized.empty()) return false;
  std::vector<DriveEntry> drives = CollectDrives();
  const DriveEntry* best = nullptr;
  std::size_t bestLength = 0;
  for (const DriveEntry& entry : drives) {
    // Both end with "/", so a prefix match is a match of whole path components.
    std::string candidate = NormalizePath(entry.root);
    if (candidate.empty() || !normalized.starts_with(candidate)) continue;
    if (!best || candidate.size() > bestLength) {
      best = &entry;
      bestLength = candidate.size();
    }
  }
  if (!best) return false;
  if (best->root.size() + 1 > static_cast<std::size_t>(rootSize)) return false;
  std::memcpy(root, best->root.c_str(), best->root.size() + 1);
  return true;
}

}  // namespace platform
