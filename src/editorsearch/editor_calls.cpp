#include "editorsearch/editor_calls.h"

#include "common/host_binding.h"

namespace {

int CallEditor(int command, void* param) {
  return Info.EditorControl ? Info.EditorControl(command, param) : 0;
}

}  // namespace

bool GetEditorInfo(EditorInfo* info) {
  *info = EditorInfo{};
  return CallEditor(ECTL_GETINFO, info) != 0;
}

bool GetEditorLine(int number, EditorGetString* line) {
  *line = EditorGetString{};
  line->StringNumber = number;
  if (!CallEditor(ECTL_GETSTRING, line)) return false;
  if (!line->StringText || line->StringLength < 0) return false;
  if (!line->StringEOL) line->StringEOL = "";
  return true;
}

void SetEditorLine(int number, const char* text, int length, const char* eol) {
  EditorSetString set{number, const_cast<char*>(text), const_cast<char*>(eol), length};
  CallEditor(ECTL_SETSTRING, &set);
}

void SetEditorPosition(int line, int pos, int topScreenLine) {
  EditorSetPosition position{line, pos, -1, topScreenLine, -1, -1};
  CallEditor(ECTL_SETPOSITION, &position);
}

void SelectInEditor(int line, int pos, int width) {
  EditorSelect select{BTYPE_STREAM, line, pos, width, 1};
  CallEditor(ECTL_SELECT, &select);
}

void ClearEditorSelection() {
  EditorSelect select{BTYPE_NONE, 0, 0, 0, 0};
  CallEditor(ECTL_SELECT, &select);
}

void RedrawEditor() { CallEditor(ECTL_REDRAW, nullptr); }
