// The replace command: its dialog and the walk with the per-file replace engine.
#pragma once

#include "filesearch/results.h"

// 0: cancelled or the walk failed; 1: a walk ran, show the rewritten files; 2: a walk ran,
// no panel.
int RunReplace(ResultsList* results);
