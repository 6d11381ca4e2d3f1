// The per-file replace engine: the replace command's per-file action.
#pragma once

#include "far/plugin.h"
#include "filesearch/results.h"

// Rewrites one file with the accepted replacements and lists it (FROpenModified) when it
// was rewritten. The new version is written to a temporary file beside the file and put
// in its place by one rename once it is complete; any failure before that leaves the old
// content where it was.
void ReplaceInFile(FarFindData* file, ResultsList* results);
// 1 when the file was rewritten.
int ReplaceFile(const FarFindData* file);
