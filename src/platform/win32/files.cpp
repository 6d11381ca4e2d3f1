// Files for the replace engine: read, create exclusively, write, flush, rename without and
// with replacing, link, delete, what a file is and what it carries beyond its bytes, and
// the resolution of links.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/fault_injection.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// Keeps the bytes of one call below what a single ReadFile or WriteFile may move.
constexpr std::uint64_t kMaxChunk = 1u << 30;

// The attribute bits a new file takes over from the file it replaces.
constexpr DWORD kCreatableAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

void FillInfo(const BY_HANDLE_FILE_INFORMATION& data, unsigned long type, FileInfo* info) {
  info->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info->mode = static_cast<std::uint32_t>(data.dwFileAttributes);
  info->regular = type == FILE_TYPE_DISK && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!info->regular) info->size = 0;
  info->device = data.dwVolumeSerialNumber;
  info->index = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
  info->links = data.nNumberOfLinks;
  info->modified = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  info->changed = 0;
}

}  // namespace

bool File::OpenForReading(const char* path, std::uint64_t* size) {
  Abandon();
  if (!path || !*path || InjectedFault("open")) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (size) {
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) {
      CloseHandle(file);
      return false;
    }
    *size = static_cast<std::uint64_t>(length.QuadPart);
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  writing_ = false;
  return true;
}

