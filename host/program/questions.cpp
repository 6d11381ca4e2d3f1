#include "questions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "escaped_text.h"

namespace program {
namespace {

// No answer is longer than a button's text; more than this is kept out of memory.
constexpr std::size_t kAnswerLimit = 1024;

// One line, read a byte at a time so that nothing after it is taken from the input
// (the descriptor may be shared with whoever reads next). False at the end of the input
// with nothing read.
bool ReadAnswerLine(AnswerInput& input, std::string* line) {
  line->clear();
  if (input.ended || input.fd < 0) return false;
  bool readSomething = false;
  for (;;) {
    char c;
    ssize_t got = read(input.fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      input.ended = true;
      return readSomething;
    }
    readSomething = true;
    if (c == '\n') return true;
    if (line->size() < kAnswerLimit) line->push_back(c);
  }
}

void Trim(std::string* answer) {
  while (!answer->empty() && (answer->back() == '\r' || answer->back() == ' '))
    answer->pop_back();
  std::size_t first = answer->find_first_not_of(' ');
  answer->erase(0, first == std::string::npos ? answer->size() : first);
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// The button an answer names, or -1.
int FindAnsweredButton(const std::string& answer, const host::MessageRequest& request) {
  if (answer.empty()) return -1;
  const std::size_t first = request.lines.size() - static_cast<std::size_t>(request.buttons);
  if (answer.size() < 4 && answer.find_first_not_of("0123456789") == std::string::npos) {
    const int number = std::atoi(answer.c_str());
    return number >= 1 && number <= request.buttons ? number - 1 : -1;
  }
  // A letter, or the start of a button's text, in either ASCII case.
  for (int b = 0; b < request.buttons; ++b) {
    const std::string& label = request.lines[first + static_cast<std::size_t>(b)];
    if (label.size() < answer.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < answer.size() && same; ++k)
      same = FoldAscii(label[k]) == FoldAscii(answer[k]);
    if (same) return b;
  }
  return -1;
}

}  // namespace

AnswersSetAside::AnswersSetAside() {
  if (isatty(STDIN_FILENO) == 1) {
    ok_ = true;
    answers_.fd = STDIN_FILENO;
    return;
  }
  saved_ = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  const bool closed = saved_ < 0 && errno == EBADF;  // no input at all: every answer is Escape
  if (saved_ < 0 && !closed) return;
  const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (null < 0) return;
  if (null == STDIN_FILENO) {
    fcntl(STDIN_FILENO, F_SETFD, 0);
  } else {
    const bool moved = dup2(null, STDIN_FILENO) == STDIN_FILENO;
    close(null);
    if (!moved) return;
  }
  moved_ = true;
  ok_ = true;
  answers_.fd = saved_;  // -1 when there was no input: Escape
}

AnswersSetAside::~AnswersSetAside() {
  if (moved_) {
    if (saved_ >= 0)
      dup2(saved_, STDIN_FILENO);
    else
      close(STDIN_FILENO);
  }
  if (saved_ >= 0) close(saved_);
}

void WriteMessageLines(const host::MessageRequest& request) {
  const std::size_t textLines = request.lines.size() - static_cast<std::size_t>(request.buttons);
  for (std::size_t i = 0; i < textLines; ++i) {
    // A line holding only the character 1 is the host's separator.
    if (request.lines[i] == "\x01")
      std::fputs("----------------------------------------\n", stderr);
    else
      std::fprintf(stderr, "%s\n", EscapeControlBytes(request.lines[i]).c_str());
  }
}

int AskQuestion(const host::MessageRequest& request, AnswerInput& input) {
  WriteMessageLines(request);
  const std::size_t first = request.lines.size() - static_cast<std::size_t>(request.buttons);
  std::string buttons;
  for (int b = 0; b < request.buttons; ++b)
    buttons += (b ? "  [" : "[") + std::to_string(b + 1) + " " +
               EscapeControlBytes(request.lines[first + static_cast<std::size_t>(b)]) + "]";
  const bool terminal = input.fd >= 0 && isatty(input.fd) == 1;
  for (;;) {
    std::fprintf(stderr, "%s%s", buttons.c_str(), terminal ? " ? " : "\n");
    std::fflush(stderr);
    std::string answer;
    if (!ReadAnswerLine(input, &answer)) {
      if (terminal) std::fputc('\n', stderr);
      return -1;
    }
    Trim(&answer);
    const int button = FindAnsweredButton(answer, request);
    if (button >= 0) return button;
    std::fprintf(stderr, "quarix: not an answer: %s\n", EscapeControlBytes(answer).c_str());
  }
}

}  // namespace program
