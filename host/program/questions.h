// Questions (messages with several buttons) answered by the person running the program:
// a button's number (from 1) or the start of its text, one line each, read from a
// descriptor; the end of that input answers Escape.
#pragma once

#include "host/host.h"

namespace program {

// Where the answers come from. A terminal gets a prompt after the buttons; any other
// input gets the buttons on a line of their own. Once the input has ended, every later
// question is answered Escape without reading again.
struct AnswerInput {
  int fd = 0;
  bool ended = false;
};

// The plugins poll standard input for Escape (between files, during a replace-all) and
// swallow every byte they read there. Answers that come from a pipe or a file would be
// eaten, so for the lifetime of this object they are read from a private copy of
// standard input while /dev/null stands in its place. A terminal stays where it is: its
// keys are the Escape, and questions switch it to whole lines.
class AnswersSetAside {
 public:
  AnswersSetAside();
  ~AnswersSetAside();
  AnswersSetAside(const AnswersSetAside&) = delete;
  AnswersSetAside& operator=(const AnswersSetAside&) = delete;

  bool ok() const { return ok_; }
  AnswerInput& answers() { return answers_; }

 private:
  int saved_ = -1;
  bool moved_ = false;
  bool ok_ = false;
  AnswerInput answers_{-1};
};

// The text lines of a message (title first, no buttons) on stderr.
void WriteMessageLines(const host::MessageRequest& request);

// Shows the question on stderr and reads answers until one names a button; returns the
// button's index (0 for the first) or -1 (Escape) when the input ends.
int AskQuestion(const host::MessageRequest& request, AnswerInput& input);

}  // namespace program