bool File::CreateNew(const char* path, std::uint32_t mode) {
  Abandon();
  if (!path || !*path || InjectedFault("create")) return false;
  // A new version of a read-only file is not written: Windows would not let it replace
  // the file, and it could not be removed again on the way.
  if (mode & FILE_ATTRIBUTE_READONLY) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  DWORD attributes = mode & kCreatableAttributes;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  // WRITE_DAC lets AdoptMetadata give the file its original's access list; where it is
  // refused, the file is still written, with the access list it inherits.
  // Shared for reading and deletion only, so that a FileHold can be opened on the file and
  // the file renamed while the hold lasts; nobody else writes it.
  const unsigned long share = FILE_SHARE_READ | FILE_SHARE_DELETE;
  HANDLE file = CreateFileA(path, GENERIC_WRITE | WRITE_DAC, share, nullptr, CREATE_NEW,
                            attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
    file = CreateFileA(path, GENERIC_WRITE, share, nullptr, CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  writing_ = true;
  return true;
}

bool File::OpenForRewriting(const char* path) {
  Abandon();
  if (!path || !*path || InjectedFault("rewrite")) return false;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  writing_ = true;
  return true;
}

bool File::QueryInfo(FileInfo* info) const {
  BY_HANDLE_FILE_INFORMATION data;
  if (handle_ < 0 || !info || !GetFileInformationByHandle(AsHandle(handle_), &data)) return false;
  FillInfo(data, GetFileType(AsHandle(handle_)), info);
  return true;
}

bool File::AdoptMetadata(const char* original, std::uint32_t) {
  // The attribute bits were given at creation. The owner stays the caller's: giving a
  // file away takes a privilege that a user does not have.
  if (handle_ < 0 || !writing_ || !original) return false;
  const SECURITY_INFORMATION wanted = DACL_SECURITY_INFORMATION;
  unsigned long needed = 0;
  GetFileSecurityA(original, wanted, nullptr, 0, &needed);
  if (needed == 0) return false;  // no security on this file system, or no access
  std::vector<unsigned char> descriptor(needed);
  if (!GetFileSecurityA(original, wanted, descriptor.data(), needed, &needed)) return false;
  return SetKernelObjectSecurity(AsHandle(handle_), wanted, descriptor.data()) != 0;
}

bool File::SetSize(std::uint64_t size) {
  if (handle_ < 0 || !writing_ || InjectedFault("size")) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<long long>(size);
  return size <= static_cast<std::uint64_t>(INT64_MAX) &&
         SetFilePointerEx(AsHandle(handle_), at, nullptr, FILE_BEGIN) &&
         SetEndOfFile(AsHandle(handle_));
}

bool File::QuerySize(std::uint64_t* size) const {
  LARGE_INTEGER value;
  if (handle_ < 0 || !size || !GetFileSizeEx(AsHandle(handle_), &value) || value.QuadPart < 0)
    return false;
  *size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

std::int64_t File::Read(void* data, std::uint64_t count) {
  if (handle_ < 0 || InjectedFault("read")) return -1;
  std::uint64_t done = 0;
  auto* bytes = static_cast<unsigned char*>(data);
  while (done < count) {
    std::uint64_t chunk = count - done < kMaxChunk ? count - done : kMaxChunk;
    unsigned long got = 0;
    if (!ReadFile(AsHandle(handle_), bytes + done, static_cast<unsigned long>(chunk), &got,
                  nullptr))
      return -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<std::int64_t>(done);
}

bool File::Write(const void* data, std::uint64_t count) {
  if (handle_ < 0 || !writing_ || InjectedFault("write")) return false;
  std::uint64_t done = 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (done < count) {
    std::uint64_t chunk = count - done < kMaxChunk ? count - done : kMaxChunk;
    unsigned long wrote = 0;
    if (!WriteFile(AsHandle(handle_), bytes + done, static_cast<unsigned long>(chunk), &wrote,
                   nullptr) ||
        wrote == 0)
      return false;
    done += wrote;
  }
  return true;
}

// Windows has no call that starts a flush without waiting for it: Close flushes.
bool File::StartFlush() { return handle_ >= 0 && writing_ && !InjectedFault("flush"); }

// No call waits for several files at once without the right to open the volume: each
// file is flushed as Close does.
void File::CloseTogether(File* const* files, std::size_t count, bool* flushed) {
  for (std::size_t i = 0; i < count; ++i) {
    const bool writing = files[i]->writing_;
    flushed[i] = files[i]->Close() && writing;
  }
}

bool File::Close() {
  if (handle_ < 0) return false;
  HANDLE file = AsHandle(handle_);
  handle_ = -1;
  bool ok = !(writing_ && InjectedFault("close"));
  // A written file counts as written only once its bytes are on the disk.
  if (writing_ && !FlushFileBuffers(file)) ok = false;
  if (!CloseHandle(file)) ok = false;
  writing_ = false;
  return ok;
}

void File::Abandon() {
  if (handle_ >= 0) CloseHandle(AsHandle(handle_));
  handle_ = -1;
  writing_ = false;
}

bool QueryFileInfo(const char* path, FileInfo* info) {
  if (!path || !*path || !info) return false;
  // Opening the name (no access asked, folders allowed) follows links to what they name.
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION data;
  const bool ok = GetFileInformationByHandle(file, &data) != 0;
  const unsigned long type = GetFileType(file);
  CloseHandle(file);
  if (!ok) return false;
  FillInfo(data, type, info);
  return true;
}

bool PathExists(const char* path) {
  return path && *path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool LinkFile(const char* existing, const char* name) {
  if (!existing || !name || InjectedFault("link")) return false;
  return CreateHardLinkA(name, existing, nullptr) != 0;  // fails when name exists
}

bool RenameNoReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  return MoveFileA(from, to) != 0;  // fails when the target exists
}

bool RenameReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  // A read-only target is not replaced. Windows refuses it; Wine would not, so the rule
  // is kept here.
  const unsigned long attributes = GetFileAttributesA(to);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFile(const char* path) {
  if (!path || InjectedFault("delete")) return false;
  return DeleteFileA(path) != 0;
}

bool ResolveFilePath(const char* path, char* resolved, int resolvedSize) {
  if (!path || !*path || !resolved || resolvedSize <= 0) return false;
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[32768];
  unsigned long length = 0;
  // Windows XP, where FAR Manager 1.7x also runs, lacks the call (and file links).
  using FinalPathFn = unsigned long(WINAPI*)(HANDLE, char*, unsigned long, unsigned long);
  static const auto finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (finalPath) {
    length = finalPath(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
  } else {
    length = GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  }
  CloseHandle(file);
  if (length == 0 || length >= sizeof buffer) return false;
  const char* full = buffer;
  // The result is in the "\\?\" form: "\\?\C:\x" is "C:\x", "\\?\UNC\s\x" is "\\s\x".
  std::string_view text(buffer, length);
  std::string unc;
  if (text.starts_with("\\\\?\\UNC\\")) {
    unc = "\\\\" + std::string(text.substr(8));
    full = unc.c_str();
  } else if (text.starts_with("\\\\?\\")) {
    full = buffer + 4;
  }
  const std::size_t size = std::strlen(full);
  if (size >= static_cast<std::size_t>(resolvedSize)) return false;
  std::memcpy(resolved, full, size + 1);
  return true;
}

std::uint32_t DefaultFileMode() { return 0; }

std::string DescribeLastError() {
  const unsigned long code = GetLastError();
  char text[512] = {0};
  const unsigned long length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     0, text, sizeof text, nullptr);
  std::string message(text, length);
  // The system's sentences end with a full stop and a line end; a message goes on after it.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace platform
