// The per-file replace engine: the replace command's per-file action.
#pragma once

#include "filesearch/file_work.h"
#include "filesearch/replace/confirm.h"

class FoundFile;
class MatchContext;
struct SearchRun;

// A replace run: the search run it replaces for, and where its questions stand.
struct ReplaceRun {
  explicit ReplaceRun(SearchRun& searchRun) : run(searchRun) {}
  SearchRun& run;
  Confirmations confirmations;
};

// Rewrites one file with the accepted replacements and lists it (when the run lists
// rewritten files) once it was rewritten. The new version is written to a temporary file
// beside the file and put in its place by one rename once it is complete (a file with
// several links is written over in place instead, with a copy of the old version kept
// meanwhile); any failure before that, or a write by another program since the file was
// read, leaves the old content where it was.
void ReplaceInFile(ReplaceRun& replace, FoundFile& file, MatchContext& context);
// The replace as the walk takes it: without questions, the new versions are made on the
// workers and put in place by the host's thread in walk order (as ReplaceInFile would);
// with questions, ReplaceInFile on the host's thread.
FileWork ReplaceFileWork(ReplaceRun& replace);
// At the start of a run: no question answered, no file rewritten yet. A file that the walk
// reaches again under another name (a hard or symbolic link) is rewritten only once in a
// run.
void StartReplaceRun(ReplaceRun& replace);
// At the end of a run, however it ended: the new versions that wait to be put in place
// together with others (when no question was asked for them) are put in place.
void FinishReplaceRun(ReplaceRun& replace);
