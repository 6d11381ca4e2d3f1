#include "edit_command.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "command_run.h"
#include "escaped_text.h"
#include "program_host.h"
#include "questions.h"
#include "terminal.h"

namespace program {
namespace {

constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = kCommandFailed;

// Linquo's editor menu.
constexpr int kSearchEntry = 0;
constexpr int kReplaceEntry = 1;
constexpr int kRepeatEntry = 2;

struct Place {
  int line = 0;  // from 0
  int pos = 0;
};

struct EditStep {
  int entry = kSearchEntry;
  std::string word;  // as given, for messages
  std::optional<std::string> text, with;
  std::optional<bool> regex, caseSensitive, backward, inSelection;
};

struct EditRequest {
  std::string file;
  std::optional<Place> at;
  std::optional<std::pair<Place, Place>> select;
  std::vector<EditStep> steps;
};

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

// "LINE:COL", both from 1.
bool ParsePlace(const std::string& text, Place* place) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  auto number = [](const std::string& digits, int* out) {
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    *out = std::atoi(digits.c_str());
    return *out >= 1;
  };
  int line = 0, col = 0;
  if (!number(text.substr(0, colon), &line) || !number(text.substr(colon + 1), &col)) return false;
  *place = Place{line - 1, col - 1};
  return true;
}

bool IsStepWord(const std::string& word) {
  return word == "search" || word == "replace" || word == "repeat";
}

// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(int argc, char** argv, int* i, const std::string& name,
               std::optional<std::string>* value, bool* matched, std::string* error) {
  const std::string arg = argv[*i];
  *matched = false;
  if (arg == name) {
    *matched = true;
    if (*i + 1 >= argc) return Fail(error, name + " needs a value");
    *value = argv[++*i];
    return true;
  }
  if (arg.rfind(name + "=", 0) == 0) {
    *matched = true;
    *value = arg.substr(name.size() + 1);
  }
  return true;
}

bool ParseStepOption(int argc, char** argv, int* i, EditStep* step, std::string* error) {
  const std::string arg = argv[*i];
  bool matched = false;
  if (!TakeValue(argc, argv, i, "--text", &step->text, &matched, error)) return false;
  if (matched) return true;
  if (step->entry == kReplaceEntry) {
    if (!TakeValue(argc, argv, i, "--with", &step->with, &matched, error)) return false;
    if (matched) return true;
  }
  struct Flag {
    const char* on;
    const char* off;
    std::optional<bool> EditStep::*field;
    bool searchOnly;
  };
  static const Flag kFlags[] = {
      {"--regex", "--no-regex", &EditStep::regex, false},
      {"--case", "--no-case", &EditStep::caseSensitive, false},
      {"--backward", "--forward", &EditStep::backward, false},
      {"--in-selection", "--no-in-selection", &EditStep::inSelection, true},
  };
  for (const Flag& flag : kFlags) {
    if (flag.searchOnly && step->entry != kSearchEntry) continue;
    if (arg == flag.on || arg == flag.off) {
      step->*flag.field = arg == flag.on;
      return true;
    }
  }
  return Fail(error, "unknown option " + arg + " for " + step->word);
}

bool ParseEditRequest(int argc, char** argv, EditRequest* request, std::string* error) {
  int i = 0;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (IsStepWord(arg)) break;
    if (arg == "--at" || arg == "--select") {
      if (i + 1 >= argc) return Fail(error, arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--at") {
        Place place;
        if (!ParsePlace(value, &place)) return Fail(error, "--at wants LINE:COL, from 1: " + value);
        request->at = place;
      } else {
        const std::size_t dash = value.find('-');
        Place from, to;
        if (dash == std::string::npos || !ParsePlace(value.substr(0, dash), &from) ||
            !ParsePlace(value.substr(dash + 1), &to))
          return Fail(error, "--select wants LINE:COL-LINE:COL, from 1: " + value);
        if (to.line < from.line || (to.line == from.line && to.pos < from.pos))
          return Fail(error, "--select ends before it starts: " + value);
        request->select = std::make_pair(from, to);
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Fail(error, "unknown option " + arg);
    } else if (request->file.empty()) {
      request->file = arg;
    } else {
      return Fail(error, "unknown command " + arg);
    }
  }
  if (request->file.empty()) return Fail(error, "no file given");
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (IsStepWord(arg)) {
      EditStep step;
      step.word = arg;
      step.entry = arg == "search" ? kSearchEntry : arg == "replace" ? kReplaceEntry : kRepeatEntry;
      request->steps.push_back(step);
      continue;
    }
    if (request->steps.back().entry == kRepeatEntry)
      return Fail(error, "repeat takes no options: " + arg);
    if (!ParseStepOption(argc, argv, &i, &request->steps.back(), error)) return false;
  }
  if (request->steps.empty()) return Fail(error, "no command given (search, replace or repeat)");
  for (const EditStep& step : request->steps)
    for (const auto* text : {&step.text, &step.with})
      if (*text && (*text)->size() >= sizeof(FarDialogItem::Data))
        return Fail(error, "a text longer than the dialog's field holds (511 bytes)");
  return true;
}

