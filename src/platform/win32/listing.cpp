// Folder listings through FindFirstFileW / FindNextFileW, names in the backend's name
// text. Windows marks junctions and symbolic links to folders as reparse points itself,
// which keeps the walker out of them.
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include "platform/platform.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

struct platform::Folder {
  std::string path;  // ending with the separator
  Listing* listing = nullptr;
  std::uint64_t namesLeftOut = 0;  // of listings already closed
};

struct platform::Listing {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW pending;  // the entry FindFirstFileW returned, not reported yet
  bool hasPending = false;
  std::uint64_t namesLeftOut = 0;
};

namespace platform {

namespace {

FileTime ToOurFileTime(const FILETIME& t) {
  return FileTime{static_cast<std::uint32_t>(t.dwLowDateTime),
                  static_cast<std::uint32_t>(t.dwHighDateTime)};
}

// False when the name text cannot spell the name, or it does not fit the record: the
// entry is then left out, never reported under a name that is not its own.
bool CopyEntry(const WIN32_FIND_DATAW& from, FileRecord* to) {
  std::string name;
  if (!ConvertNameFromWide(from.cFileName, std::wcslen(from.cFileName), &name) ||
      name.size() >= sizeof to->cFileName)
    return false;
  std::memset(to, 0, sizeof *to);
  to->dwFileAttributes = static_cast<DWORD>(from.dwFileAttributes);
  to->ftCreationTime = ToOurFileTime(from.ftCreationTime);
  to->ftLastAccessTime = ToOurFileTime(from.ftLastAccessTime);
  to->ftLastWriteTime = ToOurFileTime(from.ftLastWriteTime);
  to->nFileSizeHigh = static_cast<DWORD>(from.nFileSizeHigh);
  to->nFileSizeLow = static_cast<DWORD>(from.nFileSizeLow);
  to->dwReserved0 = static_cast<DWORD>(from.dwReserved0);
  to->dwReserved1 = static_cast<DWORD>(from.dwReserved1);
  std::memcpy(to->cFileName, name.c_str(), name.size() + 1);
  // The short name is ASCII where there is one; one that cannot be spelt is left empty.
  std::string shortName;
  if (ConvertNameFromWide(from.cAlternateFileName, std::wcslen(from.cAlternateFileName),
                          &shortName) &&
      shortName.size() < sizeof to->cAlternateFileName)
    std::memcpy(to->cAlternateFileName, shortName.c_str(), shortName.size() + 1);
  // A folder that Windows reports as a reparse point keeps the bit; one that lacks
  // the folder bit is a file link and is read as the file it names.
  return true;
}

}  // namespace

Listing* OpenListing(const char* folder) {
  if (!folder || !*folder) return nullptr;
  std::wstring pattern;
  if (!ConvertPathToWide((std::string(folder) + "*").c_str(), &pattern)) return nullptr;
  auto listing = new Listing;
  listing->find = FindFirstFileW(pattern.c_str(), &listing->pending);
  if (listing->find == INVALID_HANDLE_VALUE) {
    delete listing;
    return nullptr;
  }
  listing->hasPending = true;
  return listing;
}

bool NextListingEntry(Listing* listing, FileRecord* entry) {
  if (!listing || !entry) return false;
  if (listing->hasPending) {
    listing->hasPending = false;
    if (CopyEntry(listing->pending, entry)) return true;
    ++listing->namesLeftOut;
  }
  WIN32_FIND_DATAW data;
  while (FindNextFileW(listing->find, &data)) {
    if (CopyEntry(data, entry)) return true;
    ++listing->namesLeftOut;
  }
  return false;
}

std::uint64_t CountNamesLeftOut(const Listing* listing) {
  return listing ? listing->namesLeftOut : 0;
}

std::uint64_t CountNamesLeftOut(const Folder* folder) {
  if (!folder) return 0;
  return folder->namesLeftOut + CountNamesLeftOut(folder->listing);
}

void CloseListing(Listing* listing) {
  if (!listing) return;
  FindClose(listing->find);
  delete listing;
}

// Windows lists whole records in one go, so a folder here is its path and its listing.

Folder* OpenFolder(const char* path) {
  Listing* listing = OpenListing(path);
  if (!listing) return nullptr;
  auto folder = new (std::nothrow) Folder;
  if (!folder) {
    CloseListing(listing);
    return nullptr;
  }
  folder->path = path;
  folder->listing = listing;
  return folder;
}

Folder* OpenSubfolder(const Folder* parent, const char* name, bool* enter) {
  *enter = true;
  if (!parent || !name || !*name) return nullptr;
  return OpenFolder((parent->path + name + kPathSeparator).c_str());
}

bool NextFolderEntry(Folder* folder, FolderEntry* entry) {
  if (!folder || !entry) return false;
  while (folder->listing && NextListingEntry(folder->listing, &entry->record)) {
    const char* name = entry->record.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const DWORD attributes = entry->record.dwFileAttributes;
    entry->kind = !(attributes & kAttrDirectory)     ? EntryKind::kFile
                  : (attributes & kAttrReparsePoint) ? EntryKind::kNotEntered
                                                     : EntryKind::kFolder;
    entry->complete = true;
    return true;
  }
  folder->namesLeftOut += CountNamesLeftOut(folder->listing);
  CloseListing(folder->listing);
  folder->listing = nullptr;
  return false;
}

bool QueryFolderEntry(const Folder* folder, const char* name, FileRecord* record) {
  if (!folder || !name || !record) return false;
  std::wstring path;
  if (!ConvertPathToWide((folder->path + name).c_str(), &path)) return false;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return CopyEntry(data, record);
}

void CloseFolder(Folder* folder) {
  if (!folder) return;
  CloseListing(folder->listing);
  delete folder;
}

bool File::OpenForReadingIn(const Folder* folder, const char* name, std::uint64_t* size,
                            FileRecord* record) {
  // The listing's records are whole here: the open adds nothing to them.
  if (record) record->dwFileAttributes = 0;
  if (!folder || !name || !*name) {
    Abandon();
    return false;
  }
  return OpenForReading((folder->path + name).c_str(), size);
}

}  // namespace platform
