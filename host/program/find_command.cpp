#include "find_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "command_run.h"
#include "escaped_text.h"
#include "program_host.h"
#include "terminal.h"

namespace program {
namespace {

constexpr int kListed = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = kCommandFailed;

}  // namespace

ListFormat ChooseListFormat(bool nulSeparated) {
  if (nulSeparated) return ListFormat::kNulSeparated;
  return isatty(STDOUT_FILENO) == 1 ? ListFormat::kEscapedLines : ListFormat::kLines;
}

bool PrintResults(const host::Panel& panel, ListFormat format, int* printed) {
  *printed = 0;
  bool warned = false;
  for (const PluginPanelItem& item : panel.items) {
    const char* name = item.FindData.cFileName;
    if (std::strcmp(name, "..") == 0) continue;
    if (format == ListFormat::kEscapedLines) {
      std::fputs(EscapeName(name).c_str(), stdout);
    } else {
      std::fputs(name, stdout);
      if (format == ListFormat::kLines && !warned && std::strchr(name, '\n')) {
        std::fprintf(stderr, "quarix: the name %s holds a line feed and reads as two lines; "
                             "-0 separates the names with NUL bytes\n",
                     EscapeName(name).c_str());
        warned = true;
      }
    }
    std::fputc(format == ListFormat::kNulSeparated ? '\0' : '\n', stdout);
    ++*printed;
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

bool IsFindCommand(const std::string& command) {
  return command.size() >= 3 && (command[0] == 'f' || command[0] == 'F') &&
         (command[1] == 'f' || command[1] == 'F') && command[2] == ':';
}

int RunFindCommand(const Options& options) {
  HostSteps steps;
  steps.dir = &options.dir;
  steps.run = [&options](CommandHost& at) {
    HANDLE panel;
    {
      RawTerminalInput keys;
      panel = at.host.RunCommandLine(options.command);
    }
    at.progress.Clear();
    if (!IsResultsPanelOpen(at.host, panel)) {
      std::fprintf(stderr, "quarix: the search did not open a results panel\n");
      return kFailed;
    }
    return PrintResultsStatus(at.host.activePanel(), options.nulSeparated, kListed, kNothingFound);
  };
  return RunInHost(steps);
}

int PrintResultsStatus(const host::Panel& panel, bool nulSeparated, int listed, int empty) {
  int printed = 0;
  if (!PrintResults(panel, ChooseListFormat(nulSeparated), &printed)) {
    std::fprintf(stderr, "quarix: cannot write the results: %s\n", std::strerror(errno));
    return kFailed;
  }
  return printed > 0 ? listed : empty;
}

}  // namespace program
