#include "editorsearch/replace.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "common/host_binding.h"
#include "common/messages.h"
#include "common/template.h"
#include "common/text_model.h"
#include "editorsearch/editor_calls.h"
#include "editorsearch/line_replace.h"
#include "editorsearch/search.h"
#include "editorsearch/settings.h"
#include "platform/platform.h"

namespace {

constexpr int kReplaceItems = 11;
constexpr int kReplaceButton = 9;
const char kTextHistory[] = "SearchText";
const char kReplaceHistory[] = "ReplaceText";

enum Answer { kReplace = 0, kAll = 1, kSkip = 2, kCancel = 3 };

std::uintptr_t History(const char* name) { return reinterpret_cast<std::uintptr_t>(name); }
int Checked(const FarDialogItem& item) { return item.Selected ? 1 : 0; }

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

int Ask(const std::string& match, const std::string& replacement) {
  const char* lines[] = {MessageText(kMsgReplaceTitle),
                         MessageText(kMsgReplaceTheText),
                         match.c_str(),
                         MessageText(kMsgWith),
                         replacement.c_str(),
                         MessageText(kMsgReplaceButton),
                         MessageText(kMsgAllButton),
                         MessageText(kMsgSkipButton),
                         MessageText(kMsgCancel)};
  return Info.Message(Info.ModuleNumber, 0, "QXAskReplace", lines, 9, 4);
}

// The console is looked at once the clock has moved on since the last look, so that a long
// replace-all costs no system call per match; the first look of a run is at once.
platform::ConsoleLook g_consoleLook;

bool EscapePressed() {
  return platform::PollConsoleEscapeOncePerTick(&g_consoleLook, platform::ReadCoarseClock());
}

// Replace-all over a line from start on: the new line is built in one pass and handed to
// the editor once. False when the run is to end (Escape, or a line grown too long).
bool ReplaceRestOfLine(const LineSearch& search, int line, int start) {
  EditorGetString text;
  if (!GetEditorLine(line, &text)) return true;
  const std::string eol = text.StringEOL;
  const std::size_t reach = search.regex ? PatternLookbehindReach(search.pattern) : 0;
  std::string bytes(text.StringText, static_cast<std::size_t>(text.StringLength));
  LineReplacement done =
      ReplaceAllInLine(search, std::move(bytes), start, Session.EditorReplace.c_str(),
                       eol.c_str(), reach, EscapePressed);
  if (done.replaced > 0) {
    SetEditorLine(line, done.text.data(), static_cast<int>(done.text.size()), eol.c_str());
    // Where the last replacement one at a time would have left the editor.
    SetEditorPosition(line, done.position, line);
    ClearEditorSelection();
  }
  return !done.stopped;
}

// Where the search goes on after an empty match that ended at next: one character
// further (forward) or one character before it (backward), in the line as it now stands.
int StepPastEmptyMatch(int line, int next, bool reverse) {
  if (TextIsUtf8()) {
    EditorGetString text;
    if (GetEditorLine(line, &text) && text.StringText && next <= text.StringLength) {
      const auto length = static_cast<std::size_t>(text.StringLength);
      const auto at = static_cast<std::size_t>(next);
      if (!reverse && next >= 0 && next < text.StringLength)
        return static_cast<int>(at + CharacterLengthAt(text.StringText, length, at));
      if (reverse && next > 0) return static_cast<int>(CharacterStartBefore(text.StringText, at));
    }
  }
  return reverse ? next - 1 : (next < INT_MAX ? next + 1 : next);
}

}  // namespace

