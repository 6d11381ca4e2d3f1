// What both name texts share: the long form of long paths, and messages for the user.
#include "platform/win32/names.h"

#include <cstring>
#include <cwchar>

#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// CreateDirectoryW's own limit leaves room for an 8.3 name below the folder: from there on
// the plain form may already fail.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;

bool IsDriveAbsolute(const std::wstring& path) {
  return path.size() >= 3 &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
         path[1] == L':' && path[2] == L'\\';
}

}  // namespace

bool ConvertPathToWide(const char* path, std::wstring* wide) {
  wide->clear();
  if (!path || !DecodeNameText(path, std::strlen(path), wide)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  if (wide->size() < kLongPathFrom || wide->starts_with(L"\\\\?\\") ||
      wide->starts_with(L"\\\\.\\"))
    return true;
  // The long form takes the path as it is, so it must be whole and normalized first
  // ("/" to "\", no "." or ".."): GetFullPathNameW does that at any length.
  std::wstring full(wide->size() + MAX_PATH, L'\0');
  DWORD length =
      GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return true;  // the plain form fails on its own
  full.resize(length);
  if (IsDriveAbsolute(full)) {
    *wide = L"\\\\?\\" + full;
  } else if (full.starts_with(L"\\\\")) {
    *wide = L"\\\\?\\UNC\\" + full.substr(2);
  }
  return true;
}

bool ConvertNameFromWide(const wchar_t* name, std::size_t length, std::string* text) {
  text->clear();
  return name && EncodeNameText(name, length, text);
}

std::string ConvertMessageFromWide(const wchar_t* text, std::size_t length) {
  std::string result;
  std::string one;
  // Character by character, so that one the name text cannot spell costs only itself.
  for (std::size_t at = 0; at < length; ++at) {
    std::size_t units = 1;
    if (text[at] >= 0xD800 && text[at] < 0xDC00 && at + 1 < length && text[at + 1] >= 0xDC00 &&
        text[at + 1] < 0xE000)
      units = 2;
    result += EncodeNameText(text + at, units, &one) ? one : std::string("?");
    at += units - 1;
  }
  return result;
}

}  // namespace platform
