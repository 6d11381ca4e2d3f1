// Folder listings through FindFirstFileA / FindNextFileA. Windows marks junctions and
// symbolic links to folders as reparse points itself, which keeps the walker out of them.
#include <cstring>
#include <new>
#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

struct platform::Folder {
  std::string path;  // ending with the separator
  Listing* listing = nullptr;
};

struct platform::Listing {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA pending;  // the entry FindFirstFileA returned, not reported yet
  bool hasPending = false;
};

namespace platform {

namespace {

FileTime ToOurFileTime(const FILETIME& t) {
  return FileTime{static_cast<std::uint32_t>(t.dwLowDateTime),
                  static_cast<std::uint32_t>(t.dwHighDateTime)};
}

void CopyEntry(const WIN32_FIND_DATAA& from, FileRecord* to) {
  std::memset(to, 0, sizeof *to);
  to->dwFileAttributes = static_cast<DWORD>(from.dwFileAttributes);
  to->ftCreationTime = ToOurFileTime(from.ftCreationTime);
  to->ftLastAccessTime = ToOurFileTime(from.ftLastAccessTime);
  to->ftLastWriteTime = ToOurFileTime(from.ftLastWriteTime);
  to->nFileSizeHigh = static_cast<DWORD>(from.nFileSizeHigh);
  to->nFileSizeLow = static_cast<DWORD>(from.nFileSizeLow);
  to->dwReserved0 = static_cast<DWORD>(from.dwReserved0);
  to->dwReserved1 = static_cast<DWORD>(from.dwReserved1);
  std::memcpy(to->cFileName, from.cFileName, sizeof to->cFileName);
  to->cFileName[sizeof to->cFileName - 1] = 0;
  std::memcpy(to->cAlternateFileName, from.cAlternateFileName, sizeof to->cAlternateFileName);
  to->cAlternateFileName[sizeof to->cAlternateFileName - 1] = 0;
  // A folder that Windows reports as a reparse point keeps the bit; one that lacks
  // the folder bit is a file link and is read as the file it names.
}

}  // namespace

Listing* OpenListing(const char* folder) {
  if (!folder || !*folder) return nullptr;
  const std::size_t length = std::strlen(folder);
  char pattern[kMaxPath];
  if (length + 2 > sizeof pattern) return nullptr;  // folder, "*" and the zero
  std::memcpy(pattern, folder, length);
  pattern[length] = '*';
  pattern[length + 1] = 0;
  auto listing = new Listing;
  listing->find = FindFirstFileA(pattern, &listing->pending);
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
    CopyEntry(listing->pending, entry);
    return true;
  }
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(listing->find, &data)) return false;
  CopyEntry(data, entry);
  return true;
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
  std::string path = parent->path + name + kPathSeparator;
  if (path.size() >= static_cast<std::size_t>(kMaxPath)) return nullptr;
  return OpenFolder(path.c_str());
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
  CloseListing(folder->listing);
  folder->listing = nullptr;
  return false;
}

bool QueryFolderEntry(const Folder* folder, const char* name, FileRecord* record) {
  if (!folder || !name || !record) return false;
  std::string path = folder->path + name;
  if (path.size() >= static_cast<std::size_t>(kMaxPath)) return false;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  CopyEntry(data, record);
  return true;
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
