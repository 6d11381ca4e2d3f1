// The terminal while a command runs: keys arrive one by one without echo (so that a lone
// Escape reaches the plugin's poll at once), and the search progress is one line on
// stderr that is overwritten.
#pragma once

#include <string>
#include <vector>

namespace program {

// Non-canonical, no-echo standard input for its lifetime when standard input is a
// terminal; the old mode comes back on destruction and on SIGINT, SIGTERM, SIGHUP,
// SIGQUIT and while the program is stopped (SIGTSTP).
class RawTerminalInput {
 public:
  RawTerminalInput();
  ~RawTerminalInput();
  RawTerminalInput(const RawTerminalInput&) = delete;
  RawTerminalInput& operator=(const RawTerminalInput&) = delete;
};

// While a RawTerminalInput is in force, the terminal's usual mode (whole lines, echoed)
// for this object's lifetime: a question is answered by a line typed as usual. Does
// nothing when the mode was not changed.
class LineTerminalInput {
 public:
  LineTerminalInput();
  ~LineTerminalInput();
  LineTerminalInput(const LineTerminalInput&) = delete;
  LineTerminalInput& operator=(const LineTerminalInput&) = delete;

 private:
  bool switched_ = false;
};

// One overwritten line on stderr, shown only when stderr is a terminal.
class ProgressLine {
 public:
  ProgressLine();
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const std::vector<std::string>& lines);
  // Removes the line, so that what follows on stderr starts at a clean line.
  void Clear();

 private:
  bool enabled_ = false;
  bool shown_ = false;
};

}  // namespace program
