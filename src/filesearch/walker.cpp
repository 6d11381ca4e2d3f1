#include "filesearch/walker.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/file_workers.h"
#include "filesearch/masks.h"
#include "filesearch/match_context.h"
#include "filesearch/results.h"
#include "filesearch/search_run.h"
#include "filesearch/temporary_names.h"
#include "flavour/flavour.h"
#include "platform/platform.h"

namespace {

constexpr int kScopeAllDrives = 0;
constexpr int kScopeCurrentDrive = 1;
constexpr int kScopeFolderOnly = 3;
constexpr int kScopeSelectedFolders = 4;
constexpr int kMaxDrives = 32;

// Shared: a file queued for the workers keeps its folder open until it is taken.
using FolderHandle = std::shared_ptr<platform::Folder>;

FolderHandle HoldFolder(platform::Folder* folder) {
  return FolderHandle(folder, [](platform::Folder* open) { platform::CloseFolder(open); });
}

// One walk: its run, the host thread's share of it, what it does with each file, and the
// workers that test the files, when the run has more than one thread.
struct Walk {
  SearchRun& run;
  MatchContext& context;
  const FileWork& work;
  bool recordsOnDemand;
  FileWorkers* workers;
};

// The per-file action on the host's thread: the test, then the take.
void TestAndTake(Walk& walk, FoundFile& found) {
  // A file gone since the listing is left out, as the listing would have.
  if (!walk.recordsOnDemand && !found.Complete()) return;
  FileOutcome outcome = walk.work.test(found, walk.context);
  if (walk.context.Stopped()) outcome.stopped = true;
  walk.work.take(found, outcome, walk.context);
}

// The whole screen, saved while the progress message of one folder is shown.
class SavedScreen {
 public:
  SavedScreen() : screen_(Info.SaveScreen(0, 0, -1, -1)) {}
  SavedScreen(const SavedScreen&) = delete;
  SavedScreen& operator=(const SavedScreen&) = delete;
  ~SavedScreen() { Info.RestoreScreen(screen_); }

 private:
  HANDLE screen_;
};

// Writes name behind the folder's separator at length n. False when the result, with
// room for the terminating zero and extra more characters, would not fit the buffer.
bool AppendName(char* path, int n, std::string_view name, int extra) {
  if (n + name.size() + extra >= static_cast<std::size_t>(platform::kMaxPath)) return false;
  std::memcpy(path + n, name.data(), name.size());
  path[n + name.size()] = '\0';
  return true;
}

// Copies a text of the host into the path buffer; false when it does not fit.
bool CopyPath(char* path, const char* from) {
  std::size_t length = strnlen(from, platform::kMaxPath);
  if (length >= static_cast<std::size_t>(platform::kMaxPath)) return false;
  std::memcpy(path, from, length + 1);
  return true;
}

void ShowProgress(const char* path, const SearchRun& run) {
  std::string tested = FormatMessageNumber(MessageText(kMsgFilesTested), run.filesTested);
  std::string found = FormatMessageNumber(MessageText(kMsgFilesFound), run.results->count);
  const char* lines[] = {MessageText(kMsgPluginTitle), path, tested.c_str(), found.c_str()};
  Info.Message(Info.ModuleNumber, 0, nullptr, lines, 4, 0);
}

// A listing record without its full name: the record's fields before the name, and the
// short name. A folder's listing keeps one per file, so its size does not follow the
// longest path the build takes.
class ListedStatus {
 public:
  explicit ListedStatus(const platform::FileRecord& record) {
    std::memcpy(fields_, &record, sizeof fields_);
    std::memcpy(shortName_, record.cAlternateFileName, sizeof shortName_);
  }
  // Fills record but its name.
  void CopyTo(platform::FileRecord* record) const {
    std::memcpy(record, fields_, sizeof fields_);
    std::memcpy(record->cAlternateFileName, shortName_, sizeof shortName_);
  }
  // Empties record but its name: a status still to be queried.
  static void Clear(platform::FileRecord* record) {
    std::memset(record, 0, sizeof fields_);
    std::memset(record->cAlternateFileName, 0, sizeof shortName_);
  }

