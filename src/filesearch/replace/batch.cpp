#include "filesearch/replace/batch.h"

#include <set>
#include <vector>

namespace {

// Bounds of one batch: open temporary files, and bytes that a failure of the disk would
// make the run write again.
constexpr std::size_t kMaxPendingFiles = 256;
constexpr std::uint64_t kMaxPendingBytes = 64u << 20;

struct PendingFile {
  std::unique_ptr<NewVersion> version;
  bool backup = false;
  ResultsList* list = nullptr;  // where the file was listed, or null
  int listIndex = -1;
  bool countedLeftOut = false;  // its path was too long for the panel: counted instead
};

std::vector<PendingFile> Pending;
std::uint64_t PendingBytes = 0;
bool Settling = false;

// The files rewritten in this run, by device and file number as they are now.
std::set<FileIdentity> RewrittenFiles;

}  // namespace

FileIdentity IdentityOf(const platform::FileInfo& info) { return {info.device, info.index}; }

void StartBatches() {
  SettlePendingFiles();
  RewrittenFiles.clear();
}

bool WasRewritten(const FileIdentity& file) { return RewrittenFiles.count(file) != 0; }

bool IsPending(const FileIdentity& file) {
  for (const PendingFile& pending : Pending)
    if (IdentityOf(pending.version->original()) == file) return true;
  return false;
}

void NoteRewritten(const std::string& target, const platform::FileInfo& original) {
  RewrittenFiles.insert(IdentityOf(original));
  platform::FileInfo now;
  if (platform::QueryFileInfo(target.c_str(), &now)) RewrittenFiles.insert(IdentityOf(now));
}

void QueueNewVersion(std::unique_ptr<NewVersion> version, bool backup, ResultsList* list,
                     const platform::FileRecord* record) {
  PendingFile pending{std::move(version), backup, list, -1, false};
  if (list) {
    const int before = list->count;
    const int leftOutBefore = list->leftOut;
    AddResult(list, record);
    if (list->count > before) pending.listIndex = before;
    pending.countedLeftOut = list->leftOut > leftOutBefore;
  }
  PendingBytes += pending.version->size();
  Pending.push_back(std::move(pending));
  if (Pending.size() >= kMaxPendingFiles || PendingBytes >= kMaxPendingBytes)
    SettlePendingFiles();
}

void SettlePendingFiles() {
  if (Settling || Pending.empty()) return;
  Settling = true;
  std::vector<PendingFile> batch;
  batch.swap(Pending);
  PendingBytes = 0;
  // Every flush was started when its file was sealed; one wait covers them all. No
  // version is renamed before all are on the disk, so each rename puts a complete,
  // durable version in place.
  std::vector<NewVersion*> versions(batch.size());
  for (std::size_t i = 0; i < batch.size(); ++i) versions[i] = batch[i].version.get();
  std::unique_ptr<bool[]> flushed(new bool[batch.size()]);
  NewVersion::FinishFlushTogether(versions.data(), versions.size(), flushed.get());
  int unlisted = 0;
  for (std::size_t i = 0; i < batch.size(); ++i) {
    PendingFile& file = batch[i];
    if (file.version->Place(file.backup, flushed[i])) {
      NoteRewritten(file.version->target(), file.version->original());
    } else if (file.listIndex >= 0) {
      // Entries of this batch come last in the list, in order: each one taken out moves
      // the later ones up.
      RemoveResult(file.list, file.listIndex - unlisted++);
    } else if (file.countedLeftOut) {
      --file.list->leftOut;  // not rewritten after all, so not among the files left out
    }
    file.version.reset();  // a temporary file that was not put in place goes
  }
  Settling = false;
}
