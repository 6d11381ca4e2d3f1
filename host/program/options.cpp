#include "options.h"

#include <cstring>

#include "escaped_text.h"

namespace program {

const char* UsageText() {
  return "usage: quarix [--dir DIR] [-0] ff:TEXT [DIR]\n"
         "       quarix search [DIR] [OPTION]...   (quarix search --help)\n"
         "       quarix replace [DIR] [OPTION]...  (quarix replace --help)\n"
         "       quarix config [OPTION]...         (quarix config --help)\n"
         "       quarix edit FILE [OPTION]... COMMAND...   (quarix edit --help)\n"
         "\n"
         "  ff:TEXT     search the files of DIR for TEXT as \"ff:TEXT\" typed on the host's\n"
         "              command line does, with the stored mode, case, masks and scope,\n"
         "              and print the files found, one full path per line\n"
         "  --dir DIR   the folder the panels show (default: the current folder)\n"
         "  -0, --null  end each name with a NUL byte instead of a line feed\n"
         "  search      the file search dialog, its fields filled from the options\n"
         "  replace     replace text in the files of DIR, the replace dialog's fields filled\n"
         "              from the options\n"
         "  config      the configuration dialog, its fields filled from the options\n"
         "  edit        search and replace in a file with the editor plugin\n"
         "  -h, --help  show this text\n"
         "  --version   show the version\n"
         "\n"
         "Names: with -0 as they are; on a terminal one per line with control characters\n"
         "escaped (\\n, \\t, \\x1b; a backslash as \\\\); otherwise one per line as they are.\n"
         "\n"
         "Exit status: 0 when files were listed, 1 when none was found, 2 when no results\n"
         "panel opened or the command line was wrong. Escape on the terminal stops a search.\n";
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  *options = Options{};
  bool dirGiven = false;
  bool optionsEnded = false;
  auto setDir = [&](const std::string& dir) {
    if (dirGiven) {
      *error = "the folder is given twice";
      return false;
    }
    if (dir.empty()) {
      *error = "the folder is empty";
      return false;
    }
    options->dir = dir;
    dirGiven = true;
    return true;
  };
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "-h" || arg == "--help") {
        options->help = true;
      } else if (arg == "-0" || arg == "--null") {
        options->nulSeparated = true;
      } else if (arg == "--dir") {
        if (i + 1 >= argc) {
          *error = "--dir needs a folder";
          return false;
        }
        if (!setDir(argv[++i])) return false;
      } else if (arg.rfind("--dir=", 0) == 0) {
        if (!setDir(arg.substr(6))) return false;
      } else {
        *error = "unknown option " + EscapeControlBytes(arg);
        return false;
      }
      continue;
    }
    if (options->command.empty()) {
      options->command = arg;
    } else if (dirGiven) {
      *error = "unexpected argument " + EscapeControlBytes(arg) + " (the folder is already " +
               EscapeName(options->dir) + ")";
      return false;
    } else if (!setDir(arg)) {
      return false;
    }
  }
  if (options->command.empty() && !options->help) {
    *error = "no command given";
    return false;
  }
  return true;
}

}  // namespace program
