// The operating system as the plugins see it. Plugin code includes this header and never
// a system header of one OS; each backend (posix/, win32/) implements all of it, and a
// function that its backend cannot carry out reports failure instead of faking success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>


namespace platform {

// Path buffers hold the 260 bytes of the 1.x hosts' records, or the longer limit a build for
// a host that takes longer paths gives (QUARIX_MAX_PATH): a longer path is skipped, never cut.
#if defined(QUARIX_MAX_PATH)
constexpr int kMaxPath = QUARIX_MAX_PATH;
#else
constexpr int kMaxPath = 260;
#endif

// File attributes, with the values Windows gives them on every target.
constexpr std::uint32_t kAttrReadOnly = 0x1;
constexpr std::uint32_t kAttrHidden = 0x2;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrNormal = 0x80;
constexpr std::uint32_t kAttrReparsePoint = 0x400;

// A time in 100 ns steps since 1601 (UTC), split in two halves.
struct FileTime {
  std::uint32_t dwLowDateTime;
  std::uint32_t dwHighDateTime;
};

// The listing record of one name, with the fields of the system's own on Windows
// (WIN32_FIND_DATAA): attributes, times, a 64-bit size split in two halves, the name.
struct FileRecord {
  std::uint32_t dwFileAttributes;
  FileTime ftCreationTime;
  FileTime ftLastAccessTime;
  FileTime ftLastWriteTime;
  std::uint32_t nFileSizeHigh;
  std::uint32_t nFileSizeLow;
  std::uint32_t dwReserved0;
  std::uint32_t dwReserved1;
  char cFileName[kMaxPath];
  char cAlternateFileName[14];
};

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
constexpr const char* kPathSeparators = "\\/";  // what a path given by a person may use
#else
constexpr char kPathSeparator = '/';
constexpr const char* kPathSeparators = "/";
#endif

// ---- Settings key below HKEY_CURRENT_USER -------------------------------------------
// Key paths use "\" between their parts on every target ("Software\Far\Plugins\Quarix").

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

struct RegistryKey;

// Opens the key, creating it when absent. Null when it can neither be opened nor created.
RegistryKey* OpenRegistryKey(const char* path);
// Opens the key only when it exists: nothing is created. Null otherwise.
RegistryKey* OpenExistingRegistryKey(const char* path);
// Writes back what changed and releases the key. Returns 0 on success (as RegCloseKey).
long CloseRegistryKey(RegistryKey* key);
// As RegQueryValueExA: with data null only the type and size are reported. Returns false
// when the value is missing, or when the buffer is too small (size then holds the size
// the value needs and type its type).
bool QueryRegistryValue(RegistryKey* key, const char* name, std::uint32_t* type, void* data,
                        std::uint32_t* size);
// Stores the bytes exactly as given, with their type.
bool SetRegistryValue(RegistryKey* key, const char* name, std::uint32_t type, const void* data,
                      std::uint32_t size);

// ---- Folder listing -------------------------------------------------------------------
// Each entry is the listing record of one name: attributes (folder bit 16; names that
// begin with "." carry the hidden bit on posix), times, 64-bit size split in two halves
// and the bare name. A folder that must not be entered (a link to a folder, another file
// system's mount point, a reparse point) carries the folder bit and kAttrReparsePoint.

struct Listing;

// folder ends with the path separator. Null when the folder cannot be listed.
Listing* OpenListing(const char* folder);
// Fills the next entry; false at the end of the listing. "." and ".." may be reported.
bool NextListingEntry(Listing* listing, FileRecord* entry);
void CloseListing(Listing* listing);

// ---- Walking folders ------------------------------------------------------------------
// A folder held open for a walk. Its entries come from one read of the listing with the
// type the file system gives there, so a plain file costs no status query until its
// record is wanted; its subfolders and files are opened relative to it, without looking
// the whole path up again. Windows lists full records anyway and opens by path.

struct Folder;

enum class EntryKind {
  kFile,        // tested as a file: anything that is not a folder (a link to a file too)
  kFolder,      // a subfolder to walk
  kNotEntered,  // a link to a folder: listed, never entered
};

struct FolderEntry {
  EntryKind kind = EntryKind::kFile;
  // The bare name in cFileName; the other fields only when complete (see QueryFolderEntry).
  FileRecord record;
  bool complete = false;
};

// folder ends with the path separator. Null when the folder cannot be listed.
Folder* OpenFolder(const char* folder);
// The subfolder name of parent. Null when it cannot be opened; enter is then true for a
// folder that merely cannot be listed (the walk shows it, empty) and false for one never
// to be entered: another file system's mount point, or a name that became a link.
Folder* OpenSubfolder(const Folder* parent, const char* name, bool* enter);
// The next entry, "." and ".." left out; false at the end of the listing. The listing is
// read once: a second pass needs a new Folder.
bool NextFolderEntry(Folder* folder, FolderEntry* entry);
// The listing record of name in folder, as NextListingEntry reports it. False when the
// name is gone.
bool QueryFolderEntry(const Folder* folder, const char* name, FileRecord* record);
void CloseFolder(Folder* folder);

// Names the listing met so far and left out because the backend's name text cannot spell
// them (win32 with OEM names: outside the OEM code page) or they do not fit the record:
// no entry is ever reported under a name that is not its own. Always 0 on posix, whose
// names are bytes.
std::uint64_t CountNamesLeftOut(const Listing* listing);
std::uint64_t CountNamesLeftOut(const Folder* folder);

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

// ---- Files: read, create, write, rename, delete -----------------------------------------

// What one file is: its size, whether it is a regular file, and its mode, the bits a new
// file needs to look like it (permission bits on posix, attribute bits on Windows); which
// file it is, how many names it has, and when it last changed, at the system's full
// resolution (posix: modification and status change times in nanoseconds; Windows: the
// last write time in 100 ns steps, no status change time).
struct FileInfo {
  std::uint64_t size = 0;
  std::uint32_t mode = 0;
  bool regular = false;
  std::uint64_t device = 0;  // device, or volume serial number
  std::uint64_t index = 0;   // inode, or file index
  std::uint32_t links = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
};

// True when both describe the same file in the same version: nobody wrote it, replaced it
// or changed its size in between.
inline bool IsSameVersion(const FileInfo& a, const FileInfo& b) {
  return a.device == b.device && a.index == b.index && a.size == b.size &&
         a.modified == b.modified && a.changed == b.changed;
}

// A file this process writes under a temporary name, marked as in use: the mark lasts
// while the hold lives, also after the file is closed and renamed, and the system drops
// it when the process ends however it ends (posix: flock on the open file; Windows: a
// byte-range lock far beyond any content, on a handle that shares deletion). Another
// process can then tell a temporary file in use from one left behind by a dead one.
class FileHold {
 public:
  FileHold() = default;
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;
  ~FileHold() { Release(); }
  bool IsHeld() const { return handle_ != -1; }
  void Release();

