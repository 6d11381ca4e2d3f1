// The new versions of a replace run that wait to be put in place together, and the files
// the run has rewritten. Waiting for the disk once per file costs more than the rest of a
// replace; a batch of finished versions is flushed together and then each is renamed into
// place, in the order the walk found them.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "filesearch/replace/output.h"
#include "filesearch/results.h"

// A file by device and file number.
using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;
FileIdentity IdentityOf(const platform::FileInfo& info);

// At the start of a run: nothing rewritten, nothing waiting.
void StartBatches();
// True when the run has rewritten the file: by its identity after the rewrite, or by the
// one it had when it was read (a worker may have read it before the rewrite).
bool WasRewritten(const FileIdentity& file);
// True when the file's new version waits in the batch (by the identity it was read with).
bool IsPending(const FileIdentity& file);
// Notes a file put in place, by the name it now has and the version it was read as.
void NoteRewritten(const std::string& target, const platform::FileInfo& original);

// Takes a sealed version (NewVersion::Seal) to be put in place with the batch. With list
// set, the file is listed at once, where a file rewritten alone would have been, and taken
// out again should it not be put in place. A full batch is put in place at once.
void QueueNewVersion(std::unique_ptr<NewVersion> version, bool backup, ResultsList* list,
                     const platform::FileRecord* record);
// Puts every waiting version in place, in the order queued, each with the warnings it
// would have shown alone. Called before anything else is shown to the user, so that what
// the user sees comes in the order of the walk, and at the end of the run. Does nothing
// while a batch is being put in place.
void SettlePendingFiles();
