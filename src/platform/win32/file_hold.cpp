// The hold on a temporary file: an exclusive lock on one byte far beyond any content,
// through a handle of its own that shares everything, deletion included, so that the
// file can still be read and renamed. Windows ends the lock with the handle, and so with
// the process.
#include <string>

#include "platform/platform.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// 2^62: no file comes near it, so the lock never stands in the way of a read or a write.
constexpr unsigned long kLockOffsetHigh = 0x40000000;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

HANDLE OpenShared(const char* path, unsigned long access) {
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                     nullptr);
}

bool LockFar(HANDLE file) {
  OVERLAPPED at = {};
  at.OffsetHigh = kLockOffsetHigh;
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

// A file whose deletion is pending (another process removed it while a handle was open)
// is gone, though some systems still let it be opened.
bool IsDeletePending(HANDLE file) {
  FILE_STANDARD_INFO info;
  return GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) &&
         info.DeletePending;
}

bool IsSameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION x, y;
  return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

}  // namespace

void FileHold::Release() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

bool File::Hold(const char* path, FileHold* hold) const {
  hold->Release();
  if (handle_ < 0 || !writing_ || !path) return false;
  // A file another process removed meanwhile cannot be opened again (its deletion is
  // pending, or it is gone).
  HANDLE file = OpenShared(path, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (IsDeletePending(file) || !IsSameFile(file, AsHandle(handle_)) || !LockFar(file)) {
    CloseHandle(file);
    return false;
  }
  hold->handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

Removal RemoveUnheldFile(const char* path) {
  if (!path || !*path) return Removal::kFailed;
  HANDLE file = OpenShared(path, GENERIC_READ | DELETE);
  if (file == INVALID_HANDLE_VALUE) {
    const unsigned long error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::kFailed
                                                                          : Removal::kHeld;
  }
  Removal result = Removal::kFailed;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    result = Removal::kFailed;
  } else if (!LockFar(file)) {
    result = Removal::kHeld;
  } else if (std::wstring wide; ConvertPathToWide(path, &wide) && DeleteFileW(wide.c_str())) {
    // The name goes once the lock's handle is closed; nobody can take the file meanwhile.
    result = Removal::kRemoved;
  }
  CloseHandle(file);
  return result;
}

}  // namespace platform
