#include "editorsearch/search.h"

#include <string>

#include "common/host_binding.h"
#include "common/messages.h"
#include "editorsearch/editor_calls.h"
#include "editorsearch/settings.h"

EditorSession Session;

namespace {

constexpr int kSearchItems = 10;
constexpr int kSearchButton = 8;
constexpr int kSelectionItem = 7;
const char kTextHistory[] = "SearchText";

std::uintptr_t History(const char* name) { return reinterpret_cast<std::uintptr_t>(name); }
int Checked(const FarDialogItem& item) { return item.Selected ? 1 : 0; }

// What EPattern was compiled from; not valid after a failed compile.
struct PatternSource {
  bool valid = false;
  std::string text;
  int caseSensitive = 0;
};
PatternSource g_source;

// The texts of the dialogs (OEM) as the editor's lines spell them.
void TakeEditorTexts() {
  EditorInfo editor;
  Session.OtherTable = GetEditorInfo(&editor) && IsOtherTableShown(editor);
  Session.EditorText = EStored.EText;
  Session.EditorReplace = EStored.ERReplace;
  if (!Session.OtherTable) return;
  ConvertOemToEditor(&Session.EditorText);
  ConvertOemToEditor(&Session.EditorReplace);
}

}  // namespace

LineSearch CurrentLineSearch() {
  LineSearch search;
  search.regex = EStored.ERegExp != 0;
  search.caseSensitive = EStored.ECaseSensitive != 0;
  search.reverse = Session.Reverse != 0;
  search.inSelection = Session.InSelection != 0;
  search.text = Session.EditorText.c_str();
  search.textLength = Session.EditorText.size();
  search.pattern = Session.EPattern.get();
  return search;
}

bool PreparePattern() {
  Session.EPattern.reset();
  g_source = PatternSource{};
  TakeEditorTexts();
  if (EStored.ERegExp == 0) return true;
  CompiledPattern* compiled = nullptr;
  // An error points into the text as it was typed; the editor's spelling of a pattern
  // that compiles compiles as well, one byte standing for one.
  bool ok = CompilePattern(&compiled, EStored.EText.c_str(), EStored.ECaseSensitive) != 0;
  if (ok && Session.OtherTable) {
    ReleasePattern(&compiled);
    ok = CompilePattern(&compiled, Session.EditorText.c_str(), EStored.ECaseSensitive) != 0;
  }
  Session.EPattern.reset(compiled);
  g_source = PatternSource{ok, Session.EditorText, EStored.ECaseSensitive};
  return ok;
}

bool EnsurePattern() {
  // The editor may show another table, or another file, than at the last compile.
  TakeEditorTexts();
  if (EStored.ERegExp == 0) return true;
  if (g_source.valid && g_source.text == Session.EditorText &&
      g_source.caseSensitive == EStored.ECaseSensitive)
    return true;
  return PreparePattern();
}

std::string ShownText(const char* bytes, std::size_t length) {
  std::string text(bytes, length);
  if (Session.OtherTable) ConvertEditorToOem(&text);
  return text;
}

void SearchDialog() {
  EditorInfo editor;
  GetEditorInfo(&editor);
  const DialogItemSpec layout[kSearchItems] = {
      {DI_DOUBLEBOX, 3, 1, 72, 11, 0, 0, 0, 0, kMsgPluginTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgSearchText},
      {DI_EDIT, 5, 3, 70, 0, 1, History(kTextHistory), DIF_HISTORY, 0, TextData(EStored.EText.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, DIF_SEPARATOR | DIF_BOXCOLOR, 0, 0},
      {DI_CHECKBOX, 5, 5, 0, 0, 0, static_cast<std::uintptr_t>(EStored.ERegExp != 0), 0, 0, kMsgModeRegex},
      {DI_CHECKBOX, 5, 6, 0, 0, 0, static_cast<std::uintptr_t>(EStored.ECaseSensitive != 0), 0, 0,
       kMsgCaseSensitive},
      {DI_CHECKBOX, 5, 7, 0, 0, 0, static_cast<std::uintptr_t>(Session.Reverse != 0), 0, 0, kMsgBackward},
      {DI_CHECKBOX, 5, 8, 0, 0, 0, static_cast<std::uintptr_t>(Session.InSelection != 0), 0, 0,
       kMsgInSelection},
      {DI_BUTTON, 0, 10, 0, 0, 0, 0, DIF_CENTERGROUP, 1, kMsgSearchButton},
      {DI_BUTTON, 0, 10, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kSearchItems] = {};
  ExpandDialogItems(layout, items, kSearchItems);
  const bool selectable = editor.BlockType != BTYPE_NONE;
  if (!selectable) {
    // Shown, but it cannot be chosen while nothing is selected.
    const std::string text = std::string("--- ") + MessageText(kMsgInSelection);
    const DialogItemSpec shown = {DI_TEXT, 5, 8, 0, 0, 0, 0, 0, 0, TextData(text.c_str())};
    ExpandDialogItems(&shown, &items[kSelectionItem], 1);
  }
  for (;;) {
    if (Info.Dialog(Info.ModuleNumber, -1, -1, 76, 13, "SearchDlg", items, kSearchItems) !=
        kSearchButton)
      return;
    EStored.EText = DialogItemText(items[2]);
    EStored.ECaseSensitive = Checked(items[5]);
    Session.Reverse = Checked(items[6]);
    Session.InSelection = selectable ? Checked(items[kSelectionItem]) : 0;
    EStored.ERegExp = Checked(items[4]);
    if (PreparePattern()) break;
  }
  if (!EStored.EText.empty()) SearchNext();
}

void SearchNext() {
  EditorInfo editor;
  GetEditorInfo(&editor);
  const LineSearch search = CurrentLineSearch();
  LineHit hit;
  for (int line = editor.CurLine; search.reverse ? line >= 0 : line < editor.TotalLines;
       line += search.reverse ? -1 : 1) {
    EditorGetString text;
    if (!GetEditorLine(line, &text)) continue;
    const int start = line == editor.CurLine ? editor.CurPos : -1;
    if (LineRegion(search, text, start, false, &hit)) {
      ShowMatch(line, hit.start, hit.length);
      return;
    }
  }
  ShowNotFound(kMsgPluginTitle);
}

void ShowMatch(int line, int start, int length) {
  SelectInEditor(line, start, length);
  SetEditorPosition(line, Session.Reverse ? start : start + length);
}

void ShowNotFound(MessageId title) {
  const char* lines[] = {MessageText(title), MessageText(kMsgCannotFind), EStored.EText.c_str()};
  ShowWarning("QXCannotFind", lines, 3);
}
