#include "filesearch/replace/output.h"

#include <chrono>
#include <cstdio>

#include "common/messages.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr int kCreateAttempts = 64;

// A name beside the target that no other file has: the target's name, a mark of this
// plugin and a number that changes with every attempt.
std::string TemporaryName(const std::string& target, unsigned attempt) {
  static unsigned long long serial =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, ".qxnew-%llx-%u", ++serial & 0xffffffffffULL, attempt);
  return target + suffix;
}

void ShowFileWarning(const char* helpTopic, int text, const char* path) {
  const char* lines[] = {MessageText(8), MessageText(text), path};
  ShowWarning(helpTopic, lines, 3);
}

}  // namespace

void ShowReadWarning(const char* path) { ShowFileWarning("FRReadError", 32, path); }
void ShowWriteWarning(const char* path) { ShowFileWarning("FRWriteError", 33, path); }

bool NewVersion::Create() {
  for (unsigned attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string name = TemporaryName(target_, attempt);
    if (file_.CreateNew(name.c_str(), mode_)) {
      temp_ = name;
      created_ = true;
      buffer_.reserve(kBufferSize);
      return true;
    }
    // Only a name taken by another file is worth another attempt.
    if (!platform::PathExists(name.c_str())) return false;
  }
  return false;
}

bool NewVersion::Flush() {
  if (buffer_.empty()) return true;
  bool ok = file_.Write(buffer_.data(), buffer_.size());
  buffer_.clear();
  return ok;
}

bool NewVersion::Append(const unsigned char* bytes, std::size_t count) {
  if (!created_) return false;
  bool ok = true;
  if (buffer_.size() + count <= kBufferSize) {
    buffer_.insert(buffer_.end(), bytes, bytes + count);
  } else {
    ok = Flush() && file_.Write(bytes, count);
  }
  if (!ok) ShowWriteWarning(shownPath_);
  return ok;
}

bool NewVersion::Commit(bool backup) {
  if (!created_) return false;
  if (!Flush() || !file_.Close()) {
    ShowWriteWarning(shownPath_);
    Discard();
    return false;
  }
  if (backup) {
    // The old content moves to the backup name only when that name is free, and comes
    // back when the new version cannot take its place.
    std::string old = target_ + ".old";
    if (!platform::RenameNoReplace(target_.c_str(), old.c_str())) {
      Discard();
      return false;
    }
    if (!platform::RenameReplace(temp_.c_str(), target_.c_str())) {
      platform::RenameNoReplace(old.c_str(), target_.c_str());
      ShowWriteWarning(shownPath_);
      Discard();
      return false;
    }
  } else if (!platform::RenameReplace(temp_.c_str(), target_.c_str())) {
    ShowWriteWarning(shownPath_);
    Discard();
    return false;
  }
  created_ = false;
  temp_.clear();
  return true;
}

void NewVersion::Discard() {
  if (!created_) return;
  file_.Close();
  buffer_.clear();
  // A failed delete is tried once more: the temporary file must not stay behind.
  if (!platform::DeleteFile(temp_.c_str())) platform::DeleteFile(temp_.c_str());
  created_ = false;
  temp_.clear();
}