 private:
  friend class File;
  std::intptr_t handle_ = -1;
};

// One open file. Every call reports failure instead of throwing; the destructor closes a
// file still open without reporting anything (a file being written should be closed with
// Close, whose result says whether every byte reached the disk).
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { Abandon(); }

  // An existing file, for reading, shared with other readers. With size given, it gets
  // the size the file has as it is opened.
  bool OpenForReading(const char* path, std::uint64_t* size = nullptr);
  // The same for the entry name of an open folder (implemented beside the folders). With
  // record given, it receives what QueryFolderEntry gives for the name as the file is
  // opened, where the open tells it at no cost (posix); elsewhere, and on failure, its
  // attributes are left 0.
  bool OpenForReadingIn(const Folder* folder, const char* name, std::uint64_t* size = nullptr,
                        FileRecord* record = nullptr);
  // A new file that must not exist yet, for writing, with the given mode (as FileInfo
  // reports it for another file).
  bool CreateNew(const char* path, std::uint32_t mode);
  // Holds the file just made by CreateNew at path (see FileHold). False when another
  // process holds it or it lost its name meanwhile: it is then no longer this process's.
  bool Hold(const char* path, FileHold* hold) const;
  // An existing file, for writing over its bytes in place: nothing is cut or created.
  bool OpenForRewriting(const char* path);
  bool IsOpen() const { return handle_ >= 0; }
  // The size the open file has now.
  bool QuerySize(std::uint64_t* size) const;
  // What the open file is now.
  bool QueryInfo(FileInfo* info) const;
  // Gives the file being written what the original has beyond its bytes and mode, as far
  // as the caller may set it: posix: owner and group (the group alone when the owner is
  // refused) and the extended attributes, which hold the access lists; Windows: the
  // access list. mode is set again afterwards, since a change of owner clears some bits.
  // False when anything could not be taken over (what could, was).
  bool AdoptMetadata(const char* original, std::uint32_t mode);
  // Makes the file being written end at size bytes.
  bool SetSize(std::uint64_t size);
  // Reads up to count bytes, fewer only at the end of the file. -1 on an error.
  std::int64_t Read(void* data, std::uint64_t count);
  // Writes all count bytes or fails.
  bool Write(const void* data, std::uint64_t count);
  // Starts moving what was written to the disk without waiting for it, so that the
  // flushes of several files overlap and a later Close waits for less. Only a head start:
  // where the system has no such call it does nothing, and Close alone tells whether the
  // bytes reached the disk.
  bool StartFlush();
  // Closes files being written once all their bytes are on the disk, waiting for the disk
  // once for all of them where the system allows: posix: one sync of each file system
  // involved, then each file's own write errors are asked for (a file whose file system
  // reports a failure is flushed on its own instead); Windows: each file is flushed on
  // its own.
  // flushed[i] tells whether files[i] reached the disk whole; every file is closed.
  static void CloseTogether(File* const* files, std::size_t count, bool* flushed);
  // Flushes what was written to the disk and closes. False when anything failed.
  bool Close();

 private:
  void Abandon();
  std::intptr_t handle_ = -1;
  bool writing_ = false;
};

