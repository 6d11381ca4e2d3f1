#include "platform/posix/mount_table.h"

#include <algorithm>

#include "platform/platform.h"

namespace platform::posix {

namespace {

constexpr std::string_view kFixed[] = {
    "ext2", "ext3",    "ext4",    "xfs",      "btrfs", "vfat",    "msdos", "exfat",
    "ntfs", "ntfs3",   "fuseblk", "f2fs",     "zfs",   "overlay", "jfs",   "reiserfs",
    "hfs",  "hfsplus", "nilfs2",  "bcachefs", "apfs",  "ufs",     "minix"};
constexpr std::string_view kRemote[] = {"nfs",   "nfs4",        "cifs",        "smb3",
                                        "smbfs", "sshfs",       "fuse.sshfs",  "9p",
                                        "afs",   "ceph",        "glusterfs",   "fuse.glusterfs",
                                        "davfs", "fuse.davfs2", "fuse.rclone", "virtiofs"};
constexpr std::string_view kRam[] = {"tmpfs", "ramfs"};
constexpr std::string_view kCdrom[] = {"iso9660", "udf"};

template <std::size_t N>
bool IsOneOf(std::string_view word, const std::string_view (&list)[N]) {
  return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

// Mount points are written with octal escapes for blanks, tabs, line ends and "\".
std::string DecodeField(std::string_view field) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
        octal(field[i + 3])) {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += 3;
      continue;
    }
    out.push_back(field[i]);
  }
  return out;
}

bool IsBelow(std::string_view path, std::string_view folder) {
  return path == folder || (path.starts_with(folder) && path[folder.size()] == '/');
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

}  // namespace

int ClassifyFileSystem(std::string_view fsType) {
  if (IsOneOf(fsType, kFixed)) return kDriveFixed;
  if (IsOneOf(fsType, kRemote)) return kDriveRemote;
  if (IsOneOf(fsType, kRam)) return kDriveRamdisk;
  if (IsOneOf(fsType, kCdrom)) return kDriveCdrom;
  return -1;
}

std::vector<MountedFileSystem> ParseMountTable(std::string_view mountinfo) {
  std::vector<MountedFileSystem> mounts;
  while (!mountinfo.empty()) {
    std::size_t end = mountinfo.find('\n');
    std::string_view line = mountinfo.substr(0, end);
    mountinfo = end == std::string_view::npos ? std::string_view() : mountinfo.substr(end + 1);

    // id parent major:minor root mount-point options [optional...] - type source options
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 7) continue;
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 1 >= fields.size()) continue;
    std::string mountPoint = DecodeField(fields[4]);
    if (mountPoint.empty() || mountPoint.front() != '/') continue;
    while (mountPoint.size() > 1 && mountPoint.back() == '/') mountPoint.pop_back();

    // Whatever is mounted inside the kernel's own trees (a tmpfs for the cgroup
    // folders, say) holds no user files.
    if (IsBelow(mountPoint, "/proc") || IsBelow(mountPoint, "/sys")) continue;

    // A later mount on the same point hides the earlier one, whatever its type.
    std::erase_if(mounts, [&](const MountedFileSystem& m) { return m.mountPoint == mountPoint; });
    int type = ClassifyFileSystem(fields[dash + 1]);
    if (type >= 0) mounts.push_back(MountedFileSystem{std::move(mountPoint), type});
  }
  return mounts;
}

}  // namespace platform::posix
