#include "config_command.h"

#include <cstdio>
#include <optional>
#include <string>

#include "command_args.h"
#include "command_run.h"
#include "program_host.h"
#include "terminal.h"

namespace program {
namespace {

constexpr int kAccepted = 0;
constexpr int kFailed = kCommandFailed;

const char kUsage[] =
    "usage: quarix config [--lines N] [--read-limit N] [--delimiter C] [--negation C]\n"
    "                     [--dot-star-no-ext on|off] [--threads N] [--encodings LIST]\n"
    "\n"
    "Opens Trawlix's configuration dialog and fills its fields as given; a field not given\n"
    "keeps its stored value. Numbers are typed as given, so a wrong one is refused by the\n"
    "dialog's own check.\n"
    "\n"
    "  --lines N              the window height of the several-lines mode (1 to 255)\n"
    "  --read-limit N         files up to N KiB are replaced in memory (0 to 131071)\n"
    "  --delimiter C          the character between file masks (\"\" for none)\n"
    "  --negation C           the character that begins the excluding masks (\"\" for none)\n"
    "  --dot-star-no-ext on|off  whether \"*.*\" also matches names without an extension\n"
    "  --threads N            the threads that test files (0 to 64; 0: one per processor)\n"
    "  --encodings LIST       how files without a byte order mark are read: auto, or names\n"
    "                         separated by commas or blanks, tried in turn (a bad name is\n"
    "                         refused by the dialog)\n"
    "\n"
    "Exit status: 0 when the settings were accepted and saved, 2 otherwise.\n";

struct ConfigRequest {
  std::optional<std::string> lines, limit, delimiter, negation, threads, encodings;
  std::optional<bool> dotStar;
  bool help = false;
};

bool ParseConfigWords(int argc, char** argv, ConfigRequest* request, std::string* error) {
  CommandWords words(argc, argv);
  while (!words.done()) {
    std::string word;
    if (!words.Next(&word)) {
      *error = "unexpected argument " + word;
      return false;
    }
    std::string name = words.OptionName(word);
    std::string value;
    auto takeText = [&](std::optional<std::string>* field) {
      if (!words.TakeValue(name, &value, error)) return false;
      if (value.size() > kFieldLimit) {
        *error = name + " is longer than the dialog's field holds";
        return false;
      }
      *field = value;
      return true;
    };
    // A field one character wide: one character, or none to empty it.
    auto takeCharacter = [&](std::optional<std::string>* field) {
      if (!words.TakeValue(name, &value, error)) return false;
      if (value.size() > 1) {
        *error = name + " takes one character, not \"" + value + "\"";
        return false;
      }
      *field = value;
      return true;
    };
    if (name == "-h" || name == "--help") {
      request->help = true;
    } else if (name == "--lines") {
      if (!takeText(&request->lines)) return false;
    } else if (name == "--read-limit") {
      if (!takeText(&request->limit)) return false;
    } else if (name == "--threads") {
      if (!takeText(&request->threads)) return false;
    } else if (name == "--encodings") {
      if (!takeText(&request->encodings)) return false;
    } else if (name == "--delimiter") {
      if (!takeCharacter(&request->delimiter)) return false;
    } else if (name == "--negation") {
      if (!takeCharacter(&request->negation)) return false;
    } else if (name == "--dot-star-no-ext") {
      if (!words.TakeValue(name, &value, error)) return false;
      if (value != "on" && value != "off") {
        *error = "--dot-star-no-ext takes on or off, not " + value;
        return false;
      }
      request->dotStar = value == "on";
    } else {
      *error = "unknown option " + word;
      return false;
    }
  }
  return true;
}

// The configuration dialog's fields by its layout: four edit fields (the number of
// lines, the read limit, the threads, the encodings), two one-character fields (delimiter,
// then negation) and one check box.
struct ConfigFields {
  int lines = -1, limit = -1, threads = -1, encodings = -1, delimiter = -1, negation = -1,
      dotStar = -1, ok = -1;
};

bool FindConfigFields(const FarDialogItem* items, int count, ConfigFields* fields) {
  int edits = 0, fixed = 0, boxes = 0;
  for (int i = 0; i < count; ++i) {
    if (items[i].Type == DI_EDIT) {
      int* const field[] = {&fields->lines, &fields->limit, &fields->threads, &fields->encodings};
      if (edits < 4) *field[edits] = i;
      ++edits;
    } else if (items[i].Type == DI_FIXEDIT) {
      (fixed == 0 ? fields->delimiter : fields->negation) = i;
      ++fixed;
    } else if (items[i].Type == DI_CHECKBOX) {
      fields->dotStar = i;
      ++boxes;
    }
  }
  fields->ok = FindDefaultButton(items, count);
  return edits == 4 && fixed == 2 && boxes == 1 && fields->ok >= 0;
}

void FillConfigDialog(const ConfigRequest& request, FarDialogItem* items, const ConfigFields& at) {
  if (request.lines) TypeIntoField(items[at.lines], *request.lines);
  if (request.limit) TypeIntoField(items[at.limit], *request.limit);
  if (request.threads) TypeIntoField(items[at.threads], *request.threads);
  if (request.encodings) TypeIntoField(items[at.encodings], *request.encodings);
  if (request.delimiter) TypeIntoField(items[at.delimiter], *request.delimiter);
  if (request.negation) TypeIntoField(items[at.negation], *request.negation);
  if (request.dotStar) items[at.dotStar].Selected = *request.dotStar ? 1 : 0;
}

}  // namespace

int RunConfigCommand(int argc, char** argv) {
  ConfigRequest request;
  CommandLine line;
  line.usage = kUsage;
  line.read = [&](std::string* error, bool* help) {
    const bool understood = ParseConfigWords(argc, argv, &request, error);
    *help = request.help;
    return understood;
  };
  // Shown again after the warning written above: the entries were not accepted.
  ExpectedDialog dialog{"QXCfg", "configuration dialog"};
  HostSteps steps;
  steps.dialog = &dialog;
  steps.fill = [&](FarDialogItem* items, int count) {
    ConfigFields fields;
    if (!FindConfigFields(items, count, &fields)) return -1;
    FillConfigDialog(request, items, fields);
    return fields.ok;
  };
  steps.run = [&](CommandHost& at) {
    if (at.host.Configure(at.plugins.trawlix, 0) == 1) return kAccepted;
    if (!dialog.explained) std::fprintf(stderr, "quarix: the settings were not accepted\n");
    return kFailed;
  };
  return RunCommand(line, steps);
}

}  // namespace program
