// The new version of one file: a temporary file beside it, buffered writes, and the rename
// that puts it in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

class NewVersion {
 public:
  // target: the file that is rewritten (links resolved); shownPath: its name in messages.
  NewVersion(std::string target, const char* shownPath, std::uint32_t mode)
      : target_(std::move(target)), shownPath_(shownPath), mode_(mode) {}
  NewVersion(const NewVersion&) = delete;
  NewVersion& operator=(const NewVersion&) = delete;
  ~NewVersion() { Discard(); }

  // Creates the temporary file. False (no message) when it cannot be created.
  bool Create();
  bool IsCreated() const { return created_; }
  // Appends bytes; on a failure the write warning is shown and false returned.
  bool Append(const unsigned char* bytes, std::size_t count);
  // Flushes, closes and puts the new version in place, the old one under the backup name
  // when backup is set. False (the old content stays in place) when anything fails.
  bool Commit(bool backup);
  // Removes the temporary file, if any.
  void Discard();

 private:
  bool Flush();

  std::string target_;
  const char* shownPath_;
  std::uint32_t mode_;
  std::string temp_;
  platform::File file_;
  bool created_ = false;
  std::vector<unsigned char> buffer_;
};

void ShowReadWarning(const char* path);
void ShowWriteWarning(const char* path);
