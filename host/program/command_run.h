// The steps every command of the program takes, in one place: read its words (a mistake
// or --help ends it there), resolve the folder, set up the host with the terminal's
// answers, load the plugins, show the folder, and run. A command brings only what is its
// own: its words, the answers its dialogs need, and its run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "program_host.h"
#include "terminal.h"

namespace program {

// The exit status of every command that fails: a mistake, a refusal, an error.
constexpr int kCommandFailed = 2;

struct CommandLine {
  const char* prefix = "quarix";  // begins a complaint about the words
  const char* usage = "";         // after a complaint on stderr, alone on stdout for --help
  // Reads the words; false with a reason in *error. Sets *help when the usage is asked for.
  std::function<bool(std::string* error, bool* help)> read;
};

// The exit status when the command ends with its words (a mistake or --help, the usage
// written); nothing when it is to run.
std::optional<int> ReadCommandLine(const CommandLine& line);

// The folder the panels show, absolute with a trailing "/"; "" after an error written to
// stderr (missing, not a folder, unreadable).
std::string ResolveFolder(const std::string& dir);

// The host as a command's own steps find it.
struct CommandHost {
  ProgressLine& progress;
  host::Host& host;
  LoadedPlugins plugins;
  std::string folder;  // what both panels show; "" for a command without a folder
};

// The one dialog a command fills, known by its help topic.
struct ExpectedDialog {
  const char* topic;  // its help topic
  const char* name;   // for the notes on stderr: "search dialog"
  int shown = 0;
  bool explained = false;  // a reason for giving up is on stderr
};

struct HostSteps {
  bool needsLinquo = false;  // the module the command cannot do without; else Trawlix
  // The folder both panels show and the entries of it selected in the active panel;
  // without a folder the panels stay as the host starts them.
  const std::string* dir = nullptr;
  const std::vector<std::string>* select = nullptr;
  // The threads the plugins test files on for this command, in place of the stored
  // setting, which is left as it was.
  const std::optional<int>* threads = nullptr;
  // The dialog the command fills: the first time it shows, fill types the options in and
  // returns the button to press (-1 when it does not recognise the fields). Any other
  // dialog, the expected one shown again (after an error written above: a user would
  // have to change the entries) and unrecognised fields are cancelled with a note.
  ExpectedDialog* dialog = nullptr;
  std::function<int(FarDialogItem* items, int count)> fill;
  // Answers of dialogs and messages beyond these, set before the plugins load.
  std::function<void(CommandHost&)> answer;
  // The command's own work, with everything set up; its exit status.
  std::function<int(CommandHost&)> run;
};

int RunInHost(const HostSteps& steps);

// The words, then the host.
int RunCommand(const CommandLine& line, const HostSteps& steps);

// True when the host's answer to opening a panel is a plugin panel, now the active one.
bool IsResultsPanelOpen(host::Host& host, HANDLE panel);

}  // namespace program
