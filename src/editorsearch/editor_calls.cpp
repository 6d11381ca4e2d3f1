#include "editorsearch/editor_calls.h"

#include <climits>

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

// FAR 1.75 tells OEM by AnsiMode 0 and TableNum -1; Far 3's layer always says AnsiMode 0
// and gives OEM the number 0, where a conversion costs a call and changes nothing.
bool IsOtherTableShown(const EditorInfo& info) { return info.AnsiMode != 0 || info.TableNum != -1; }

namespace {

void ConvertText(int command, std::string* text) {
  if (text->empty() || text->size() > static_cast<std::size_t>(INT_MAX)) return;
  std::string converted = *text;
  EditorConvertText convert{converted.data(), static_cast<int>(converted.size())};
  if (CallEditor(command, &convert)) *text = std::move(converted);
}

}  // namespace

void ConvertOemToEditor(std::string* text) { ConvertText(ECTL_OEMTOEDITOR, text); }
void ConvertEditorToOem(std::string* text) { ConvertText(ECTL_EDITORTOOEM, text); }