void ReplaceDialog() {
  const DialogItemSpec layout[kReplaceItems] = {
      {DI_DOUBLEBOX, 3, 1, 72, 12, 0, 0, 0, 0, kMsgReplaceTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgSearchText},
      {DI_EDIT, 5, 3, 70, 0, 1, History(kTextHistory), DIF_HISTORY, 0, TextData(EStored.EText.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgReplaceWith},
      {DI_EDIT, 5, 5, 70, 0, 0, History(kReplaceHistory), DIF_HISTORY, 0,
       TextData(EStored.ERReplace.c_str())},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, DIF_SEPARATOR | DIF_BOXCOLOR, 0, 0},
      {DI_CHECKBOX, 5, 7, 0, 0, 0, static_cast<std::uintptr_t>(EStored.ERegExp != 0), 0, 0, kMsgModeRegex},
      {DI_CHECKBOX, 5, 8, 0, 0, 0, static_cast<std::uintptr_t>(EStored.ECaseSensitive != 0), 0, 0,
       kMsgCaseSensitive},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, static_cast<std::uintptr_t>(Session.Reverse != 0), 0, 0, kMsgBackward},
      {DI_BUTTON, 0, 11, 0, 0, 0, 0, DIF_CENTERGROUP, 1, kMsgReplaceButton},
      {DI_BUTTON, 0, 11, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kReplaceItems] = {};
  ExpandDialogItems(layout, items, kReplaceItems);
  for (;;) {
    if (Info.Dialog(Info.ModuleNumber, -1, -1, 76, 14, "ReplaceDlg", items, kReplaceItems) !=
        kReplaceButton)
      return;
    EStored.EText = DialogItemText(items[2]);
    EStored.ERReplace = DialogItemText(items[4]);
    EStored.ECaseSensitive = Checked(items[7]);
    Session.Reverse = Checked(items[8]);
    EStored.ERegExp = Checked(items[6]);
    if (PreparePattern()) break;
  }
  Session.ReplaceAll = 0;
  if (!EStored.EText.empty()) ReplaceRun();
}

void ReplaceRun() {
  EditorInfo editor;
  GetEditorInfo(&editor);
  const LineSearch search = CurrentLineSearch();
  const int step = search.reverse ? -1 : 1;
  int line = editor.CurLine;
  int start = editor.CurPos;
  LineHit hit;
  g_consoleLook = {};
  while (search.reverse ? line >= 0 : line < editor.TotalLines) {
    // Once nothing is asked, a line is replaced whole. With the selection option the first
    // replacement removes the selection, and with it every later match: one at a time.
    if (Session.ReplaceAll && !search.inSelection) {
      if (EscapePressed() || !ReplaceRestOfLine(search, line, start)) return;
      line += step;
      start = -1;
      continue;
    }
    EditorGetString text;
    if (!GetEditorLine(line, &text) || !LineRegion(search, text, start, true, &hit)) {
      line += step;
      start = -1;
      continue;
    }
    std::string replacement =
        ExpandTemplate(text.StringText, hit.pairs ? hit.ovector.data() : nullptr, hit.pairs,
                       Session.EditorReplace.c_str(), text.StringEOL);
    const int next = AskAndReplace(line, hit.start, hit.length, std::move(replacement));
    if (next < 0) return;
    if (hit.length > 0) {
      start = next;
      continue;
    }
    // An empty match would be found again where the search goes on (forever, with
    // ReplaceAll): step past it by one character. Forward the character after the
    // insertion is skipped; backward the next region ends one character before it.
    start = StepPastEmptyMatch(line, next, search.reverse);
    if (start < 0) {  // -1 would mean the whole line again
      line += step;
      start = -1;
    }
  }
  if (!Session.ReplaceAll) ShowNotFound(kMsgReplaceTitle);
}

int AskAndReplace(int line, int start, int length, std::string replacement) {
  SetEditorPosition(line, start, line);
  SelectInEditor(line, start, length);
  if (!Session.ReplaceAll) RedrawEditor();
  EditorGetString text;
  if (!GetEditorLine(line, &text)) return -1;
  // The line cannot have changed since the match was found; stay inside it regardless.
  const int lineLength = text.StringLength;
  start = std::clamp(start, 0, lineLength);
  length = std::clamp(length, 0, lineLength - start);

  int answer = kReplace;
  if (!Session.ReplaceAll)
    answer = Ask(Quoted(ShownText(text.StringText + start, static_cast<std::size_t>(length))),
                 Quoted(ShownText(replacement.data(), replacement.size())));
  switch (answer) {
    case kReplace:
      break;
    case kAll:
      Session.ReplaceAll = 1;
      break;
    case kSkip:
      return Session.Reverse ? start : start + length;
    default:  // cancel, Escape
      return -1;
  }
  // A line longer than the editor's records can count is never made.
  if (replacement.size() > static_cast<std::size_t>(INT_MAX - (lineLength - length))) return -1;
  std::string newText(text.StringText, static_cast<std::size_t>(start));
  newText += replacement;
  newText.append(text.StringText + start + length,
                 static_cast<std::size_t>(lineLength - start - length));
  const std::string eol = text.StringEOL;  // the line's own end, kept as it was
  SetEditorLine(line, newText.data(), static_cast<int>(newText.size()), eol.c_str());
  const int position = Session.Reverse ? start : start + static_cast<int>(replacement.size());
  SetEditorPosition(line, position);
  ClearEditorSelection();
  return position;
}
