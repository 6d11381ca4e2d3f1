#include "filesearch/replace/output.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>

#include "common/messages.h"
#include "filesearch/limit_warning.h"
#include "filesearch/replace/batch.h"
#include "filesearch/temporary_names.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

// A name beside the target that no other file has: the target's name, a mark of this
// plugin and a number that changes with every attempt.
// Several threads make new versions at once.
std::string TemporaryName(const std::string& target, const char* mark, unsigned attempt) {
  static std::atomic<unsigned long long> serial{
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count())};
  return MakeTemporaryName(target, mark, ++serial, attempt);
}

// Creates a new file beside target under a name that no other file has. With hold given,
// the file is held as long as it lives (see platform::FileHold).
bool CreateBeside(const std::string& target, const char* mark, std::uint32_t mode,
                  platform::File& file, std::string* name, platform::FileHold* hold = nullptr) {
  for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    std::string candidate = TemporaryName(target, mark, attempt);
    if (file.CreateNew(candidate.c_str(), mode)) {
      if (!hold || file.Hold(candidate.c_str(), hold)) {
        *name = candidate;
        return true;
      }
      // Another run took the new file for one left behind and removes it, or the hold
      // failed: either way the file is not ours to write. Another name.
      file.Close();
      platform::DeleteFile(candidate.c_str());
      continue;
    }
    // Only a name taken by another file is worth another attempt.
    if (!platform::PathExists(candidate.c_str())) return false;
  }
  return false;
}

// Appends every byte of the file at from to out and counts them.
bool CopyBytes(const std::string& from, platform::File& out, std::uint64_t* count) {
  platform::File in;
  if (!in.OpenForReading(from.c_str())) return false;
  std::vector<unsigned char> buffer(kBufferSize);
  *count = 0;
  for (;;) {
    std::int64_t got = in.Read(buffer.data(), buffer.size());
    if (got < 0) return false;
    if (got == 0) return true;
    if (!out.Write(buffer.data(), static_cast<std::uint64_t>(got))) return false;
    *count += static_cast<std::uint64_t>(got);
  }
}

// Makes out, an existing file open for rewriting, hold exactly the bytes of from, and
// waits until they are on the disk.
bool WriteOver(const std::string& from, platform::File& out) {
  std::uint64_t count = 0;
  return CopyBytes(from, out, &count) && out.SetSize(count) && out.Close();
}

// Fills copy, a new file named name, with the bytes of original and waits until they are
// on the disk; the copy is removed again when that fails.
bool CopyInto(platform::File& copy, const std::string& name, const std::string& original,
              std::uint32_t mode) {
  copy.AdoptMetadata(original.c_str(), mode);
  std::uint64_t count = 0;
  if (CopyBytes(original, copy, &count) && copy.Close()) return true;
  copy.Close();
  platform::DeleteFile(name.c_str());
  return false;
}

// Versions of earlier files that wait in the batch are put in place first: their own
// warnings come before this one, as they would have without the batch.
void ShowFileWarning(const char* helpTopic, MessageId text, const char* path) {
  SettlePendingFiles();
  const char* lines[] = {MessageText(kMsgReplaceTitle), MessageText(text), path};
  ShowWarning(helpTopic, lines, 3);
}

// Below the file's name, why it was left alone.
void ShowWhyNotWritten(const char* path, MessageId why) {
  SettlePendingFiles();
  const char* lines[] = {MessageText(kMsgReplaceTitle), MessageText(kMsgCannotWrite), path,
                         MessageText(why)};
  ShowWarning("FRWriteError", lines, 4);
}

void ShowChangedWarning(const char* path) { ShowWhyNotWritten(path, kMsgChangedMeanwhile); }

}  // namespace

void ShowReadWarning(const char* path) { ShowFileWarning("FRReadError", kMsgCannotRead, path); }
void ShowWriteWarning(const char* path) { ShowFileWarning("FRWriteError", kMsgCannotWrite, path); }
void ShowNotInEncodingWarning(const char* path) { ShowWhyNotWritten(path, kMsgNotInEncoding); }

void FileWarnings::Warn(Kind kind, SearchRun& run, const char* path, int limit) {
  if (keep_) {
    kept_.push_back({kind, limit});
    return;
  }
  switch (kind) {
    case Kind::kRead:
      ShowReadWarning(path);
      break;
    case Kind::kWrite:
      ShowWriteWarning(path);
      break;
    case Kind::kNotInEncoding:
      ShowNotInEncodingWarning(path);
      break;
    case Kind::kPatternLimit:
      // The files before this one are in place when the warning shows.
      SettlePendingFiles();
      WarnPatternLimit(run, path, limit, true);
      break;
  }
}

void FileWarnings::ShowKept(SearchRun& run, const char* path) {
  keep_ = false;
  for (const Kept& kept : kept_) Warn(kept.kind, run, path, kept.limit);
  kept_.clear();
}

bool NewVersion::Create() {
  if (!CreateBeside(target_, "qxnew", original_.mode, file_, &temp_, &hold_)) return false;
  created_ = true;
  buffer_.reserve(kBufferSize);
  // Best effort: what the caller may not set, the new version does without.
  file_.AdoptMetadata(target_.c_str(), original_.mode);
  return true;
}

