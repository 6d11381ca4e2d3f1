// Settings keys as files: one key is one .reg file below the registry folder, read whole
// at open and written back whole, atomically, at close when something changed.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/settings_folder.h"

using platform::posix::RegistryValue;

struct platform::RegistryKey {
  std::string keyPath;  // the parts joined by "\", as written in the file's section line
  std::string folder;   // the folder that holds the file
  std::string file;
  std::vector<RegistryValue> values;
  bool changed = false;
  bool corrupt = false;  // the file on disk could not be read as a key: kept aside first
};

namespace platform {

namespace {

// A key file above this size is not read (it is no settings file we wrote).
constexpr std::uint64_t kMaxFileSize = 64 << 20;
// What a key may hold, estimated as written (hex triples the bytes), so that every key
// we write can also be read back.
constexpr std::size_t kMaxWrittenSize = 48u << 20;
constexpr std::size_t kMaxNameLength = 16383;  // as the Windows registry
constexpr std::size_t kMaxKeyPartLength = 255;

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry;
  passwd* result = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
      result->pw_dir)
    return result->pw_dir;
  return std::string();
}

// Read at every open: tests point each key at a folder of their own.
std::string RegistryFolder() {
#if defined(QUARIX_FAR2L)
  // Beside far2l's own settings, in the profile far2l runs with.
  return posix::ComposeFar2lSettingsFolder(std::getenv("FARSETTINGS"),
                                           std::getenv("XDG_CONFIG_HOME"), HomeFolder());
#else
  std::string folder = EnvironmentValue("QUARIX_REGISTRY");
  if (!folder.empty()) return folder;
  std::string config = EnvironmentValue("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') {
    std::string home = HomeFolder();
    if (home.empty()) return std::string();
    config = home + "/.config";
  }
  return config + "/quarix/registry";
#endif
}

// Creates the folder and its missing parents, each private to the user.
bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    std::string prefix = path.substr(0, i);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "Software\Far\Plugins\Quarix" into its parts; false for a part that cannot be a
// file name of its own.
bool SplitKeyPath(const char* path, std::vector<std::string>* parts) {
  std::string part;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (part == "." || part == ".." || part.size() > kMaxKeyPartLength) return false;
      if (!part.empty()) parts->push_back(part);
      part.clear();
      if (*p == '\0') break;
      continue;
    }
    if (*p == '/') return false;
    part.push_back(*p);
  }
  return !parts->empty();
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link never replaces either.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  return unlink(from.c_str()) == 0;
}

// Moves the unreadable file out of the way, to a name not used before. True when
// nothing is left under the key's name.
bool KeepCorruptFileAside(const std::string& file) {
  struct stat st;
  if (lstat(file.c_str(), &st) != 0) return errno == ENOENT;
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm parts;
  gmtime_r(&now, &parts);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string aside = file + ".corrupt-" + stamp;
    if (attempt > 0) {
      aside += '-';
      aside += std::to_string(attempt);
    }
    if (RenameWithoutReplacing(file, aside)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// The new text goes to a temporary file beside the key file and replaces it by one
// rename, so the key file is always either the old or the new version, whole.
bool WriteAtomically(const std::string& folder, const std::string& file, const std::string& text) {
  std::string temp = file + ".tmp-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), file.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself is durable once the folder is synced; a failure here loses nothing.
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

RegistryValue* FindValue(RegistryKey* key, const char* name) {
  for (RegistryValue& value : key->values)
    if (platform::posix::EqualValueNames(value.name, name)) return &value;
  return nullptr;
}

bool IsStorableName(const char* name) {
  std::size_t length = 0;
  for (const char* p = name; *p; ++p, ++length) {
    unsigned char c = static_cast<unsigned char>(*p);
    // A line end or other control character would break the one-line-per-value file.
    if (c < 0x20 || c == 0x7F) return false;
  }
  return length <= kMaxNameLength;
}

std::size_t WrittenSize(const RegistryValue& value) {
  return 2 * value.name.size() + 3 * value.data.size() + 32;
}

}  // namespace

namespace {

// The key's path, folder and file below the registry folder; false for a path that names
// no key.
bool LocateKey(const char* path, RegistryKey* key) {
  if (!path) return false;
  std::vector<std::string> parts;
  if (!SplitKeyPath(path, &parts)) return false;
  std::string root = RegistryFolder();
  if (root.empty()) return false;
  key->folder = root;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) key->keyPath += '\\';
    key->keyPath += parts[i];
    if (i + 1 < parts.size()) key->folder += "/" + parts[i];
  }
  key->file = key->folder + "/" + parts.back() + ".reg";
  return true;
}

}  // namespace

RegistryKey* OpenExistingRegistryKey(const char* path) {
  RegistryKey where;
  struct stat st {};
  if (!LocateKey(path, &where) || stat(where.file.c_str(), &st) != 0) return nullptr;
  return OpenRegistryKey(path);
}

RegistryKey* OpenRegistryKey(const char* path) {
  auto key = new RegistryKey;
  if (!LocateKey(path, key)) {
    delete key;
    return nullptr;
  }
  if (!MakeFolders(key->folder)) {
    delete key;
    return nullptr;
  }

  std::string text;
  switch (ReadWholeFile(key->file.c_str(), kMaxFileSize, &text)) {
    case ReadResult::kMissing:
      break;
    case ReadResult::kCannotOpen:
    case ReadResult::kNotRegular:
    case ReadResult::kCannotRead:
      // Neither read nor safe to write over: the key cannot be opened.
      delete key;
      return nullptr;
    case ReadResult::kTooLarge:
      key->corrupt = true;
      break;
    case ReadResult::kRead:
      key->corrupt = !platform::posix::ParseRegistryFile(text, &key->values);
      break;
  }
  return key;
}

long CloseRegistryKey(RegistryKey* key) {
  if (!key) return 1;
  long status = 0;
  if (key->changed) {
    if (key->corrupt && !KeepCorruptFileAside(key->file)) {
      status = 1;  // writing now would destroy the file that could not be read
    } else {
      std::string text = platform::posix::FormatRegistryFile(key->keyPath, key->values);
      if (!WriteAtomically(key->folder, key->file, text)) status = 1;
    }
  }
  delete key;
  return status;
}

bool QueryRegistryValue(RegistryKey* key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) {
  if (!key) return false;
  const RegistryValue* value = FindValue(key, name ? name : "");
  if (!value) return false;
  std::uint32_t needed = static_cast<std::uint32_t>(value->data.size());
  if (type) *type = value->type;
  if (!data) {
    if (size) *size = needed;
    return true;
  }
  if (!size) return false;
  if (*size < needed) {
    *size = needed;
    return false;
  }
  if (needed) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return true;
}

bool SetRegistryValue(RegistryKey* key, const char* name, std::uint32_t type, const void* data,
                      std::uint32_t size) {
  if (!key) return false;
  if (!name) name = "";
  if (!data && size) return false;
  if (!IsStorableName(name)) return false;
  std::string bytes;
  if (size) bytes.assign(static_cast<const char*>(data), size);

  RegistryValue* value = FindValue(key, name);
  std::size_t total = 0;
  for (const RegistryValue& v : key->values)
    if (&v != value) total += WrittenSize(v);
  RegistryValue candidate{value ? value->name : std::string(name), type, bytes};
  if (total + WrittenSize(candidate) > kMaxWrittenSize) return false;

  if (value) {
    if (value->type == type && value->data == bytes) return true;  // nothing to write
    value->type = type;
    value->data = std::move(bytes);
  } else {
    key->values.push_back(std::move(candidate));
  }
  key->changed = true;
  return true;
}

}  // namespace platform