// Follows links. False when the path names nothing.
bool QueryFileInfo(const char* path, FileInfo* info);
// True when the name exists, as anything (a dangling link included).
bool PathExists(const char* path);
// Gives the file a second name, failing when that name exists or when the file system
// cannot link.
bool LinkFile(const char* existing, const char* name);
// Renames, failing when the target exists.
bool RenameNoReplace(const char* from, const char* to);
// Renames, replacing the target in one step: puts a finished file in place of another.
bool RenameReplace(const char* from, const char* to);
bool DeleteFile(const char* path);
// What RemoveUnheldFile did.
enum class Removal {
  kRemoved,
  kHeld,    // a process holds it (see FileHold), or it cannot be opened to find out
  kFailed,  // not a regular file, gone, or not removable
};
// Removes the regular file at path unless a process holds it; the hold is asked for
// and kept while the name is removed, so a process cannot take it meanwhile.
Removal RemoveUnheldFile(const char* path);
// The full path of the file that path names, with every link resolved. False when it
// cannot be resolved or the result would not fit resolvedSize bytes.
bool ResolveFilePath(const char* path, char* resolved, int resolvedSize);

// The mode a new file gets when it takes over no other file's: 0666 less the process's
// umask (posix); no attributes (Windows).
std::uint32_t DefaultFileMode();

// The system's words for why the last failed call of this thread failed
// ("No such file or directory"), for a message to the user. Ask before anything else runs.
std::string DescribeLastError();

// What ReadWholeFile made of a file.
enum class ReadResult {
  kRead,
  kMissing,      // nothing has the name
  kCannotOpen,   // not allowed, or another reason
  kNotRegular,   // a folder, a device, a pipe
  kTooLarge,     // more bytes than the limit
  kCannotRead,   // an error while reading
};
// Reads the regular file path from its start to its end as it stands when reached (it
// may grow meanwhile) into bytes. reason, when given, receives the system's words for
// kMissing, kCannotOpen and kCannotRead. bytes holds nothing useful unless the result is
// kRead. Not one of the calls QUARIX_FAIL fails (see below): the host's own files are read
// by it.
ReadResult ReadWholeFile(const char* path, std::uint64_t limit, std::string* bytes,
                         std::string* reason = nullptr);

// Runs fn(arg) while the bytes [begin, begin + size) of a view are read. When reading
// them faults (the file was cut short by someone else), the missing pages read as zeros
// until fn returns, and the result is false: whatever fn made of them must be thrown
// away. True when no fault happened.
bool RunGuarded(const void* begin, std::uint64_t size, void (*fn)(void*), void* arg);

// FOR TESTS ONLY. The environment variable QUARIX_FAIL makes chosen file operations fail,
// as "op:n[,op:n...]": the n-th call (from 1, counted since the value last changed) of
// op fails as an I/O error would; "op:n:kill" ends the process there instead, before the
// call does anything, as a kill would. op is one of open (File::OpenForReading and
// FileView::Open), rewrite (File::OpenForRewriting), read, create, write, size
// (File::SetSize), flush (File::StartFlush), sync (File::CloseTogether's sync of one file
// system), link, rename (both renames), close (of a file being written: the wait until its
// bytes are on the disk), delete.
// Read by the backend at each call, so that it reaches every module's copy of this
// library. Only builds with tests have it (the CMake option QUARIX_FAULT_INJECTION); a
// build without tests never reads the variable.

// ---- Console ----------------------------------------------------------------------------

// True when an Escape key press waits in the console input. Every other pending input is
// consumed on the way.
bool PollConsoleEscape();
// A coarse clock that moves on every few milliseconds; costs no system call where the
// system offers one that cheap. Only differences between two readings mean anything.
std::uint64_t ReadCoarseClock();

// Looks for Escape at most once per reading `now` of the coarse clock, so that a loop may
// ask after every step without a system call each time. A fresh (or reset) state looks at
// its first call.
struct ConsoleLook {
  std::uint64_t tick = 0;
  bool looked = false;
};
bool PollConsoleEscapeOncePerTick(ConsoleLook* state, std::uint64_t now);

// ---- The text the host speaks ----------------------------------------------------------

// Whether the process that loaded the plugins asks for UTF-8 text: posix: the environment
// variable QUARIX_TEXT is "utf-8" (the quarix program sets it from its locale); Windows:
// never, the hosts there speak the OEM code page.
bool IsUtf8TextAsked();

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
// The one-to-one case mapping of a code point, the same whatever the process's locale:
// Unicode's simple mapping (posix), Windows' own case tables (win32), which leave alone
// the letters with more than two cases (the final sigma, the dotless i). A character
// without a partner comes back as it is.
char32_t UpperCharacter(char32_t c);
char32_t LowerCharacter(char32_t c);
// The OEM code page's character of one byte (posix: QUARIX_OEM_CP, default 866, as for the
// conversions above; Windows: the system's OEM code page), kNoOemCharacter where the byte
// is none. And the byte of a character: false where the code page cannot spell it (no
// look-alike is ever taken).
constexpr char32_t kNoOemCharacter = 0xFFFFFFFF;
char32_t CharacterOfOem(unsigned char oem);
bool ConvertCharacterToOem(char32_t c, unsigned char* oem);

}  // namespace platform
