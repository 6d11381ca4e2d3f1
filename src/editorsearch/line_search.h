// The editor's search within one line: which part of the line is searched, and the
// matcher over that part. Pure: it takes the line's bytes and the search's options.
#pragma once

#include <cstddef>
#include <vector>

#include "far/plugin.h"

struct CompiledPattern;

struct LineSearch {
  bool regex = false;
  bool caseSensitive = false;
  bool reverse = false;
  bool inSelection = false;
  const char* text = "";  // plain mode: the bytes to find
  std::size_t textLength = 0;
  const CompiledPattern* pattern = nullptr;  // pattern mode; none finds nothing
};

struct LineHit {
  int start = 0;  // from the line's first byte
  int length = 0;
  std::vector<int> ovector;  // pattern mode with keep: two offsets per pair
  int pairs = 0;             // the pattern's groups plus 1; 0 in plain mode
};

// Searches text's region [from, from + count). The subject always begins at the line's
// first byte, so anchors and look-behind see the real line start; it ends at the region's
// end. With keep, a pattern match leaves its vector in hit.
bool FindInLine(const LineSearch& search, const char* text, int from, int count, bool keep,
                LineHit* hit);

// As FindInLine, for a window onto a line that begins after the line's first byte: the
// window's start is not taken for the start of the line. Offsets count from the window.
bool FindInLineWindow(const LineSearch& search, const char* window, int from, int count,
                      bool keep, LineHit* hit);

// The region of a line to search from start (-1: the whole line): forward the part from
// start on, backward the part before it, cut to the line's selection with inSelection.
bool LineRegion(const LineSearch& search, const EditorGetString& line, int start, bool keep,
                LineHit* hit);
