// quarix: our host on the command line. Each command lives in a file of its own; this
// file only reads the command line and hands over.
#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "command_run.h"
#include "config_command.h"
#include "edit_command.h"
#include "escaped_text.h"
#include "find_command.h"
#include "options.h"
#include "quarix_version.h"
#include "replace_files_command.h"
#include "search_command.h"

namespace {

struct Command {
  bool (*matches)(const std::string& command);
  int (*run)(const program::Options& options);
};

constexpr Command kCommands[] = {
    {program::IsFindCommand, program::RunFindCommand},
};

// Commands with options of their own, named by their first word.
struct NamedCommand {
  const char* name;
  int (*run)(int argc, char** argv);
};

int PrintVersion(int argc, char**) {
  if (argc > 0) {
    std::fputs("quarix: --version takes no arguments\n", stderr);
    return program::kCommandFailed;
  }
  std::printf("quarix %s\n", kQuarixVersion);
  return 0;
}

constexpr NamedCommand kNamedCommands[] = {
    {"search", program::RunSearchCommand},
    {"replace", program::RunReplaceFilesCommand},
    {"config", program::RunConfigCommand},
    {"edit", program::RunEditCommand},
    {"--version", PrintVersion},
};

constexpr int kUsageError = program::kCommandFailed;

// The plugins' text model follows the locale, as other command-line tools do: UTF-8 in a
// UTF-8 locale, bytes in the C/POSIX locale and any other. QUARIX_TEXT ("utf-8" or
// "bytes") chooses instead; the modules read it when they load.
void ChooseTextModel() {
  const char* asked = std::getenv("QUARIX_TEXT");
  if (asked && (std::strcmp(asked, "utf-8") == 0 || std::strcmp(asked, "bytes") == 0)) return;
  bool utf8 = false;
  if (std::setlocale(LC_CTYPE, "")) {
    const char* codeset = nl_langinfo(CODESET);
    utf8 = codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
  }
  // The host's own code keeps the C locale's rules.
  std::setlocale(LC_CTYPE, "C");
  setenv("QUARIX_TEXT", utf8 ? "utf-8" : "bytes", 1);
}

}  // namespace

int main(int argc, char** argv) {
  ChooseTextModel();
  if (argc > 1)
    for (const NamedCommand& command : kNamedCommands)
      if (std::string(argv[1]) == command.name) return command.run(argc - 2, argv + 2);
  program::Options options;
  program::CommandLine line;
  line.usage = program::UsageText();
  line.read = [&](std::string* error, bool* help) {
    const bool understood = program::ParseOptions(argc, argv, &options, error);
    *help = options.help;
    return understood;
  };
  if (std::optional<int> status = program::ReadCommandLine(line)) return *status;
  for (const Command& command : kCommands)
    if (command.matches(options.command)) return command.run(options);
  std::fprintf(stderr, "quarix: unknown command %s\n%s",
               program::EscapeControlBytes(options.command).c_str(),
               program::UsageText());
  return kUsageError;
}
