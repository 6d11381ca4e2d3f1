// Drive letters from GetLogicalDrives, their types from GetDriveTypeA.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

int ListDrives(Drive* drives, int max) {
  const unsigned long mask = GetLogicalDrives();
  int count = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if (!(mask & (1ul << letter))) continue;
    char root[4] = {static_cast<char>('A' + letter), ':', '\\', 0};
    if (drives && count < max) {
      Drive& d = drives[count];
      d.letter = letter;
      d.type = static_cast<int>(GetDriveTypeA(root));
      std::memcpy(d.root, root, sizeof root);
    }
    ++count;
  }
  return count;
}

bool FindDriveRoot(const char* path, char* root, int rootSize) {
  if (!path || !root || rootSize <= 0) return false;
  const std::size_t length = std::strlen(path);
  // "X:\..." : the drive's root is the first three characters.
  if (length >= 3 && path[1] == ':' && path[2] == '\\' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    if (rootSize < 4) return false;
    std::memcpy(root, path, 3);
    root[3] = 0;
    return true;
  }
  // "\\server\share\..." : the share is the root of a network path.
  if (length > 2 && path[0] == '\\' && path[1] == '\\') {
    const char* server = std::strchr(path + 2, '\\');
    if (!server || server == path + 2) return false;
    const char* share = std::strchr(server + 1, '\\');
    std::size_t end = share ? static_cast<std::size_t>(share - path) : length;
    if (end == static_cast<std::size_t>(server - path) + 1) return false;  // no share name
    if (end + 2 > static_cast<std::size_t>(rootSize)) return false;
    std::memcpy(root, path, end);
    root[end] = '\\';
    root[end + 1] = 0;
    return true;
  }
  return false;
}

}  // namespace platform
