// Files for the replace engine: read, create exclusively, write, flush, rename without and
// with replacing, link, delete, what a file is and what it carries beyond its bytes, and
// the resolution of links.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/fault_injection.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// Keeps the bytes of one call below what a single ReadFile or WriteFile may move.
constexpr std::uint64_t kMaxChunk = 1u << 30;

// The attribute bits a new file takes over from the file it replaces.
constexpr DWORD kCreatableAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// CreateFileW for a path in the name text; a path the name text does not allow opens
// nothing (ERROR_INVALID_NAME).
HANDLE OpenPath(const char* path, unsigned long access, unsigned long share,
                unsigned long disposition, unsigned long flags) {
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

unsigned long ReadAttributes(const char* path) {
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(wide.c_str());
}

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
  HANDLE file = OpenPath(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL);
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
  HANDLE file = OpenPath(path, GENERIC_WRITE | WRITE_DAC, share, CREATE_NEW, attributes);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
    file = OpenPath(path, GENERIC_WRITE, share, CREATE_NEW, attributes);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  writing_ = true;
  return true;
}

bool File::OpenForRewriting(const char* path) {
  Abandon();
  if (!path || !*path || InjectedFault("rewrite")) return false;
  HANDLE file = OpenPath(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL);
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
  std::wstring path;
  if (!ConvertPathToWide(original, &path)) return false;
  unsigned long needed = 0;
  GetFileSecurityW(path.c_str(), wanted, nullptr, 0, &needed);
  if (needed == 0) return false;  // no security on this file system, or no access
  std::vector<unsigned char> descriptor(needed);
  if (!GetFileSecurityW(path.c_str(), wanted, descriptor.data(), needed, &needed)) return false;
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
  HANDLE file = OpenPath(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
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
  return path && *path && ReadAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool LinkFile(const char* existing, const char* name) {
  if (!existing || !name || InjectedFault("link")) return false;
  std::wstring wideName, wideExisting;
  // Fails when name exists.
  return ConvertPathToWide(name, &wideName) && ConvertPathToWide(existing, &wideExisting) &&
         CreateHardLinkW(wideName.c_str(), wideExisting.c_str(), nullptr) != 0;
}

bool RenameNoReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  std::wstring wideFrom, wideTo;
  return ConvertPathToWide(from, &wideFrom) && ConvertPathToWide(to, &wideTo) &&
         MoveFileW(wideFrom.c_str(), wideTo.c_str()) != 0;  // fails when the target exists
}

bool RenameReplace(const char* from, const char* to) {
  if (!from || !to || InjectedFault("rename")) return false;
  // A read-only target is not replaced. Windows refuses it; Wine would not, so the rule
  // is kept here.
  std::wstring wideFrom, wideTo;
  if (!ConvertPathToWide(from, &wideFrom) || !ConvertPathToWide(to, &wideTo)) return false;
  const unsigned long attributes = GetFileAttributesW(wideTo.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFile(const char* path) {
  if (!path || InjectedFault("delete")) return false;
  std::wstring wide;
  return ConvertPathToWide(path, &wide) && DeleteFileW(wide.c_str()) != 0;
}

bool ResolveFilePath(const char* path, char* resolved, int resolvedSize) {
  if (!path || !*path || !resolved || resolvedSize <= 0) return false;
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return false;
  HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::wstring buffer(32768, L'\0');
  unsigned long length = 0;
  // Windows XP, where FAR Manager 1.7x also runs, lacks the call (and file links).
  using FinalPathFn = unsigned long(WINAPI*)(HANDLE, wchar_t*, unsigned long, unsigned long);
  static const auto finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
  const auto room = static_cast<unsigned long>(buffer.size());
  if (finalPath) length = finalPath(file, buffer.data(), room, FILE_NAME_NORMALIZED);
  CloseHandle(file);
  // Without the call, or where it fails (Wine's, past MAX_PATH), a file that is no link
  // itself is where its full path leads: links among its folders only change the way there.
  if (length == 0) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return false;
    length = GetFullPathNameW(wide.c_str(), room, buffer.data(), nullptr);
  }
  if (length == 0 || length >= room) return false;
  // The result is in the "\\?\" form: "\\?\C:\x" is "C:\x", "\\?\UNC\s\x" is "\\s\x".
  std::wstring_view text(buffer.data(), length);
  std::wstring full(text);
  if (text.starts_with(L"\\\\?\\UNC\\")) {
    full = L"\\\\" + std::wstring(text.substr(8));
  } else if (text.starts_with(L"\\\\?\\")) {
    full = std::wstring(text.substr(4));
  }
  std::string named;
  if (!ConvertNameFromWide(full.data(), full.size(), &named)) return false;
  if (named.size() >= static_cast<std::size_t>(resolvedSize)) return false;
  std::memcpy(resolved, named.c_str(), named.size() + 1);
  return true;
}

std::uint32_t DefaultFileMode() { return 0; }

std::string DescribeLastError() {
  const unsigned long code = GetLastError();
  wchar_t text[512] = {0};
  const unsigned long length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     0, text, sizeof text / sizeof *text, nullptr);
  // In the name text, the text the plugins speak.
  std::string message = ConvertMessageFromWide(text, length);
  // The system's sentences end with a full stop and a line end; a message goes on after it.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace platform