void SetItemText(FarDialogItem& item, const std::string& text) {
  std::memcpy(item.Data, text.c_str(), text.size() + 1);  // the length was checked
}

// The state of one command while it runs, for the driver and the result.
struct StepRun {
  const EditStep* step = nullptr;
  int dialogs = 0;
  int notFound = 0;
  int questions = 0;
  bool patternError = false;
  bool unusable = false;  // an option the dialog cannot take
};

// Fills the search or replace dialog as a user would type the options, and accepts it.
int AnswerDialog(StepRun& run, const char* helpTopic, FarDialogItem* items, int count) {
  const std::string topic = helpTopic ? helpTopic : "";
  if (++run.dialogs > 1) {
    // Shown again after a pattern error: nothing else to type.
    std::fprintf(stderr, "quarix: %s: the pattern does not compile\n", run.step->word.c_str());
    run.patternError = true;
    return -1;
  }
  const EditStep& step = *run.step;
  auto check = [&](int index, const std::optional<bool>& state) {
    if (state && index < count) items[index].Selected = *state ? 1 : 0;
  };
  int regexItem = 4, caseItem = 5, backwardItem = 6;
  if (topic == "ReplaceDlg" && count == 11) {
    if (step.with) SetItemText(items[4], *step.with);
    regexItem = 6;
    caseItem = 7;
    backwardItem = 8;
  } else if (topic != "SearchDlg" || count != 10) {
    std::fprintf(stderr, "quarix: an unknown dialog (%s) cannot be answered here\n", topic.c_str());
    run.unusable = true;
    return -1;
  }
  if (step.text) SetItemText(items[2], *step.text);
  check(regexItem, step.regex);
  check(caseItem, step.caseSensitive);
  check(backwardItem, step.backward);
  if (topic == "SearchDlg" && step.inSelection) {
    if (items[7].Type != DI_CHECKBOX) {
      if (*step.inSelection) {
        std::fprintf(stderr, "quarix: %s --in-selection: no block is selected (use --select)\n",
                     step.word.c_str());
        run.unusable = true;
        return -1;
      }
    } else {
      check(7, step.inSelection);
    }
  }
  for (int i = 0; i < count; ++i)
    if (items[i].Type == DI_BUTTON && items[i].DefaultButton) return i;
  return -1;
}

void InstallDriver(host::Host& host, StepRun& run, AnswerInput& answers) {
  host.driver.dialog = [&run](int, const char* topic, FarDialogItem* items, int count) {
    return AnswerDialog(run, topic, items, count);
  };
  host.driver.message = [&run, &answers](const host::MessageRequest& request) {
    const std::string& topic = request.helpTopic;
    if (topic == "QXCannotFind") ++run.notFound;
    if (topic == "RegExpError") run.patternError = true;
    if (request.buttons <= 1) {
      WriteMessageLines(request);
      return 0;
    }
    ++run.questions;
    LineTerminalInput lines;
    return AskQuestion(request, answers);
  };
}

bool PlaceInside(const host::EditorBuffer& editor, const Place& place) {
  return place.line < static_cast<int>(editor.lines.size());
}

