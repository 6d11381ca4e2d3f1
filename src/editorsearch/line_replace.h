// Replace-all within one line: what a run answered "all" leaves of the line, built in one
// pass, so that the editor is handed the line once however many matches it holds. Pure:
// it takes the line's bytes and gives back the new ones.
#pragma once

#include <cstddef>
#include <string>

#include "editorsearch/line_search.h"

struct LineReplacement {
  std::string text;      // the line as it then stands
  int replaced = 0;      // replacements made
  int position = -1;     // the cursor after the last one: after its text (forward), at its start
  bool stopped = false;  // asked to stop, or the line would grow past what an int counts
};

// Replaces every match from start (-1: the whole line) on, forward or backward as the
// search says, as the run does one match at a time: each search goes on in the line as it
// then stands, a forward one after the inserted text, and after an empty match one byte
// further. reach: how many bytes before a start position the matcher may read (see
// PatternLookbehindReach; 0 for plain text). stop, when set, is asked before each
// replacement; true ends the line with what was done so far. search.inSelection is not
// looked at: a replacement removes the selection.
LineReplacement ReplaceAllInLine(const LineSearch& search, std::string line, int start,
                                 const char* templateText, const char* eol, std::size_t reach,
                                 bool (*stop)());
