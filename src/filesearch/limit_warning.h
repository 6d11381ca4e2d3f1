// The warning that the pattern engine gave up on a file (one of its limits reached): that
// file's test has no answer, so a search lists it neither way and a replace leaves it as
// it was. A pattern that exhausts the engine on one file tends to do so on many, so only
// the first such file of a run is reported.
#pragma once

struct SearchRun;

// Shows the warning for path unless the run has shown one; limit is a kLimit value of
// common/pattern.h. On the host's thread only.
void WarnPatternLimit(SearchRun& run, const char* path, int limit, bool replacing);
