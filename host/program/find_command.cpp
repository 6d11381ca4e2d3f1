#include "find_command.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "escaped_text.h"
#include "program_host.h"
#include "terminal.h"

namespace program {
namespace {

constexpr int kListed = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = 2;

}  // namespace

// The folder the panels show, absolute with a trailing "/"; "" after an explained error.
std::string ResolveFolder(const std::string& dir) {
  const std::string& given = dir.empty() ? std::string(".") : dir;
  char resolved[PATH_MAX];
  if (!realpath(given.c_str(), resolved)) {
    std::fprintf(stderr, "quarix: %s: %s\n", EscapeName(given).c_str(), std::strerror(errno));
    return "";
  }
  struct stat st;
  if (stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "quarix: %s: not a folder\n", EscapeName(given).c_str());
    return "";
  }
  DIR* listing = opendir(resolved);
  if (!listing) {
    std::fprintf(stderr, "quarix: %s: cannot read the folder: %s\n", EscapeName(given).c_str(),
                 std::strerror(errno));
    return "";
  }
  closedir(listing);
  std::string folder = resolved;
  if (folder.back() != '/') folder += '/';
  return folder;
}

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
  std::string folder = ResolveFolder(options.dir);
  if (folder.empty()) return kFailed;

  ProgressLine progress;
  host::Host host;  // its end gives every plugin ExitFAR, which stores the settings
  SetUpTerminalDriver(host, progress);
  LoadedPlugins plugins = LoadPlugins(host, FindPluginFolder());
  if (!plugins.trawlix) return kFailed;
  if (!host.ShowFolder(host.activePanel(), folder) || !host.ShowFolder(host.otherPanel(), folder)) {
    std::fprintf(stderr, "quarix: %s: the folder cannot be shown (too long a path?)\n",
                 EscapeName(folder).c_str());
    return kFailed;
  }

  HANDLE panel;
  {
    RawTerminalInput keys;
    panel = host.RunCommandLine(options.command);
  }
  progress.Clear();
  if (panel == FAR_INVALID_HANDLE || panel == nullptr || !host.activePanel().plugin) {
    std::fprintf(stderr, "quarix: the search did not open a results panel\n");
    return kFailed;
  }
  return PrintResultsStatus(host.activePanel(), options.nulSeparated, kListed, kNothingFound);
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
