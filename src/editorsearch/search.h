// Linquo's search command: the dialog, the search from the cursor, and what both share
// with the replace command (the compiled pattern, the direction, the selection option).
#pragma once

#include <memory>
#include <string>

#include "common/message_ids.h"
#include "common/pattern.h"
#include "editorsearch/line_search.h"

struct PatternReleaser {
  void operator()(CompiledPattern* pattern) const { ReleasePattern(&pattern); }
};
using PatternHolder = std::unique_ptr<CompiledPattern, PatternReleaser>;

// What the editor commands keep between the host's calls, never stored: a global because
// the plugin lives from call to call; only the host's thread touches it.
struct EditorSession {
  int Reverse = 0;       // towards the first line
  int InSelection = 0;   // only inside the editor's selected block
  PatternHolder EPattern;  // from EText, when the last accepted dialog asked for one
  int LastCommand = -1;  // what the repeat entry repeats: -1 none yet, 0 search, 1 replace
  int ReplaceAll = 0;    // the question's "all" answer; cleared when the replace dialog is accepted
  // EText and ERReplace as the editor's lines spell them: converted from OEM where the
  // editor shows its file in another table. Taken by PreparePattern and EnsurePattern.
  std::string EditorText;
  std::string EditorReplace;
  bool OtherTable = false;
};
extern EditorSession Session;

// The line search as the settings stand.
LineSearch CurrentLineSearch();

// Takes EText and ERReplace in the editor's table, and compiles EText in pattern mode
// (showing the error when it does not compile).
bool PreparePattern();
// For a repeat: compiles again when EText or the case setting changed since the last
// compile (a hand-off from the file search), so the search looks for the text it names.
bool EnsurePattern();

void SearchDialog();
// From the cursor; selects the hit or shows the not-found warning.
void SearchNext();
void ShowMatch(int line, int start, int length);
// A text of the editor's lines as Linquo shows it: in OEM.
std::string ShownText(const char* bytes, std::size_t length);
// The not-found warning under the command's title (kMsgPluginTitle or kMsgReplaceTitle).
void ShowNotFound(MessageId title);
