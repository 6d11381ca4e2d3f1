// The plugin's functions of each search mode, from the one table of modes
// (filesearch/search_modes.h).
#pragma once

#include "filesearch/matchers.h"
#include "filesearch/replace/scans.h"
#include "filesearch/search_modes.h"

struct ModeFunctions {
  Matcher whole;         // tests a whole file at once
  PieceMatcher pieces;   // tests a file in pieces read in turn; null: it needs it whole
  ReplaceScan replace;   // rewrites a file's content; null: the replace does not offer it
};

const ModeFunctions& FunctionsOf(SearchMode mode);