 private:
  static_assert(std::is_trivially_copyable_v<platform::FileRecord>);
  unsigned char fields_[offsetof(platform::FileRecord, cFileName)];
  char shortName_[sizeof(platform::FileRecord::cAlternateFileName)];
};

// The files of one folder that passed the masks, in listing order: their bare names one
// after another, each ended by a zero, and only the records the listing already gave in
// full (Windows). A few bytes per file: a folder of a million files stays small.
struct FolderFiles {
  struct File {
    std::uint32_t nameAt;
    std::int32_t record;  // into records, or -1 when the status is still to be queried
  };
  std::vector<File> files;
  std::string names;
  std::vector<ListedStatus> records;
  // Names of replaces' temporary files, each ended by a zero: never listed.
  std::string temporaries;
};

// One listing of the folder: the files that pass the masks and, when asked for, the
// subfolders to walk afterwards in listing order. A link to a folder is listed but not
// entered: no walk loops or visits a tree twice.
void ListFolder(platform::Folder* folder, const char* masks, int n, FolderFiles* listed,
                std::vector<std::string>* subfolders) {
  if (!folder) return;
  platform::FolderEntry entry;
  while (platform::NextFolderEntry(folder, &entry)) {
    const char* name = entry.record.cFileName;
    if (entry.kind != platform::EntryKind::kFile) {
      if (subfolders && entry.kind == platform::EntryKind::kFolder) subfolders->emplace_back(name);
      continue;
    }
    // A replace's temporary file is no file of the user's, whatever the masks say.
    if (IsNewVersionName(name)) {
      listed->temporaries.append(name, std::strlen(name) + 1);
      continue;
    }
    if (!MatchMaskList(masks, name)) continue;
    // A full path that would not fit the record is skipped, never cut.
    const std::size_t length = std::strlen(name);
    if (n + length >= static_cast<std::size_t>(platform::kMaxPath)) continue;
    std::int32_t record = -1;
    if (entry.complete) {
      record = static_cast<std::int32_t>(listed->records.size());
      listed->records.emplace_back(entry.record);
    }
    listed->files.push_back({static_cast<std::uint32_t>(listed->names.size()), record});
    listed->names.append(name, length + 1);
  }
}

// True when the temporary file of target (a full path) may be the only whole new version
// of it: target has several names, so it is written over in place, and a replace that
// died meanwhile may have left it half written. Its backup, a second name that the
// replace gives it before the rename, is the one name that does not count.
bool MayHoldTheOnlyNewVersion(const std::string& target) {
  platform::FileInfo file, backup;
  if (!platform::QueryFileInfo(target.c_str(), &file) || file.links <= 1) return false;
  const std::string old = target + ".old";
  return !(file.links == 2 && old.size() < static_cast<std::size_t>(platform::kMaxPath) &&
           platform::QueryFileInfo(old.c_str(), &backup) && backup.device == file.device &&
           backup.index == file.index);
}

// Removes the temporary files of the folder (path, n long) that no live replace holds,
// and counts them; one that may hold the only whole new version of its file stays.
void RemoveDeadTemporaries(const std::string& names, const char* path, int n, SearchRun& run) {
  for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
    const char* name = names.c_str() + at;
    std::size_t targetLength = 0;
    if (!IsNewVersionName(name, &targetLength)) continue;
    const std::string full = std::string(path, static_cast<std::size_t>(n)) + name;
    if (full.size() >= static_cast<std::size_t>(platform::kMaxPath)) continue;
    if (MayHoldTheOnlyNewVersion(full.substr(0, n + targetLength))) continue;
    if (platform::RemoveUnheldFile(full.c_str()) == platform::Removal::kRemoved)
      ++run.temporariesRemoved;
  }
}

// Fills the record of the file at hand from its folder; false when the file is gone.
bool CompleteRecord(platform::FileRecord* record, const platform::Folder* folder, int nameAt) {
  platform::FileRecord status;
  if (!platform::QueryFolderEntry(folder, record->cFileName + nameAt, &status)) return false;
  std::memcpy(status.cFileName, record->cFileName, sizeof status.cFileName);
  *record = status;
  return true;
}

