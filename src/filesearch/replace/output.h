// The new version of one file: a temporary file beside it, buffered writes, and how it is
// put in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SearchRun;

// The warnings about one file being rewritten. On the host's thread each is shown at once;
// a worker thread, which may not call the host, keeps them in order until the host's
// thread shows them (ShowKept).
class FileWarnings {
 public:
  enum class Kind { kRead, kWrite, kNotInEncoding, kPatternLimit };
  explicit FileWarnings(bool keep) : keep_(keep) {}
  // limit: the kLimit value the pattern engine gave up with (kPatternLimit).
  void Warn(Kind kind, SearchRun& run, const char* path, int limit = 0);
  // On the host's thread: shows the kept warnings; from now on each is shown at once.
  void ShowKept(SearchRun& run, const char* path);

 private:
  struct Kept {
    Kind kind;
    int limit;
  };
  bool keep_;
  std::vector<Kept> kept_;
};

class NewVersion {
 public:
  // target: the file that is rewritten (links resolved); shownPath: its name in messages;
  // original: what the target was when it was opened to be read. keepWarnings: it is made
  // on a worker thread, which keeps its warnings for the host's thread (warnings()).
  NewVersion(std::string target, std::string shownPath, const platform::FileInfo& original,
             SearchRun& run, bool keepWarnings = false)
      : target_(std::move(target)),
        shownPath_(std::move(shownPath)),
        original_(original),
        run_(&run),
        warnings_(keepWarnings) {}
  NewVersion(const NewVersion&) = delete;
  NewVersion& operator=(const NewVersion&) = delete;
  ~NewVersion() { Discard(); }

  // Creates the temporary file, with the target's mode and, as far as the caller may set
  // them, its owner, group and extended attributes. False (no message) when it cannot be
  // created.
  bool Create();
  bool IsCreated() const { return created_; }
  // Appends bytes; on a failure the write warning is shown and false returned.
  bool Append(const unsigned char* bytes, std::size_t count);
  // Flushes, closes and puts the new version in place, the old one under the backup name
  // when backup is set. False when anything fails or the target changed since it was
  // read: the old content then stays in place, and the warning says why.
  bool Commit(bool backup);
  // Commit in three steps, so that several files can wait for the disk together:
  // Seal writes what is still buffered and starts the flush (false after the write
  // warning, the temporary file gone); FinishFlush waits until the bytes are on the disk
  // and closes (false when that failed; nothing shown yet); Place then puts the version
  // in place as Commit does, or, when it was not flushed, shows the write warning.
  bool Seal();
  bool FinishFlush();
  // FinishFlush for several sealed versions, waiting for the disk once for all of them;
  // flushed[i] for versions[i].
  static void FinishFlushTogether(NewVersion* const* versions, std::size_t count, bool* flushed);
  bool Place(bool backup, bool flushed);
  const std::string& target() const { return target_; }
  const platform::FileInfo& original() const { return original_; }
  // Bytes written so far.
  std::uint64_t size() const { return size_; }
  // Removes the temporary file, if any.
  void Discard();
  // The warnings about this file, its own and those of the scan that makes it.
  FileWarnings& warnings() { return warnings_; }
  const std::string& shownPath() const { return shownPath_; }

 private:
  bool Flush();
  bool CheckUnchanged();
  bool KeepOldVersion(const std::string& name, bool mayLink);
  bool PlaceByRename(bool backup);
  bool PlaceInPlace(bool backup);
  void WarnWrite() { warnings_.Warn(FileWarnings::Kind::kWrite, *run_, shownPath_.c_str()); }

  std::string target_;
  std::string shownPath_;
  platform::FileInfo original_;
  SearchRun* run_;
  FileWarnings warnings_;
  std::string temp_;
  platform::File file_;
  // Marks the temporary file as in use until it is renamed or removed.
  platform::FileHold hold_;
  bool created_ = false;
  std::uint64_t size_ = 0;
  std::vector<unsigned char> buffer_;
};

void ShowReadWarning(const char* path);
void ShowWriteWarning(const char* path);
// The file stays as it is: a replacement cannot be written in its encoding.
void ShowNotInEncodingWarning(const char* path);
