#include "replace_files_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "command_args.h"
#include "command_run.h"
#include "encoding_option.h"
#include "escaped_text.h"
#include "find_command.h"
#include "mode_names.h"
#include "program_host.h"
#include "questions.h"
#include "terminal.h"

namespace program {
namespace {

constexpr int kDone = 0;
constexpr int kNothingRewritten = 1;
constexpr int kFailed = kCommandFailed;

// In the dialog's order: FSearchAs 0 to 2 and FSearchIn 0 to 4.
const auto& kModes = kReplaceModeNames;
const char* const kScopes[] = {"drives", "drive", "tree", "folder", "selected"};
constexpr int kModeCount = kReplaceModeCount;
constexpr int kScopeCount = 5;
constexpr int kSelectedScope = 4;

const char kUsage[] =
    "usage: quarix replace [DIR] [--mask M] [--text T] [--with R] [--mode MODE]\n"
    "                      [--case|--no-case] [--scope SCOPE] [--list|--no-list]\n"
    "                      [--confirm-file|--no-confirm-file]\n"
    "                      [--confirm-match|--no-confirm-match]\n"
    "                      [--backup|--no-backup] [-E LIST] [--select NAME]... [-0]\n"
    "                      [-j N]\n"
    "\n"
    "Opens the replace from the plugins menu while the active panel shows DIR (the current\n"
    "folder by default), fills the replace dialog's fields as given and starts it; a field\n"
    "not given keeps its stored value, so no options repeat the last replace.\n"
    "\n"
    "  --mask M            file masks, such as \"*.c,*.h\"\n"
    "  --text T            the text or pattern to find\n"
    "  --with R            the replacement: plain text in the plain mode, a template in the\n"
    "                      pattern modes ($1 a group, \\n a line feed, \\U..\\E upper case)\n"
    "  --mode MODE         plain, regex (the pattern line by line), regex-lines (the\n"
    "                      pattern over windows of several lines)\n"
    "  --case              compare letter case exactly (--no-case: ignore it)\n"
    "  --scope SCOPE       drives, drive, tree (DIR and its subfolders), folder (DIR only),\n"
    "                      selected (the folders given with --select)\n"
    "  --list              print the rewritten files, one full path per line: on a\n"
    "                      terminal with control characters escaped (\\n, \\x1b; a\n"
    "                      backslash as \\\\), otherwise as they are\n"
    "  --confirm-file      ask before each file is rewritten\n"
    "  --confirm-match     ask before each match is replaced\n"
    "  --backup            keep each file's old content under its name with \".old\" added\n"
    "  -E, --encoding LIST how files without a byte order mark are read (see quarix\n"
    "                      search --help); each file is written back in its encoding\n"
    "  --select NAME       select the entry NAME of DIR in the panel (repeatable)\n"
    "  -0, --null          with --list: end each name with a NUL byte, not a line feed\n"
    "  -j, --threads N     make the new versions on N threads, 0 for one per processor\n"
    "                      (for this replace; the stored setting stays). A replace that\n"
    "                      asks questions runs on one thread\n"
    "Each --X has a --no-X that turns it off.\n"
    "\n"
    "A question takes a button's number (from 1) or its first letter, on the terminal or,\n"
    "when standard input is not one, one line each from standard input; the end of the\n"
    "input answers Escape, which skips. Escape on the terminal between files stops the run.\n"
    "\n"
    "Exit status: 0 when the replace ran (with --list: and listed a file), 1 when --list is\n"
    "on and no file was rewritten, 2 on an error (a pattern that does not compile, say), a\n"
    "refusal, a cancelled dialog or a wrong command line.\n";

struct ReplaceRequest {
  std::string dir;
  std::optional<std::string> mask, text, with;
  std::optional<int> mode, scope;
  std::optional<bool> caseSensitive, list, confirmFile, confirmMatch, backup;
  std::optional<int> threads;
  std::optional<std::string> encodings;
  std::vector<std::string> selected;
  bool help = false;
  bool nulSeparated = false;
};

struct Switch {
  const char* on;
  const char* off;
  std::optional<bool> ReplaceRequest::*field;
};

constexpr Switch kSwitches[] = {
    {"--case", "--no-case", &ReplaceRequest::caseSensitive},
    {"--list", "--no-list", &ReplaceRequest::list},
    {"--confirm-file", "--no-confirm-file", &ReplaceRequest::confirmFile},
    {"--confirm-match", "--no-confirm-match", &ReplaceRequest::confirmMatch},
    {"--backup", "--no-backup", &ReplaceRequest::backup},
};

bool ParseReplaceWords(int argc, char** argv, ReplaceRequest* request, std::string* error) {
  CommandWords words(argc, argv);
  bool dirGiven = false;
  while (!words.done()) {
    std::string word;
    if (!words.Next(&word)) {
      if (!TakeFolderWord(word, &request->dir, &dirGiven, error)) return false;
      continue;
    }
    std::string name = words.OptionName(word);
    auto takeField = [&](std::optional<std::string>* field) {
      return words.TakeFieldText(name, field, error);
    };
    auto takeChoice = [&](std::optional<int>* field, const char* const* names, int count) {
      return words.TakeChoice(name, names, count, field, error);
    };
    const bool flag = name == word;  // flags take no "=VALUE"
    bool known = true;
    bool threadsTaken = false;
    if (!TakeThreadsOption(words, word, &request->threads, &threadsTaken, error)) return false;
    if (threadsTaken) {
      continue;
    } else if (name == "-h" || name == "--help") {
      request->help = true;
    } else if (name == "--mask") {
      if (!takeField(&request->mask)) return false;
    } else if (name == "--text") {
      if (!takeField(&request->text)) return false;
    } else if (name == "--with") {
      if (!takeField(&request->with)) return false;
    } else if (name == "--mode") {
      if (!takeChoice(&request->mode, kModes.data(), kModeCount)) return false;
    } else if (name == "--scope") {
      if (!takeChoice(&request->scope, kScopes, kScopeCount)) return false;
    } else if (name == "--encoding" || name == "-E") {
      std::string value;
      if (!words.TakeValue(name, &value, error) || !CheckEncodingList(value, error)) return false;
      request->encodings = value;
    } else if (name == "--select") {
      std::string value;
      if (!words.TakeValue(name, &value, error)) return false;
      request->selected.push_back(value);
    } else if (flag && (name == "-0" || name == "--null")) {
      request->nulSeparated = true;
    } else {
      known = false;
      for (const Switch& s : kSwitches)
        if (flag && (name == s.on || name == s.off)) {
          request->*s.field = name == s.on;
          known = true;
        }
    }
    if (!known) {
      *error = "unknown option " + EscapeControlBytes(word);
      return false;
    }
  }
  return true;
}

// Where the replace dialog keeps each setting, found by its layout: the three edit
// fields by their history names, the two radio groups (three modes, then five scopes),
// the case check box before the modes and the four check boxes after the scopes.
struct ReplaceFields {
  int mask = -1, text = -1, with = -1;
  int caseBox = -1;
  int firstMode = -1, firstScope = -1;
  int listBox = -1, confirmFileBox = -1, confirmMatchBox = -1, backupBox = -1;
  int start = -1;
};

bool FindReplaceFields(const FarDialogItem* items, int count, ReplaceFields* fields) {
  for (int i = 0; i < count; ++i) {
    if (HasHistory(items[i], "Masks")) fields->mask = i;
    if (HasHistory(items[i], "SearchText")) fields->text = i;
    if (HasHistory(items[i], "ReplaceText")) fields->with = i;
  }
  std::vector<RadioGroup> groups = FindRadioGroups(items, count);
  if (groups.size() != 2 || groups[0].size != kModeCount || groups[1].size != kScopeCount)
    return false;
  fields->firstMode = groups[0].first;
  fields->firstScope = groups[1].first;
  for (int i = 0; i < fields->firstMode; ++i)
    if (items[i].Type == DI_CHECKBOX) fields->caseBox = i;
  std::vector<int> after;
  for (int i = fields->firstScope + kScopeCount; i < count; ++i)
    if (items[i].Type == DI_CHECKBOX) after.push_back(i);
  if (after.size() != 4) return false;
  fields->listBox = after[0];
  fields->confirmFileBox = after[1];
  fields->confirmMatchBox = after[2];
  fields->backupBox = after[3];
  fields->start = FindDefaultButton(items, count);
  return fields->mask >= 0 && fields->text >= 0 && fields->with >= 0 && fields->caseBox >= 0 &&
         fields->start >= 0;
}

void FillReplaceDialog(const ReplaceRequest& request, FarDialogItem* items,
                       const ReplaceFields& at) {
  if (request.mask) TypeIntoField(items[at.mask], *request.mask);
  if (request.text) TypeIntoField(items[at.text], *request.text);
  if (request.with) TypeIntoField(items[at.with], *request.with);
  auto check = [&](int index, const std::optional<bool>& state) {
    if (state) items[index].Selected = *state ? 1 : 0;
  };
  check(at.caseBox, request.caseSensitive);
  if (request.mode) PressRadioButton(items, at.firstMode, kModeCount, *request.mode);
  if (request.scope) PressRadioButton(items, at.firstScope, kScopeCount, *request.scope);
  check(at.listBox, request.list);
  check(at.confirmFileBox, request.confirmFile);
  check(at.confirmMatchBox, request.confirmMatch);
  check(at.backupBox, request.backup);
}

int SelectedIndex(const FarDialogItem* items, int first, int count) {
  for (int k = 0; k < count; ++k)
    if (items[first + k].Selected) return k;
  return -1;
}

// What the replace dialog was confirmed with, for the exit status.
struct ConfirmedReplace {
  bool filled = false;  // the options were typed in and the replace started
  int scope = -1;
  bool list = false;
};

// Types the options into the replace dialog; the button to press, -1 for unknown fields.
int AnswerReplaceDialog(const ReplaceRequest& request, ConfirmedReplace& confirmed,
                        FarDialogItem* items, int count) {
  ReplaceFields fields;
  if (!FindReplaceFields(items, count, &fields)) return -1;
  FillReplaceDialog(request, items, fields);
  confirmed.filled = true;
  confirmed.scope = SelectedIndex(items, fields.firstScope, kScopeCount);
  confirmed.list = items[fields.listBox].Selected != 0;
  return fields.start;
}

// Opens the replace, its questions asked on the terminal or read from standard input;
// whether it opened a results panel, nothing when the answers cannot be set aside.
std::optional<bool> OpenReplace(CommandHost& at) {
  AnswersSetAside aside;
  if (!aside.ok()) {
    std::fprintf(stderr, "quarix: cannot set standard input aside for the answers: %s\n",
                 std::strerror(errno));
    return std::nullopt;
  }
  host::Host& host = at.host;
  // Messages without a question keep the terminal driver's way; questions are asked.
  auto show = host.driver.message;
  host.driver.message = [&](const host::MessageRequest& message) {
    if (message.buttons < 2) return show(message);
    at.progress.Clear();
    LineTerminalInput lines;
    return AskQuestion(message, aside.answers());
  };
  HANDLE panel;
  {
    RawTerminalInput keys;
    panel = host.OpenPlugin(at.plugins.trawlix, OPEN_PLUGINSMENU, 1);
  }
  host.driver.message = show;
  return IsResultsPanelOpen(host, panel);
}

}  // namespace

int RunReplaceFilesCommand(int argc, char** argv) {
  ReplaceRequest request;
  CommandLine line;
  line.prefix = "quarix replace";
  line.usage = kUsage;
  line.read = [&](std::string* error, bool* help) {
    const bool understood = ParseReplaceWords(argc, argv, &request, error) &&
                            (request.help || StoreEncodingList(request.encodings, error));
    *help = request.help;
    return understood;
  };
  ExpectedDialog dialog{"FileReplaceDlg", "replace dialog"};
  ConfirmedReplace confirmed;
  HostSteps steps;
  steps.dir = &request.dir;
  steps.select = &request.selected;
  steps.threads = &request.threads;
  steps.dialog = &dialog;
  steps.fill = [&](FarDialogItem* items, int count) {
    return AnswerReplaceDialog(request, confirmed, items, count);
  };
  steps.run = [&](CommandHost& at) {
    const std::optional<bool> opened = OpenReplace(at);
    if (!opened) return kFailed;
    at.progress.Clear();
    // Shown again after an error: the replace that was started is not the one confirmed.
    if (!confirmed.filled || dialog.shown > 1) {
      if (!dialog.explained) std::fprintf(stderr, "quarix: the replace dialog was cancelled\n");
      return kFailed;
    }
    if (!*opened && confirmed.list) {
      std::fprintf(stderr, "quarix: the replace did not open a results panel\n");
      return kFailed;
    }
    if (!*opened) {
      // Without the list no panel is the rule; the walk only fails when there is nothing
      // to take the selected folders from.
      if (confirmed.scope == kSelectedScope && at.host.activePanel().items.empty()) {
        std::fprintf(stderr, "quarix: %s: no folders to replace in\n",
                     EscapeName(at.folder).c_str());
        return kFailed;
      }
      return kDone;
    }
    return PrintResultsStatus(at.host.activePanel(), request.nulSeparated, kDone,
                              kNothingRewritten);
  };
  return RunCommand(line, steps);
}

}  // namespace program
