#include "filesearch/replace/engine.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "filesearch/file_workers.h"
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
// batch (batch.h) to be put in place with others. onWorker: it is made on a worker thread,
// which seals it and leaves the rest to the host's thread.
struct Rewrite {
  Rewrite(SearchRun& run, Confirmations& confirmations, MatchContext& context,
          const std::string& target, const platform::FileRecord* record,
          const platform::FileInfo& original, bool batched, ResultsList* list, bool onWorker)
      : run(run),
        version(std::make_unique<NewVersion>(target, record->cFileName, original, run, onWorker)),
        path(record->cFileName),
        record(record),
        batched(batched),
        onWorker(onWorker),
        list(list) {
    StartConfirmFile(confirmations, run);
    sink.begin = [this, &confirmations] {
      return ConfirmFile(confirmations, this->run, path) && version->Create() ? 1 : 0;
    };
    sink.confirm = [this, &confirmations](const unsigned char* matched, std::size_t length,
                                          const std::string& replacement) {
      if (!confirmations.linesThisFile) return 1;
      return ConfirmMatch(confirmations, this->run,
                          std::string(reinterpret_cast<const char*>(matched), length),
                          replacement, path);
    };
    sink.write = [this](const unsigned char* bytes, std::size_t count) {
      return version->Append(bytes, count) ? 1 : 0;
    };
    output.context = &context;
    output.sink = &sink;
  }

  void Warn(FileWarnings::Kind kind, int limit = 0) {
    version->warnings().Warn(kind, run, path, limit);
  }

  SearchRun& run;
  std::unique_ptr<NewVersion> version;
  const char* path;
  const platform::FileRecord* record;
  bool batched;
  bool onWorker;
  ResultsList* list;  // where a rewritten file is listed, or null
  OutputSink sink;
  ReplaceOutput output;
  bool unspellable = false;  // a replacement cannot be written in the file's encoding
};

// Puts the new version in place when the scan completed (or hands it to the batch), or
// throws it away. 1 when the file is rewritten or will be with its batch; on a worker,
// when the version is sealed.
int FinishRewrite(Rewrite& rewrite, bool complete) {
  if (rewrite.output.tooLarge) rewrite.Warn(FileWarnings::Kind::kRead);
  if (rewrite.unspellable) rewrite.Warn(FileWarnings::Kind::kNotInEncoding);
  if (rewrite.output.limit) rewrite.Warn(FileWarnings::Kind::kPatternLimit, rewrite.output.limit);
  if (!complete || !rewrite.version->IsCreated()) {
    rewrite.version->Discard();
    return 0;
  }
  const bool backup = rewrite.run.settings.keepBackup;
  if (rewrite.batched) {
    if (!rewrite.version->Seal()) return 0;
    // The host's thread queues it, in walk order.
    if (rewrite.onWorker) return 1;
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
    rewrite.Warn(FileWarnings::Kind::kRead);
    return 0;
  }
  return RewriteFrom(rewrite, buffer.get(), size, ScanContent);
}

// A file opened to be rewritten: the file its name leads to, and the version that is read,
// which must still be there when the new one takes its place.
struct OpenedFile {
  std::string target;
  platform::File file;
  platform::FileInfo opened;
};

// Opens the file the record names to be rewritten. False when it is left as it is: no
// regular file, its backup name taken (before any question), or not readable (after the
// read warning).
bool OpenForRewrite(SearchRun& run, const platform::FileRecord* record, OpenedFile* opened,
                    FileWarnings& warnings) {
  // A link stays a link: the file it points to is the one rewritten.
  char target[platform::kMaxPath];
  if (!platform::ResolveFilePath(record->cFileName, target, platform::kMaxPath)) return false;
  platform::FileInfo info;
  if (!platform::QueryFileInfo(target, &info) || !info.regular) return false;
  opened->target = target;
  if (run.settings.keepBackup && platform::PathExists((opened->target + ".old").c_str()))
    return false;
  if (!opened->file.OpenForReading(target)) return false;
  // The size the file has now, not the one the listing saw.
  if (!opened->file.QueryInfo(&opened->opened)) {
    warnings.Warn(FileWarnings::Kind::kRead, run, record->cFileName);
    return false;
  }
  return true;
}

// Reads the opened file and makes its new version through the rewrite.
int RewriteOpened(Rewrite& rewrite, OpenedFile& opened) {
  int result = -1;
  if (opened.opened.size <= rewrite.run.settings.readAtOnceBytes)
    result = ReplaceFromMemory(rewrite, opened.file, opened.opened.size);
  if (result < 0) {
    opened.file.Close();
    result = ReplaceFromMapping(rewrite, opened.target);
  }
  return result;
}

