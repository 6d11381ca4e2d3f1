#include "search_command.h"

#include <cstdio>
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
#include "terminal.h"

namespace program {
namespace {

constexpr int kListed = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = kCommandFailed;

// In the dialog's order: FSearchAs 0 to 5 and FSearchIn 0 to 4.
const auto& kModes = kSearchModeNames;
const char* const kScopes[] = {"drives", "drive", "tree", "folder", "selected"};
constexpr int kModeCount = kSearchModeCount;
constexpr int kScopeCount = 5;

const char kUsage[] =
    "usage: quarix search [DIR] [--mask M] [--text T] [--mode MODE] [--case|--no-case]\n"
    "                     [--inverse|--no-inverse] [--scope SCOPE] [-E LIST]\n"
    "                     [--select NAME]... [-0] [-j N]\n"
    "\n"
    "Opens the file search from the plugins menu while the active panel shows DIR (the\n"
    "current folder by default), fills the search dialog's fields as given and starts the\n"
    "search; a field not given keeps its stored value, so no options repeat the last search.\n"
    "The files found are printed, one full path per line: on a terminal with control\n"
    "characters escaped (\\n, \\x1b; a backslash as \\\\), otherwise as they are.\n"
    "\n"
    "  --mask M        file masks, such as \"*.c,*.h\"\n"
    "  --text T        the search text\n"
    "  --mode MODE     plain, regex (line by line), regex-file (the whole file),\n"
    "                  regex-lines (windows of several lines), words, regex-words\n"
    "  --case          compare letter case exactly (--no-case: ignore it)\n"
    "  --inverse       list the files that do not contain the text (--no-inverse: do)\n"
    "  --scope SCOPE   drives, drive, tree (DIR and its subfolders), folder (DIR only),\n"
    "                  selected (the folders given with --select)\n"
    "  --select NAME   select the entry NAME of DIR in the panel (repeatable)\n"
    "  -E, --encoding LIST  how files without a byte order mark are read: auto (as they\n"
    "                  are), or code pages tried in turn, such as \"windows-1251,koi8-r\"\n"
    "                  (cp866, koi8-r, windows-1250 to 1252, iso-8859-1, -2, -5, utf-16le,\n"
    "                  ...); kept for later searches. Files with a byte order mark are\n"
    "                  read as it says (UTF-8, UTF-16, UTF-32)\n"
    "  -0, --null      end each name with a NUL byte instead of a line feed\n"
    "  -j, --threads N test the files on N threads, 0 for one per processor (for this\n"
    "                  search; the stored setting, 0 unless configured, stays)\n"
    "\n"
    "Exit status: 0 when files were listed, 1 when none was found, 2 when no results panel\n"
    "opened (an error in the dialog, a refusal) or the command line was wrong.\n";

struct SearchRequest {
  std::string dir;
  std::optional<std::string> mask, text;
  std::optional<int> mode, scope;
  std::optional<bool> caseSensitive, inverse;
  std::optional<int> threads;
  std::optional<std::string> encodings;
  std::vector<std::string> selected;
  bool help = false;
  bool nulSeparated = false;
};

bool ParseSearchWords(int argc, char** argv, SearchRequest* request, std::string* error) {
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
    bool flag = name == word;  // flags take no "=VALUE"
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
    } else if (flag && (name == "--case" || name == "--no-case")) {
      request->caseSensitive = name == "--case";
    } else if (flag && (name == "--inverse" || name == "--no-inverse")) {
      request->inverse = name == "--inverse";
    } else {
      *error = "unknown option " + EscapeControlBytes(word);
      return false;
    }
  }
  return true;
}

// Where the search dialog keeps each setting, found by the dialog's layout: the two
// edit fields by their history names, the two radio groups (six modes, then five
// scopes), the case check box before the modes and the inversion check box after them.
struct SearchFields {
  int mask = -1, text = -1;
  int caseBox = -1, inverseBox = -1;
  int firstMode = -1, firstScope = -1;
  int start = -1;
};

bool FindSearchFields(const FarDialogItem* items, int count, SearchFields* fields) {
  for (int i = 0; i < count; ++i) {
    if (HasHistory(items[i], "Masks")) fields->mask = i;
    if (HasHistory(items[i], "SearchText")) fields->text = i;
  }
  std::vector<RadioGroup> groups = FindRadioGroups(items, count);
  if (groups.size() != 2 || groups[0].size != kModeCount || groups[1].size != kScopeCount)
    return false;
  fields->firstMode = groups[0].first;
  fields->firstScope = groups[1].first;
  for (int i = 0; i < fields->firstMode; ++i)
    if (items[i].Type == DI_CHECKBOX) fields->caseBox = i;
  for (int i = fields->firstMode + kModeCount; i < fields->firstScope; ++i)
    if (items[i].Type == DI_CHECKBOX && fields->inverseBox < 0) fields->inverseBox = i;
  fields->start = FindDefaultButton(items, count);
  return fields->mask >= 0 && fields->text >= 0 && fields->caseBox >= 0 &&
         fields->inverseBox >= 0 && fields->start >= 0;
}

void FillSearchDialog(const SearchRequest& request, FarDialogItem* items, const SearchFields& at) {
  if (request.mask) TypeIntoField(items[at.mask], *request.mask);
  if (request.text) TypeIntoField(items[at.text], *request.text);
  if (request.caseSensitive) items[at.caseBox].Selected = *request.caseSensitive ? 1 : 0;
  if (request.mode) PressRadioButton(items, at.firstMode, kModeCount, *request.mode);
  if (request.inverse) items[at.inverseBox].Selected = *request.inverse ? 1 : 0;
  if (request.scope) PressRadioButton(items, at.firstScope, kScopeCount, *request.scope);
}

}  // namespace

int RunSearchCommand(int argc, char** argv) {
  SearchRequest request;
  CommandLine line;
  line.usage = kUsage;
  line.read = [&](std::string* error, bool* help) {
    const bool understood = ParseSearchWords(argc, argv, &request, error) &&
                            (request.help || StoreEncodingList(request.encodings, error));
    *help = request.help;
    return understood;
  };
  ExpectedDialog dialog{"FileSearchDlg", "search dialog"};
  HostSteps steps;
  steps.dir = &request.dir;
  steps.select = &request.selected;
  steps.threads = &request.threads;
  steps.dialog = &dialog;
  steps.fill = [&](FarDialogItem* items, int count) {
    SearchFields fields;
    if (!FindSearchFields(items, count, &fields)) return -1;
    FillSearchDialog(request, items, fields);
    return fields.start;
  };
  steps.run = [&](CommandHost& at) {
    HANDLE panel;
    {
      RawTerminalInput keys;
      panel = at.host.OpenPlugin(at.plugins.trawlix, OPEN_PLUGINSMENU, 0);
    }
    at.progress.Clear();
    if (!IsResultsPanelOpen(at.host, panel)) {
      if (!dialog.explained)
        std::fprintf(stderr, "quarix: the search did not open a results panel\n");
      return kFailed;
    }
    return PrintResultsStatus(at.host.activePanel(), request.nulSeparated, kListed, kNothingFound);
  };
  return RunCommand(line, steps);
}

}  // namespace program
