// The mounted file systems of /proc/self/mountinfo that count as drives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

struct MountedFileSystem {
  std::string mountPoint;  // decoded, without a trailing "/" (except the root itself)
  int type;                // a kDrive value
};

// The drive type of a file system type name; -1 for one that is no drive (pseudo file
// systems, and types we do not know).
int ClassifyFileSystem(std::string_view fsType);

// The drives among the lines of a mountinfo text, in mount order. A mount point mounted
// over again counts once, at the place of its last mount (the one that is visible).
std::vector<MountedFileSystem> ParseMountTable(std::string_view mountinfo);

}  // namespace platform::posix