// Tests the files of one folder, under its progress message. False when stopped.
bool TestFolderFiles(Walk& walk, const FolderHandle& folder, const char* path, int n,
                     std::vector<std::string>* subfolders) {
  SearchRun& run = walk.run;
  SavedScreen screen;
  ShowProgress(path, run);
  FolderFiles listed;
  ListFolder(folder.get(), run.settings.masks.c_str(), n, &listed, subfolders);
  run.results->namesLeftOut += platform::CountNamesLeftOut(folder.get());
  if (!listed.temporaries.empty()) RemoveDeadTemporaries(listed.temporaries, path, n, run);
  platform::FileRecord record;
  for (const FolderFiles::File& file : listed.files) {
    // The record as the listing gives it, with the full path in place of the bare name.
    if (file.record >= 0)
      listed.records[static_cast<std::size_t>(file.record)].CopyTo(&record);
    else
      ListedStatus::Clear(&record);
    std::memcpy(record.cFileName, path, n);
    std::strcpy(record.cFileName + n, listed.names.c_str() + file.nameAt);
    if (walk.workers) {
      walk.workers->Queue(record, folder, n, file.record >= 0, walk.context);
    } else {
      FoundFile found(record, folder.get(), n, file.record >= 0);
      TestAndTake(walk, found);
      ++run.filesTested;
    }
    if (walk.context.PollEscape()) walk.context.Stop();
    if (walk.context.Stopped()) break;
  }
  return !walk.context.Stopped();
}

// Walks the open folder (null: one that could not be listed, which contributes nothing
// but its progress message) whose path, ending with the separator, is n long.
bool WalkOpenFolder(Walk& walk, const FolderHandle& folder, char* path, int n) {
  // The subfolders come from the same listing as the files: listing each folder once
  // halves the file system calls of a walk.
  std::vector<std::string> subfolders;
  bool folderOnly = walk.run.settings.scope == kScopeFolderOnly;
  bool goOn = TestFolderFiles(walk, folder, path, n, folderOnly ? nullptr : &subfolders);
  if (folderOnly) return true;
  if (!goOn) return false;
  for (const std::string& name : subfolders) {
    // Room for the separator the subfolder's walk appends.
    if (!AppendName(path, n, name.c_str(), 1)) continue;
    bool enter = true;
    FolderHandle subfolder = HoldFolder(platform::OpenSubfolder(folder.get(), name.c_str(), &enter));
    if (!enter) continue;
    int m = EnsureTrailingBackslash(path);
    if (m < 0) continue;
    if (!WalkOpenFolder(walk, subfolder, path, m)) return false;
  }
  return true;
}

// Walks one folder (path is a buffer of platform::kMaxPath bytes). False when stopped.
bool WalkFolder(Walk& walk, char* path) {
  int n = EnsureTrailingBackslash(path);
  // A folder whose path does not fit the buffer is skipped; the walk goes on.
  if (n < 0) return true;
  return WalkOpenFolder(walk, HoldFolder(platform::OpenFolder(path)), path, n);
}

void WalkDrives(Walk& walk, char* path) {
  platform::Drive drives[kMaxDrives];
  int count = platform::ListDrives(drives, kMaxDrives);
  if (count > kMaxDrives) count = kMaxDrives;
  for (int i = 0; i < count; ++i) {
    int type = drives[i].type;
    if (type == platform::kDriveUnknown || type == platform::kDriveNoRoot ||
        type == platform::kDriveRemovable || type == platform::kDriveCdrom)
      continue;
    drives[i].root[platform::kMaxPath - 1] = '\0';
    if (!CopyPath(path, drives[i].root)) continue;
    if (!WalkFolder(walk, path)) return;
  }
}

// The root of the drive that holds the panel's folder. When no root is known (a
// network path, a folder of no listed drive) the folder itself is walked: the search
// then covers less than asked rather than a tree the user did not choose.
void WalkCurrentDrive(Walk& walk, char* path, const PanelInfo& panel) {
  if (!CopyPath(path, panel.CurDir)) return;
  char root[platform::kMaxPath];
  if (platform::FindDriveRoot(path, root, platform::kMaxPath)) {
    root[platform::kMaxPath - 1] = '\0';
    if (!CopyPath(path, root)) return;
  }
  WalkFolder(walk, path);
}