bool NewVersion::Flush() {
  if (buffer_.empty()) return true;
  bool ok = file_.Write(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

bool NewVersion::Append(const unsigned char* bytes, std::size_t count) {
  if (!created_) return false;
  size_ += count;
  bool ok = true;
  if (buffer_.size() + count <= kBufferSize) {
    buffer_.insert(buffer_.end(), bytes, bytes + count);
  } else {
    ok = Flush() && file_.Write(bytes, count);
  }
  if (!ok) WarnWrite();
  return ok;
}

bool NewVersion::Commit(bool backup) { return Seal() && Place(backup, FinishFlush()); }

bool NewVersion::Seal() {
  if (!created_) return false;
  if (!Flush()) {
    WarnWrite();
    Discard();
    return false;
  }
  // A version that waits for others needs its buffer no longer.
  std::vector<unsigned char>().swap(buffer_);
  // Only a head start: FinishFlush tells whether the bytes reached the disk.
  file_.StartFlush();
  return true;
}

bool NewVersion::FinishFlush() { return created_ && file_.Close(); }

void NewVersion::FinishFlushTogether(NewVersion* const* versions, std::size_t count,
                                     bool* flushed) {
  std::vector<platform::File*> files(count);
  for (std::size_t i = 0; i < count; ++i) files[i] = &versions[i]->file_;
  std::unique_ptr<bool[]> closed(new bool[count ? count : 1]);
  platform::File::CloseTogether(files.data(), count, closed.get());
  for (std::size_t i = 0; i < count; ++i) flushed[i] = versions[i]->created_ && closed[i];
}

bool NewVersion::Place(bool backup, bool flushed) {
  if (!created_) return false;
  if (!flushed) {
    WarnWrite();
    Discard();
    return false;
  }
  // A file with other names is written over in place, so that every name sees the new
  // version.
  const bool placed = original_.links > 1 ? PlaceInPlace(backup) : PlaceByRename(backup);
  Discard();
  return placed;
}

// Another program may have written the file while its new version was made: its write
// wins, and the user learns why the file was left alone.
bool NewVersion::CheckUnchanged() {
  platform::FileInfo now;
  if (platform::QueryFileInfo(target_.c_str(), &now) && platform::IsSameVersion(now, original_))
    return true;
  ShowChangedWarning(shownPath_.c_str());
  return false;
}

// Keeps the old version under name too: a second link to it when mayLink is set and the
// file system has them, else a copy that is on the disk before anything else happens.
// False, silently, when the name is taken; false after the write warning when the copy
// fails.
bool NewVersion::KeepOldVersion(const std::string& name, bool mayLink) {
  if (mayLink && platform::LinkFile(target_.c_str(), name.c_str())) return true;
  platform::File copy;
  if (!copy.CreateNew(name.c_str(), original_.mode)) {
    if (!platform::PathExists(name.c_str())) WarnWrite();
    return false;
  }
  if (CopyInto(copy, name, target_, original_.mode)) return true;
  WarnWrite();
  return false;
}

// One rename replaces the file: at every moment its name holds the complete old or the
// complete new version.
bool NewVersion::PlaceByRename(bool backup) {
  if (!CheckUnchanged()) return false;
  const std::string old = target_ + ".old";
  if (backup && !KeepOldVersion(old, true)) return false;
  if (!platform::RenameReplace(temp_.c_str(), target_.c_str())) {
    if (backup) platform::DeleteFile(old.c_str());
    WarnWrite();
    return false;
  }
  created_ = false;
  temp_.clear();
  return true;
}

// The file's bytes are written over in place. While that happens its name holds a mix of
// both versions; until the new one is on the disk, a copy of the old one (the backup, or
// a temporary copy removed afterwards) and the finished new version both wait beside it.
bool NewVersion::PlaceInPlace(bool backup) {
  // A link would share the bytes about to be written over: the old version is copied.
  std::string keep = target_ + ".old";
  if (backup) {
    if (!KeepOldVersion(keep, false)) return false;
  } else {
    platform::File copy;
    if (!CreateBeside(target_, "qxold", original_.mode, copy, &keep) ||
        !CopyInto(copy, keep, target_, original_.mode)) {
      WarnWrite();
      return false;
    }
  }
  // Checked after the copy: then the copy holds the version that was read.
  if (!CheckUnchanged()) {
    platform::DeleteFile(keep.c_str());
    return false;
  }
  platform::File out;
  if (!out.OpenForRewriting(target_.c_str())) {
    // A file the caller may not write to (read-only, say) is replaced as any other file,
    // as its folder allows, and its other names keep the old version.
    platform::DeleteFile(keep.c_str());
    return PlaceByRename(backup);
  }
  if (!WriteOver(temp_, out)) {
    // The old version goes back; should even that fail, its copy stays as the only one.
    out.Close();
    platform::File back;
    if (back.OpenForRewriting(target_.c_str()) && WriteOver(keep, back))
      platform::DeleteFile(keep.c_str());
    WarnWrite();
    return false;
  }
  if (!backup) platform::DeleteFile(keep.c_str());
  return true;
}

void NewVersion::Discard() {
  if (created_) {
    file_.Close();
    buffer_.clear();
    // A failed delete is tried once more: the temporary file must not stay behind.
    if (!platform::DeleteFile(temp_.c_str())) platform::DeleteFile(temp_.c_str());
    created_ = false;
    temp_.clear();
  }
  // Only now, with the temporary file renamed or removed, may another run look at it.
  hold_.Release();
}
