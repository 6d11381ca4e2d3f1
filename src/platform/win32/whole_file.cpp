// Reading a whole file into memory: our host's editor and language files.
#include <string>

#include "platform/platform.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {

ReadResult ReadWholeFile(const char* path, std::uint64_t limit, std::string* bytes,
                         std::string* reason) {
  bytes->clear();
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) {
    if (reason) *reason = DescribeLastError();
    return ReadResult::kCannotOpen;
  }
  // Others may go on writing the file while it is read, as an editor allows.
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const unsigned long code = GetLastError();
    // A folder cannot be opened without backup semantics: it is no regular file.
    const unsigned long attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return ReadResult::kNotRegular;
    SetLastError(code);
    if (reason) *reason = DescribeLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing
                                                                        : ReadResult::kCannotOpen;
  }
  LARGE_INTEGER size;
  ReadResult result = ReadResult::kRead;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    result = ReadResult::kNotRegular;
  } else if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) > limit) {
    result = ReadResult::kTooLarge;
  } else {
    // Up to the end as it stands when reached: the file may grow while it is read.
    char buffer[65536];
    for (;;) {
      unsigned long got = 0;
      if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
        if (reason) *reason = DescribeLastError();
        result = ReadResult::kCannotRead;
        break;
      }
      if (got == 0) break;
      if (got > limit - bytes->size()) {
        result = ReadResult::kTooLarge;
        break;
      }
      bytes->append(buffer, got);
    }
  }
  CloseHandle(file);
  return result;
}

}  // namespace platform
