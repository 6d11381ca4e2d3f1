#include "editorsearch/far2l/wide_editor.h"

#include <algorithm>
#include <climits>
#include <string>

#include "editorsearch/far2l/wide_text.h"

namespace {

wide::EditorControlFn g_control = nullptr;

// A line as the editor gave it and as the core got it.
struct FetchedLine {
  std::wstring values;
  Utf8Line text;
  std::string eol;
  int selStart = -1, selEnd = -1;  // character positions, -1 as the editor gives them
};

// The last two lines handed to the core: a caller may still read one line while it
// fetches the next.
FetchedLine g_handedOut[2];
int g_nextSlot = 0;

int CallEditor(int command, void* param) { return g_control ? g_control(command, param) : 0; }

// The selection's ends are kept as the editor's positions: callers convert what they need.
bool FetchLine(int number, FetchedLine* line) {
  wide::EditorGetString get{};
  get.StringNumber = number;
  if (!CallEditor(ECTL_GETSTRING, &get) || !get.StringText || get.StringLength < 0) return false;
  line->selStart = get.SelStart;
  line->selEnd = get.SelEnd;
  line->values.assign(get.StringText, static_cast<std::size_t>(get.StringLength));
  line->text = EncodeWideLine(line->values.data(), line->values.size());
  line->eol = get.StringEOL ? EncodeWide(get.StringEOL) : std::string();
  return true;
}

// The line a position refers to, fetched afresh: the core may have just set it.
bool FetchLineForPosition(int number, FetchedLine* line) {
  if (number < 0) {
    wide::EditorInfo info{};
    if (!CallEditor(ECTL_GETINFO, &info)) return false;
    number = info.CurLine;
  }
  return FetchLine(number, line);
}

int GetString(EditorGetString* out) {
  FetchedLine& line = g_handedOut[g_nextSlot];
  if (!FetchLine(out->StringNumber, &line)) return 0;
  g_nextSlot = 1 - g_nextSlot;
  // A line whose bytes an int cannot count is not handed out.
  if (line.text.bytes.size() > static_cast<std::size_t>(INT_MAX)) return 0;
  out->StringText = line.text.bytes.c_str();
  out->StringEOL = line.eol.c_str();
  out->StringLength = static_cast<int>(line.text.bytes.size());
  out->SelStart = line.selStart < 0 ? line.selStart : CharToByte(line.text, line.selStart);
  out->SelEnd = line.selEnd < 0 ? line.selEnd : CharToByte(line.text, line.selEnd);
  return 1;
}

int SetString(const EditorSetString* in) {
  if (!in->StringText || in->StringLength < 0) return 0;
  const std::string_view bytes(in->StringText, static_cast<std::size_t>(in->StringLength));
  FetchedLine old;
  std::wstring values = FetchLine(in->StringNumber, &old)
                            ? MergeLineValues(old.values, old.text, bytes)
                            : DecodeToWide(bytes);
  if (values.size() > static_cast<std::size_t>(INT_MAX)) return 0;
  const std::wstring eol = in->StringEOL ? DecodeToWide(in->StringEOL) : std::wstring();
  wide::EditorSetString set{in->StringNumber, values.c_str(), eol.c_str(),
                            static_cast<int>(values.size())};
  return CallEditor(ECTL_SETSTRING, &set);
}

int GetInfo(EditorInfo* out) {
  wide::EditorInfo info{};
  if (!CallEditor(ECTL_GETINFO, &info)) return 0;
  *out = EditorInfo{};
  out->EditorID = info.EditorID;
  out->WindowSizeX = info.WindowSizeX;
  out->WindowSizeY = info.WindowSizeY;
  out->TotalLines = info.TotalLines;
  out->CurLine = info.CurLine;
  out->CurPos = info.CurPos;
  out->CurTabPos = info.CurTabPos;
  out->TopScreenLine = info.TopScreenLine;
  out->LeftPos = info.LeftPos;
  out->Overtype = info.Overtype;
  out->BlockType = info.BlockType;
  out->BlockStartLine = info.BlockStartLine;
  out->Options = info.Options;
  out->TabSize = info.TabSize;
  out->BookMarkCount = info.BookMarkCount;
  out->CurState = info.CurState;
  out->TableNum = -1;  // the lines come in the core's own text: nothing to convert
  FetchedLine line;
  if (FetchLine(info.CurLine, &line)) {
    out->CurPos = CharToByte(line.text, info.CurPos);
    out->LeftPos = CharToByte(line.text, info.LeftPos);
  }
  return 1;
}

int SetPosition(const EditorSetPosition* in) {
  EditorSetPosition position = *in;
  FetchedLine line;
  if ((in->CurPos >= 0 || in->LeftPos >= 0) && FetchLineForPosition(in->CurLine, &line)) {
    position.CurPos = ByteToCharFloor(line.text, in->CurPos);
    position.LeftPos = ByteToCharFloor(line.text, in->LeftPos);
  }
  return CallEditor(ECTL_SETPOSITION, &position);
}

int Select(const EditorSelect* in) {
  EditorSelect select = *in;
  FetchedLine line;
  if (in->BlockType != BTYPE_NONE && FetchLine(in->BlockStartLine, &line)) {
    // Every character the core's bytes touch is selected.
    const long long end = static_cast<long long>(in->BlockStartPos) + in->BlockWidth;
    select.BlockStartPos = ByteToCharFloor(line.text, in->BlockStartPos);
    select.BlockWidth =
        ByteToCharCeil(line.text, static_cast<int>(std::min<long long>(end, INT_MAX))) -
        select.BlockStartPos;
  }
  return CallEditor(ECTL_SELECT, &select);
}

}  // namespace

void BindWideEditor(wide::EditorControlFn control) { g_control = control; }

int FARAPI BridgeEditorControl(int command, void* param) {
  switch (command) {
    case ECTL_GETSTRING:
      return param ? GetString(static_cast<EditorGetString*>(param)) : 0;
    case ECTL_SETSTRING:
      return param ? SetString(static_cast<const EditorSetString*>(param)) : 0;
    case ECTL_GETINFO:
      return param ? GetInfo(static_cast<EditorInfo*>(param)) : 0;
    case ECTL_SETPOSITION:
      return param ? SetPosition(static_cast<const EditorSetPosition*>(param)) : 0;
    case ECTL_SELECT:
      return param ? Select(static_cast<const EditorSelect*>(param)) : 0;
    case ECTL_REDRAW:
      return CallEditor(ECTL_REDRAW, nullptr);
    default:
      return 0;  // nothing else is bridged: the core asks for nothing else
  }
}
