#include "filesearch/replace/engine.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "filesearch/limit_warning.h"
#include "filesearch/match_context.h"
#include "filesearch/replace/batch.h"
#include "filesearch/replace/confirm.h"
#include "filesearch/replace/encoded_replace.h"
#include "filesearch/replace/output.h"
#include "filesearch/replace/scans.h"
#include "filesearch/results.h"
#include "filesearch/search_run.h"
#include "filesearch/walker.h"
#include "platform/platform.h"

namespace {

// One file being rewritten: where its new version goes and how the scan reaches it.
// batched: no question can come up for this file, so its new version may wait in the
// batch (batch.h) to be put in place with others.
struct Rewrite {
  Rewrite(ReplaceRun& replace, MatchContext& context, const std::string& target,
          const platform::FileRecord* record, const platform::FileInfo& original, bool batched,
          ResultsList* list)
      : replace(replace),
        version(std::make_unique<NewVersion>(target, record->cFileName, original)),
        path(record->cFileName),
        record(record),
        batched(batched),
        list(list) {
    Confirmations& confirmations = replace.confirmations;
    StartConfirmFile(confirmations, replace.run);
    sink.begin = [this, &confirmations] {
      return ConfirmFile(confirmations, this->replace.run, path) && version->Create() ? 1 : 0;
    };
    sink.confirm = [this, &confirmations](const unsigned char* matched, std::size_t length,
                                          const std::string& replacement) {
      if (!confirmations.linesThisFile) return 1;
      return ConfirmMatch(confirmations, this->replace.run,
                          std::string(reinterpret_cast<const char*>(matched), length),
                          replacement, path);
    };
    sink.write = [this](const unsigned char* bytes, std::size_t count) {
      return version->Append(bytes, count) ? 1 : 0;
    };
    output.context = &context;
    output.sink = &sink;
  }

  ReplaceRun& replace;
  std::unique_ptr<NewVersion> version;
  const char* path;
  const platform::FileRecord* record;
  bool batched;
  ResultsList* list;  // where a rewritten file is listed, or null
  OutputSink sink;
  ReplaceOutput output;
  bool unspellable = false;  // a replacement cannot be written in the file's encoding
};

// Puts the new version in place when the scan completed (or hands it to the batch), or
// throws it away. 1 when the file is rewritten or will be with its batch.
int FinishRewrite(Rewrite& rewrite, bool complete) {
  if (rewrite.output.tooLarge) ShowReadWarning(rewrite.path);
  if (rewrite.unspellable) ShowNotInEncodingWarning(rewrite.path);
  if (rewrite.output.limit) {
    SettlePendingFiles();
    WarnPatternLimit(rewrite.replace.run, rewrite.path, rewrite.output.limit, true);
  }
  if (!complete || !rewrite.version->IsCreated()) {
    rewrite.version->Discard();
    return 0;
  }
  const bool backup = rewrite.replace.run.settings.keepBackup;
  if (rewrite.batched) {
    if (!rewrite.version->Seal()) return 0;
    QueueNewVersion(std::move(rewrite.version), backup, rewrite.list, rewrite.record);
    return 1;
  }
  if (!rewrite.version->Commit(backup)) return 0;
  if (rewrite.list) AddResult(rewrite.list, rewrite.record);
  return 1;
}

int RewriteFrom(Rewrite& rewrite, const unsigned char* content, std::uint64_t length,
                bool (*scan)(Rewrite&, const unsigned char*, std::uint64_t)) {
  return FinishRewrite(rewrite, scan(rewrite, content, length));
}

bool ScanContent(Rewrite& rewrite, const unsigned char* content, std::uint64_t length) {
  return ReplaceInEncodedContent(content, static_cast<std::size_t>(length), &rewrite.output,
                                 &rewrite.unspellable) == 1;
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

// Rewrites the file, or queues its new version with the batch; lists it in list (when set)
// once it is rewritten. 1 when it is rewritten or queued.
int ReplaceFile(ReplaceRun& replace, MatchContext& context, const platform::FileRecord* record,
                ResultsList* list) {
  const SearchSettings& settings = replace.run.settings;
  const char* path = record->cFileName;
  // A link stays a link: the file it points to is the one rewritten.
  char target[kMaxPath];
  if (!platform::ResolveFilePath(path, target, kMaxPath)) return 0;
  platform::FileInfo info;
  if (!platform::QueryFileInfo(target, &info) || !info.regular) return 0;
  // A backup name already taken leaves the file as it is, before any question.
  std::string backup = std::string(target) + ".old";
  if (settings.keepBackup && platform::PathExists(backup.c_str())) return 0;

  platform::File file;
  if (!file.OpenForReading(target)) return 0;
  // The size the file has now, not the one the listing saw; and the version that is read,
  // which must still be there when the new one takes its place.
  platform::FileInfo opened;
  if (!file.QueryInfo(&opened)) {
    ShowReadWarning(path);
    return 0;
  }
  if (WasRewritten(IdentityOf(opened))) return 0;
  if (IsPending(IdentityOf(opened))) {
    // The same file under another name, its new version not yet in place: once it is,
    // this name is looked at afresh, as it would have been without the batch.
    file.Close();
    SettlePendingFiles();
    return ReplaceFile(replace, context, record, list);
  }
  // A question shows the file's path: the files before it are in place by then, as the
  // user expects; so is every file before one with several names, which is written over
  // in place.
  const bool batched =
      !replace.confirmations.filesThisRun && !settings.confirmMatches && opened.links <= 1;
  if (!batched) SettlePendingFiles();
  const std::uint64_t size = opened.size;
  Rewrite rewrite(replace, context, target, record, opened, batched, list);
  int result = -1;
  if (size <= settings.readAtOnceBytes) result = ReplaceFromMemory(rewrite, file, size);
  if (result < 0) {
    file.Close();
    result = ReplaceFromMapping(rewrite, target);
  }
  if (result == 1 && !batched) NoteRewritten(target);
  return result;
}

}  // namespace

void StartReplaceRun(ReplaceRun& replace) {
  replace.confirmations = StartConfirmRun(replace.run);
  StartBatches();
}

void FinishReplaceRun(ReplaceRun&) { SettlePendingFiles(); }

void ReplaceInFile(ReplaceRun& replace, FoundFile& file, MatchContext& context) {
  SearchRun& run = replace.run;
  ReplaceFile(replace, context, &file.record(), run.settings.listRewritten ? run.results : nullptr);
}