// Rewrites the file, or queues its new version with the batch; lists it in list (when set)
// once it is rewritten. 1 when it is rewritten or queued.
int ReplaceFile(ReplaceRun& replace, MatchContext& context, const platform::FileRecord* record,
                ResultsList* list) {
  const SearchSettings& settings = replace.run.settings;
  FileWarnings warnings(false);
  OpenedFile opened;
  if (!OpenForRewrite(replace.run, record, &opened, warnings)) return 0;
  const FileIdentity identity = IdentityOf(opened.opened);
  if (WasRewritten(identity)) return 0;
  if (IsPending(identity)) {
    // The same file under another name, its new version not yet in place: once it is,
    // this name is looked at afresh, as it would have been without the batch.
    opened.file.Close();
    SettlePendingFiles();
    return ReplaceFile(replace, context, record, list);
  }
  // A question shows the file's path: the files before it are in place by then, as the
  // user expects; so is every file before one with several names, which is written over
  // in place.
  const bool batched = !replace.confirmations.filesThisRun && !settings.confirmMatches &&
                       opened.opened.links <= 1;
  if (!batched) SettlePendingFiles();
  Rewrite rewrite(replace.run, replace.confirmations, context, opened.target, record,
                  opened.opened, batched, list, false);
  const int result = RewriteOpened(rewrite, opened);
  if (result == 1 && !batched) NoteRewritten(opened.target, opened.opened);
  return result;
}

// What a worker made of one file for the take.
struct PreparedRewrite {
  // Warnings from before a new version was begun.
  FileWarnings warnings{true};
  // The file has several names: the host's thread rewrites it in place, in walk order.
  bool onHost = false;
  // Its new version, sealed, or discarded (its warnings still to be shown); or null.
  std::unique_ptr<NewVersion> version;
};

// A worker's half of a replace without questions: makes the file's new version.
FileOutcome PrepareRewrite(ReplaceRun& replace, FoundFile& file, MatchContext& context) {
  FileOutcome outcome;
  auto prepared = std::make_shared<PreparedRewrite>();
  outcome.made = prepared;
  OpenedFile opened;
  if (!OpenForRewrite(replace.run, &file.record(), &opened, prepared->warnings)) return outcome;
  if (opened.opened.links > 1) {
    prepared->onHost = true;
    return outcome;
  }
  // No question is asked in a run on several threads.
  Confirmations none = StartConfirmRun(replace.run);
  Rewrite rewrite(replace.run, none, context, opened.target, &file.record(), opened.opened, true,
                  nullptr, true);
  RewriteOpened(rewrite, opened);
  prepared->version = std::move(rewrite.version);
  return outcome;
}

// The host's half, in walk order: shows the warnings the worker kept and queues the new
// version with the batch, unless the file was rewritten under another name meanwhile.
void TakeRewrite(ReplaceRun& replace, FoundFile& file, FileOutcome& outcome,
                 MatchContext& context) {
  SearchRun& run = replace.run;
  ResultsList* list = run.settings.listRewritten ? run.results : nullptr;
  auto* prepared = static_cast<PreparedRewrite*>(outcome.made.get());
  if (!prepared) return;
  if (prepared->onHost) {
    ReplaceFile(replace, context, &file.record(), list);
    return;
  }
  prepared->warnings.ShowKept(run, file.path());
  if (!prepared->version) return;
  NewVersion& version = *prepared->version;
  version.warnings().ShowKept(run, version.shownPath().c_str());
  if (!version.IsCreated()) return;
  const FileIdentity identity = IdentityOf(version.original());
  if (IsPending(identity)) SettlePendingFiles();
  if (WasRewritten(identity)) return;
  QueueNewVersion(std::move(prepared->version), run.settings.keepBackup, list, &file.record());
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

FileWork ReplaceFileWork(ReplaceRun& replace) {
  const SearchSettings& settings = replace.run.settings;
  // A question is the host's: a run that asks any works on the host's thread alone, as
  // does a run on one thread.
  if (settings.confirmFiles || settings.confirmMatches || CountWorkerThreads(settings.threads) < 2) {
    return FileWork{[](FoundFile&, MatchContext&) { return FileOutcome(); },
                    [&replace](FoundFile& file, FileOutcome&, MatchContext& context) {
                      ReplaceInFile(replace, file, context);
                    },
                    false};
  }
  return FileWork{[&replace](FoundFile& file, MatchContext& context) {
                    return PrepareRewrite(replace, file, context);
                  },
                  [&replace](FoundFile& file, FileOutcome& outcome, MatchContext& context) {
                    TakeRewrite(replace, file, outcome, context);
                  }};
}
