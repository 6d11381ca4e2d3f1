// The operating system as the plugins see it. Plugin code includes this header and never
// a system header of one OS; each backend (posix/, win32/) implements all of it, and a
// function that its backend cannot carry out reports failure instead of faking success.
#pragma once

#include <cstdint>

#include "far/plugin.h"

namespace platform {

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
constexpr const char* kLinquoModuleName = "Linquo.dll";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kLinquoModuleName = "Linquo.so";
#endif

// ---- Settings key below HKEY_CURRENT_USER -------------------------------------------
// Key paths use "\" between their parts on every target ("Software\Far\Plugins\Quarix").

constexpr DWORD kRegNone = 0;
constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

struct RegistryKey;

// Opens the key, creating it when absent. Null when it can neither be opened nor created.
RegistryKey* OpenRegistryKey(const char* path);
// Writes back what changed and releases the key. Returns 0 on success (as RegCloseKey).
long CloseRegistryKey(RegistryKey* key);
// As RegQueryValueExA: with data null only the type and size are reported. Returns false
// when the value is missing, or when the buffer is too small (size then holds the size
// the value needs and type its type).
bool QueryRegistryValue(RegistryKey* key, const char* name, DWORD* type, void* data,
                        DWORD* size);
// Stores the bytes exactly as given, with their type.
bool SetRegistryValue(RegistryKey* key, const char* name, DWORD type, const void* data,
                      DWORD size);

// ---- Folder listing -------------------------------------------------------------------
// Each entry is the listing record of one name: attributes (folder bit 16; names that
// begin with "." carry the hidden bit on posix), times, 64-bit size split in two halves
// and the bare name. A folder that must not be entered (a link to a folder, another file
// system's mount point, a reparse point) carries the folder bit and kAttrReparsePoint.

struct Listing;

// folder ends with the path separator. Null when the folder cannot be listed.
Listing* OpenListing(const char* folder);
// Fills the next entry; false at the end of the listing. "." and ".." may be reported.
bool NextListingEntry(Listing* listing, FarFindData* entry);
void CloseListing(Listing* listing);

// ---- Drives ---------------------------------------------------------------------------

constexpr int kDriveUnknown = 0;
constexpr int kDriveNoRoot = 1;
constexpr int kDriveRemovable = 2;
constexpr int kDriveFixed = 3;
constexpr int kDriveRemote = 4;
constexpr int kDriveCdrom = 5;
constexpr int kDriveRamdisk = 6;

struct Drive {
  int letter;               // 0 for A, 1 for B, ...; drives are reported in this order
  int type;                 // one of the kDrive values
  char root[kMaxPath];      // the drive's root, ending with the path separator
};

// Fills at most max drives in letter order and returns how many there are.
int ListDrives(Drive* drives, int max);
// The root of the drive that holds path, ending with the separator. False when unknown.
bool FindDriveRoot(const char* path, char* root, int rootSize);

// ---- Read-only view of a whole file -----------------------------------------------------

// The file is opened for reading, shared for reading only, and mapped whole. An empty
// file cannot be mapped. The size is the one the file has when it is opened.
class FileView {
 public:
  FileView() = default;
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  ~FileView() { Close(); }

  bool Open(const char* path);
  void Close();
  const unsigned char* data() const { return data_; }
  std::uint64_t size() const { return size_; }

 private:
  const unsigned char* data_ = nullptr;
  std::uint64_t size_ = 0;
  std::intptr_t file_ = -1;
  std::intptr_t mapping_ = -1;
};

// ---- Console ----------------------------------------------------------------------------

// True when an Escape key press waits in the console input. Every other pending input is
// consumed on the way.
bool PollConsoleEscape();

// ---- Loading the other plugin ------------------------------------------------------------

struct Module;

Module* LoadModule(const char* path);  // by full path; null when it does not load
void* FindModuleExport(Module* module, const char* name);
void FreeModule(Module* module);

// ---- Character conversion ----------------------------------------------------------------

// One OEM character to the ANSI code page and back, and the ANSI code page's case mapping.
// A character without a counterpart reports false.
bool ConvertOemToAnsi(unsigned char oem, unsigned char* ansi);
bool ConvertAnsiToOem(unsigned char ansi, unsigned char* oem);
unsigned char UpperAnsi(unsigned char ansi);
unsigned char LowerAnsi(unsigned char ansi);

}  // namespace platform