int WalkSelectedFolders(Walk& walk, char* path, const PanelInfo& panel) {
  if (panel.ItemsNumber == 0) return 0;
  if (!CopyPath(path, panel.CurDir)) return 1;
  int n = EnsureTrailingBackslash(path);
  if (n < 0) return 1;
  const PluginPanelItem* entries = panel.SelectedItems;
  int count = panel.SelectedItemsNumber;
  if (count == 0) {
    entries = panel.PanelItems;
    count = panel.ItemsNumber;
  }
  for (int i = 0; i < count && entries; ++i) {
    const PanelFindData& entry = entries[i].FindData;
    if (!(entry.dwFileAttributes & kAttrDirectory)) continue;
    if (entry.dwFileAttributes & kAttrReparsePoint) continue;
    const std::string_view name = flavour::NameOfPanelItem(entries[i]);
    if (name.empty() || name == "..") continue;
    if (!AppendName(path, n, name, 1)) continue;
    if (!WalkFolder(walk, path)) break;
  }
  return 1;
}

// Says how many temporary files of dead replaces the walk removed, when it removed any.
void ShowTemporariesRemoved(const SearchRun& run) {
  if (run.temporariesRemoved == 0) return;
  const std::string count = std::to_string(run.temporariesRemoved);
  const char* lines[] = {MessageText(kMsgPluginTitle), MessageText(kMsgTemporariesRemoved),
                         count.c_str(), MessageText(kMsgOk)};
  Info.Message(Info.ModuleNumber, 0, nullptr, lines, 4, 1);
}

int WalkTheScope(SearchRun& run, Walk& walk, const PanelInfo& panel) {
  char path[platform::kMaxPath] = {};
  switch (run.settings.scope) {
    case kScopeAllDrives:
      WalkDrives(walk, path);
      return 1;
    case kScopeCurrentDrive:
      WalkCurrentDrive(walk, path, panel);
      return 1;
    case kScopeSelectedFolders:
      return WalkSelectedFolders(walk, path, panel);
    default:
      // The folder with or without its subfolders; an unknown scope walks like 2.
      if (CopyPath(path, panel.CurDir)) WalkFolder(walk, path);
      return 1;
  }
}

}  // namespace

int EnsureTrailingBackslash(char* path) {
  std::size_t length = strnlen(path, platform::kMaxPath);
  if (length >= static_cast<std::size_t>(platform::kMaxPath)) return -1;
  if (length > 0 && path[length - 1] == platform::kPathSeparator) return static_cast<int>(length);
  // The separator and the terminating zero must both fit.
  if (length + 2 > static_cast<std::size_t>(platform::kMaxPath)) return -1;
  path[length] = platform::kPathSeparator;
  path[length + 1] = '\0';
  return static_cast<int>(length + 1);
}

bool FoundFile::Open(platform::File* opened, std::uint64_t* size) {
  if (folder_)
    return opened->OpenForReadingIn(folder_, record_.cFileName + nameAt_, size, &opened_);
  return opened->OpenForReading(record_.cFileName, size);
}

bool FoundFile::Complete() {
  if (complete_) return true;
  if (opened_.dwFileAttributes != 0) {
    std::memcpy(opened_.cFileName, record_.cFileName, sizeof record_.cFileName);
    record_ = opened_;
  } else if (!CompleteRecord(&record_, folder_, nameAt_)) {
    return false;
  }
  complete_ = true;
  return true;
}

int WalkScope(SearchRun& run, const FileWork& work, bool recordsOnDemand) {
  PanelInfo panel{};
  Info.Control(FAR_INVALID_HANDLE, FCTL_GETPANELINFO, &panel);
  ClearResults(run.results);
  run.filesTested = 0;
  // The host's thread walks and looks at the console; its context lives for the walk.
  MatchContext context(run, true);
  const int threads = work.onWorkers ? CountWorkerThreads(run.settings.threads) : 1;
  std::optional<FileWorkers> workers;
  if (threads > 1) workers.emplace(run, work, threads, !recordsOnDemand);
  Walk walk{run, context, work, recordsOnDemand, workers ? &*workers : nullptr};
  run.temporariesRemoved = 0;
  const int result = WalkTheScope(run, walk, panel);
  if (workers) workers->TakeAll(context);
  workers.reset();
  ShowTemporariesRemoved(run);
  return result;
}