void PrintHit(const host::EditorBuffer& editor) {
  const host::EditorBlock& block = editor.block;
  const std::string& text = editor.lines[static_cast<std::size_t>(block.startLine)].text;
  std::printf("%d:%d:%d:", block.startLine + 1, block.startPos + 1, block.endPos - block.startPos);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

const char* EditUsageText() {
  return "usage: quarix edit FILE [--at LINE:COL] [--select LINE:COL-LINE:COL] COMMAND...\n"
         "\n"
         "Opens FILE in the host's editor and runs each command in turn with Linquo:\n"
         "  search [--text T] [--regex|--no-regex] [--case|--no-case] [--backward|--forward]\n"
         "         [--in-selection|--no-in-selection]\n"
         "  replace [--text T] [--with R] [--regex|--no-regex] [--case|--no-case]\n"
         "          [--backward|--forward]\n"
         "  repeat  the last search or replace again, from the cursor\n"
         "A field without an option keeps what the dialog shows (the stored settings).\n"
         "--at puts the cursor, --select selects a block up to the position after its last\n"
         "character; lines and columns count from 1. Each hit of a search is printed as\n"
         "LINE:COL:LENGTH: and the line. A replace question takes a button's number or first\n"
         "letter, one per line on standard input; the end of the input answers Escape.\n"
         "Escape on the terminal stops a replace that asks no more questions.\n"
         "The file is saved when it changed.\n"
         "\n"
         "Exit status: 0 when the last search found something, 1 when it found nothing,\n"
         "2 on an error.\n";
}

namespace {

bool AsksForHelp(int argc, char** argv) {
  for (int i = 0; i < argc; ++i)
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
  return false;
}

// Opens the file in the editor and runs each command of the request in turn.
int RunEditSteps(host::Host& host, host::Plugin* linquo, const EditRequest& request, StepRun& run) {
  std::string error;
  if (!host.OpenEditor(request.file, &error)) {
    std::fprintf(stderr, "quarix edit: %s\n", EscapeControlBytes(error).c_str());
    return kFailed;
  }
  host::EditorBuffer& editor = *host.editor();
  for (const Place* place :
       {request.at ? &*request.at : nullptr, request.select ? &request.select->first : nullptr,
        request.select ? &request.select->second : nullptr}) {
    if (place && !PlaceInside(editor, *place)) {
      std::fprintf(stderr, "quarix edit: %s has %zu lines; line %d is beyond its end\n",
                   EscapeName(request.file).c_str(), editor.lines.size(), place->line + 1);
      return kFailed;
    }
  }
  if (request.at) {
    editor.curLine = request.at->line;
    editor.curPos = request.at->pos;
  }
  if (request.select) {
    const auto& [from, to] = *request.select;
    editor.Select(host::EditorBlock{BTYPE_STREAM, from.line, from.pos, to.line, to.pos});
  }

  int status = kFound;
  int lastCommand = kSearchEntry;  // what a repeat does, as Linquo decides it
  bool commandGiven = false;
  for (const EditStep& step : request.steps) {
    run = StepRun{};
    run.step = &step;
    const bool search =
        step.entry == kSearchEntry ||
        (step.entry == kRepeatEntry && (!commandGiven || lastCommand == kSearchEntry));
    if (step.entry != kRepeatEntry || !commandGiven) {
      lastCommand = step.entry == kReplaceEntry ? kReplaceEntry : kSearchEntry;
      commandGiven = true;
    }
    const int selectedBefore = editor.blocksSelected;
    const int setBefore = editor.linesSet;
    {
      RawTerminalInput keys;  // a lone Escape reaches the plugin at once
      host.OpenPlugin(linquo, OPEN_EDITOR, step.entry);
    }
    if (run.patternError || run.unusable) {
      status = kFailed;
      break;
    }
    // Every match met is selected, by a search as by a replace question; a replace that
    // asks nothing hands the editor the lines it replaced in.
    const bool matched =
        editor.blocksSelected > selectedBefore || editor.linesSet > setBefore;
    if (search && matched && editor.block.type != BTYPE_NONE) PrintHit(editor);
    status = matched ? kFound : kNothingFound;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "quarix edit: cannot write the results: %s\n", std::strerror(errno));
    status = kFailed;
  }
  if (editor.modified && !host.SaveEditor(&error)) {
    std::fprintf(stderr, "quarix edit: %s\n", EscapeControlBytes(error).c_str());
    return kFailed;
  }
  return status;
}

}  // namespace

int RunEditCommand(int argc, char** argv) {
  EditRequest request;
  CommandLine line;
  line.prefix = "quarix edit";
  line.usage = EditUsageText();
  // The usage wins over every other word.
  line.read = [&](std::string* error, bool* help) {
    *help = AsksForHelp(argc, argv);
    return *help || ParseEditRequest(argc, argv, &request, error);
  };
  if (std::optional<int> status = ReadCommandLine(line)) return *status;
  // Escape stops a replace-all: the answers must not be there for the plugin to swallow.
  AnswersSetAside aside;
  if (!aside.ok()) {
    std::fprintf(stderr, "quarix edit: cannot set standard input aside for the answers: %s\n",
                 std::strerror(errno));
    return kFailed;
  }
  StepRun run;
  HostSteps steps;
  steps.needsLinquo = true;
  steps.answer = [&](CommandHost& at) { InstallDriver(at.host, run, aside.answers()); };
  steps.run = [&](CommandHost& at) {
    return RunEditSteps(at.host, at.plugins.linquo, request, run);
  };
  return RunInHost(steps);
}

}  // namespace program
