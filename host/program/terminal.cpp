#include "terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace program {
namespace {

// The signal handlers reach the saved mode through these (set before they are installed).
termios g_savedMode;
termios g_rawMode;
volatile sig_atomic_t g_modeChanged = 0;
volatile sig_atomic_t g_lineModeForNow = 0;  // a LineTerminalInput is in force

constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_previous[sizeof(kRestoringSignals) / sizeof(int)];
struct sigaction g_previousStop, g_previousContinue;

void RestoreAndDie(int signal) {
  if (g_modeChanged) tcsetattr(STDIN_FILENO, TCSANOW, &g_savedMode);
  // Die of the same signal, so that the shell sees what happened.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

void RestoreAndStop(int) {
  if (g_modeChanged) tcsetattr(STDIN_FILENO, TCSANOW, &g_savedMode);
  raise(SIGSTOP);
}

void ReapplyAfterContinue(int) {
  if (g_modeChanged && !g_lineModeForNow) tcsetattr(STDIN_FILENO, TCSANOW, &g_rawMode);
}

void Install(int signal, void (*handler)(int), struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, previous);
}

void RestoreHandlers() {
  int i = 0;
  for (int signal : kRestoringSignals) sigaction(signal, &g_previous[i++], nullptr);
  sigaction(SIGTSTP, &g_previousStop, nullptr);
  sigaction(SIGCONT, &g_previousContinue, nullptr);
}

int TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col;
  return 80;
}

}  // namespace

RawTerminalInput::RawTerminalInput() {
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &g_savedMode) != 0) return;
  // A job in the background must leave the terminal to the one in front (and changing
  // it would stop this one with SIGTTOU).
  pid_t front = tcgetpgrp(STDIN_FILENO);
  if (front != -1 && front != getpgrp()) return;
  g_rawMode = g_savedMode;
  g_rawMode.c_lflag &= ~(ICANON | ECHO);
  g_rawMode.c_cc[VMIN] = 1;
  g_rawMode.c_cc[VTIME] = 0;
  int i = 0;
  for (int signal : kRestoringSignals) Install(signal, RestoreAndDie, &g_previous[i++]);
  Install(SIGTSTP, RestoreAndStop, &g_previousStop);
  Install(SIGCONT, ReapplyAfterContinue, &g_previousContinue);
  // Keys typed ahead stay queued (TCSANOW, not TCSAFLUSH): an early Escape still counts.
  if (tcsetattr(STDIN_FILENO, TCSANOW, &g_rawMode) == 0)
    g_modeChanged = 1;
  else
    RestoreHandlers();
}

RawTerminalInput::~RawTerminalInput() {
  if (!g_modeChanged) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_savedMode);
  g_modeChanged = 0;
  RestoreHandlers();
}

LineTerminalInput::LineTerminalInput() {
  if (!g_modeChanged) return;
  g_lineModeForNow = 1;
  switched_ = tcsetattr(STDIN_FILENO, TCSANOW, &g_savedMode) == 0;
  if (!switched_) g_lineModeForNow = 0;
}

LineTerminalInput::~LineTerminalInput() {
  if (!switched_) return;
  g_lineModeForNow = 0;
  if (g_modeChanged) tcsetattr(STDIN_FILENO, TCSANOW, &g_rawMode);
}

ProgressLine::ProgressLine() : enabled_(isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(const std::vector<std::string>& lines) {
  if (!enabled_) return;
  // The counters first: they stay visible when a long folder path is cut.
  std::string text;
  for (std::size_t i = 2; i < lines.size(); ++i) text += lines[i] + "  ";
  if (lines.size() > 1) text += lines[1];
  std::size_t width = static_cast<std::size_t>(TerminalWidth() - 1);
  if (text.size() > width) text.resize(width);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace program
