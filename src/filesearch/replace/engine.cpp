#include "filesearch/replace/engine.h"

#include <memory>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "filesearch/limit_warning.h"
#include "filesearch/replace/confirm.h"
#include "filesearch/replace/output.h"
#include "filesearch/replace/scans.h"
#include "filesearch/settings.h"
#include "platform/platform.h"

namespace {

// The files rewritten in this run, by device and file number as they are now.
std::set<std::pair<std::uint64_t, std::uint64_t>> RewrittenFiles;

std::pair<std::uint64_t, std::uint64_t> IdentityOf(const platform::FileInfo& info) {
  return {info.device, info.index};
}

// One file being rewritten: where its new version goes and how the scan reaches it.
struct Rewrite {
  Rewrite(const std::string& target, const char* shownPath, const platform::FileInfo& original)
      : version(target, shownPath, original), path(shownPath) {
    sink.begin = [this] { return ConfirmFile(path) && version.Create() ? 1 : 0; };
    sink.confirm = [this](const unsigned char* matched, std::size_t length,
                          const std::string& replacement) {
      if (!ConfirmLinesThisFile) return 1;
      return ConfirmMatch(std::string(reinterpret_cast<const char*>(matched), length),
                          replacement, path);
    };
    sink.write = [this](const unsigned char* bytes, std::size_t count) {
      return version.Append(bytes, count) ? 1 : 0;
    };
    output.sink = &sink;
  }

  NewVersion version;
  const char* path;
  OutputSink sink;
  ReplaceOutput output;
};

// Scans the content and puts the new version in place when it is complete.
// Puts the new version in place when the scan completed, or throws it away.
int FinishRewrite(Rewrite& rewrite, bool complete) {
  if (rewrite.output.tooLarge) ShowReadWarning(rewrite.path);
  if (rewrite.output.limit) WarnPatternLimit(rewrite.path, rewrite.output.limit, true);
  if (!complete || !rewrite.version.IsCreated()) {
    rewrite.version.Discard();
    return 0;
  }
  return rewrite.version.Commit(FRSaveOriginal != 0) ? 1 : 0;
}

int RewriteFrom(Rewrite& rewrite, const unsigned char* content, std::uint64_t length,
                bool (*scan)(Rewrite&, const unsigned char*, std::uint64_t)) {
  return FinishRewrite(rewrite, scan(rewrite, content, length));
}

bool ScanContent(Rewrite& rewrite, const unsigned char* content, std::uint64_t length) {
  return ReplaceInContent(content, static_cast<std::size_t>(length), &rewrite.output) == 1;
}

struct GuardedScan {
  Rewrite* rewrite;
  const unsigned char* content;
  std::uint64_t length;
  bool complete = false;
};

void RunGuardedScan(void* arg) {
  auto* scan = static_cast<GuardedScan*>(arg);
  scan->complete = ScanContent(*scan->rewrite, scan->content, scan->length);
}

// The mapped file may be cut short by another process while it is read: the scan then
// reads zeros, and its output is thrown away.
bool ScanMapped(Rewrite& rewrite, const unsigned char* content, std::uint64_t length) {
  GuardedScan scan{&rewrite, content, length};
  bool unfaulted = platform::RunGuarded(content, length, RunGuardedScan, &scan);
  return unfaulted && scan.complete;
}

int ReplaceFromMapping(Rewrite& rewrite, const std::string& target) {
  platform::FileView view;
  if (!view.Open(target.c_str())) return 0;
  // Windows renames no file that is still mapped: the view goes before the commit.
  const bool complete = ScanMapped(rewrite, view.data(), view.size());
  view.Close();
  return FinishRewrite(rewrite, complete);
}

int ReplaceFromMemory(Rewrite& rewrite, platform::File& file, std::uint64_t size) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size ? size : 1]);
  if (!buffer) return -1;
  std::int64_t read = file.Read(buffer.get(), size);
  file.Close();
  if (read < 0 || static_cast<std::uint64_t>(read) != size) {
    ShowReadWarning(rewrite.path);
    return 0;
  }
  return RewriteFrom(rewrite, buffer.get(), size, ScanContent);
}

}  // namespace

int ReplaceFile(const FarFindData* record) {
  const char* path = record->cFileName;
  // A link stays a link: the file it points to is the one rewritten.
  char target[kMaxPath];
  if (!platform::ResolveFilePath(path, target, kMaxPath)) return 0;
  platform::FileInfo info;
  if (!platform::QueryFileInfo(target, &info) || !info.regular) return 0;
  // A backup name already taken leaves the file as it is, before any question.
  std::string backup = std::string(target) + ".old";
  if (FRSaveOriginal && platform::PathExists(backup.c_str())) return 0;

  platform::File file;
  if (!file.OpenForReading(target)) return 0;
  // The size the file has now, not the one the listing saw; and the version that is read,
  // which must still be there when the new one takes its place.
  platform::FileInfo opened;
  if (!file.QueryInfo(&opened)) {
    ShowReadWarning(path);
    return 0;
  }
  if (RewrittenFiles.count(IdentityOf(opened))) return 0;
  const std::uint64_t size = opened.size;
  Rewrite rewrite(target, path, opened);
  const std::uint64_t limit =
      static_cast<std::uint64_t>(ReadAtOnceLimit > 0 ? ReadAtOnceLimit : 0) * 1024u;
  int result = -1;
  if (size <= limit) result = ReplaceFromMemory(rewrite, file, size);
  if (result < 0) {
    file.Close();
    result = ReplaceFromMapping(rewrite, target);
  }
  platform::FileInfo now;
  if (result == 1 && platform::QueryFileInfo(target, &now))
    RewrittenFiles.insert(IdentityOf(now));
  return result;
}

void StartReplaceRun() { RewrittenFiles.clear(); }

void ReplaceInFile(FarFindData* file, ResultsList* results) {
  if (ReplaceFile(file) && FROpenModified) AddResult(results, file);
}
