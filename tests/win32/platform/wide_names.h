// Files with names beyond the ANSI and OEM code pages, made and read through the W
// functions, for the tests of the backend's name texts.
#pragma once

#include <set>
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"

namespace win32test {

// One file of the mixed folder: its UTF-16 name and what it holds.
struct WideName {
  const wchar_t* name;
  const char* content;
};

// Cyrillic, CJK, an emoji (a surrogate pair), an accented Latin letter, plain ASCII.
inline const WideName kMixedNames[] = {
    {L"\u0416\u0443\u043a.txt", "needle zhuk"},
    {L"\u65e5\u672c.txt", "needle nihon"},
    {L"\U0001F600.txt", "needle smile"},
    {L"caf\u00e9.txt", "needle cafe"},
    {L"plain.txt", "needle plain"},
};

inline bool WriteWide(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  unsigned long wrote = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<unsigned long>(bytes.size()), &wrote, nullptr) &&
      wrote == bytes.size();
  CloseHandle(file);
  return ok;
}

inline std::wstring Widen(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// What the file at path (in the backend's name text) holds, through the backend; "" when
// it does not open.
inline std::string ReadThroughBackend(const std::string& path) {
  platform::File file;
  std::uint64_t size = 0;
  if (!file.OpenForReading(path.c_str(), &size)) return "";
  std::string bytes(size, '\0');
  if (file.Read(bytes.data(), size) != static_cast<std::int64_t>(size)) return "";
  return bytes;
}

// The names a listing of folder (ending with "\") reports, "." and ".." left out, and
// how many it left out.
inline std::set<std::string> ListThroughBackend(const std::string& folder, std::uint64_t* leftOut) {
  std::set<std::string> names;
  *leftOut = ~std::uint64_t{0};
  platform::Folder* open = platform::OpenFolder(folder.c_str());
  if (!open) return names;
  platform::FolderEntry entry;
  while (platform::NextFolderEntry(open, &entry)) names.insert(entry.record.cFileName);
  *leftOut = platform::CountNamesLeftOut(open);
  platform::CloseFolder(open);
  return names;
}

}  // namespace win32test
