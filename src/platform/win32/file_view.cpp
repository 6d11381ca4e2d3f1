// A whole file mapped read-only, by the size it has when it is opened.
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/win32/fault_injection.h"
#include "platform/win32/mapped_views.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool FileView::Open(const char* path) {
  Close();
  if (!path || !*path) return false;
  if (InjectedFault("open")) return false;
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return false;
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  // An empty file cannot be mapped; one larger than the address space cannot be viewed.
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > SIZE_MAX) {
    CloseHandle(file);
    return false;
  }
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY | SEC_COMMIT, 0, 0, nullptr);
  if (!mapping) {
    CloseHandle(file);
    return false;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (!view) {
    CloseHandle(mapping);
    CloseHandle(file);
    return false;
  }
  data_ = static_cast<const unsigned char*>(view);
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  file_ = reinterpret_cast<std::intptr_t>(file);
  mapping_ = reinterpret_cast<std::intptr_t>(mapping);
  return true;
}

void FileView::Close() {
  if (data_ && !ReleaseReplacedView(data_)) UnmapViewOfFile(data_);
  if (mapping_ != -1) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
  if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
  data_ = nullptr;
  size_ = 0;
  file_ = -1;
  mapping_ = -1;
}

}  // namespace platform
