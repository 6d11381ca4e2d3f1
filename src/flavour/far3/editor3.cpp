#include "flavour/far3/editor3.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "flavour/far3/wide_strings.h"

namespace {

// The host's editor service: the host calls in on one thread.
far3::EditorControlFn g_control = nullptr;

// A line as the editor gave it and as the core got it.
struct FetchedLine {
  std::u16string units;
  Utf8Line text;
  std::string eol;
  far3::IntPtr selStart = -1, selEnd = -1;  // code units, -1 as the editor gives them
};

// The last two lines handed to the core: a caller may still read one line while it
// fetches the next.
FetchedLine g_handedOut[2];
int g_nextSlot = 0;

far3::IntPtr CallEditor(int command, void* param) {
  return g_control ? g_control(far3::kCurrentEditor, command, 0, param) : 0;
}

int ToInt(far3::IntPtr value) {
  return static_cast<int>(std::clamp<far3::IntPtr>(value, INT_MIN, INT_MAX));
}

bool FetchLine(far3::IntPtr number, FetchedLine* line) {
  far3::EditorGetString get{};
  get.StructSize = sizeof(get);
  get.StringNumber = number;
  if (!CallEditor(far3::ECTL_GETSTRING, &get) || !get.StringText || get.StringLength < 0)
    return false;
  line->selStart = get.SelStart;
  line->selEnd = get.SelEnd;
  line->units.assign(reinterpret_cast<const char16_t*>(get.StringText),
                     static_cast<std::size_t>(get.StringLength));
  line->text = EncodeUtf16Line(line->units);
  line->eol = Utf8Of(get.StringEOL);
  return true;
}

bool FetchCurrentLine(far3::IntPtr number, FetchedLine* line) {
  if (number < 0) {
    far3::EditorInfo info{};
    info.StructSize = sizeof(info);
    if (!CallEditor(far3::ECTL_GETINFO, &info)) return false;
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
  out->SelStart = line.selStart < 0 ? ToInt(line.selStart) : CharToByte(line.text, ToInt(line.selStart));
  out->SelEnd = line.selEnd < 0 ? ToInt(line.selEnd) : CharToByte(line.text, ToInt(line.selEnd));
  return 1;
}

// Only the units between the first and the last byte the core changed are decoded anew:
// the rest of the line keeps the units it had, whatever they are.
int SetString(const EditorSetString* in) {
  if (!in->StringText || in->StringLength < 0) return 0;
  const std::string_view bytes(in->StringText, static_cast<std::size_t>(in->StringLength));
  FetchedLine old;
  const std::u16string units = FetchLine(in->StringNumber, &old)
                                   ? MergeUtf16Line(old.units, old.text, bytes)
                                   : DecodeToUtf16(bytes);
  std::wstring text(units.size(), L'\0');
  std::memcpy(text.data(), units.data(), units.size() * sizeof(wchar_t));
  const std::wstring eol = in->StringEOL ? WideOf(in->StringEOL) : std::wstring();
  far3::EditorSetString set{};
  set.StructSize = sizeof(set);
  set.StringNumber = in->StringNumber;
  set.StringLength = static_cast<far3::IntPtr>(text.size());
  set.StringText = text.c_str();
  set.StringEOL = in->StringEOL ? eol.c_str() : nullptr;
  return CallEditor(far3::ECTL_SETSTRING, &set) ? 1 : 0;
}

int GetInfo(EditorInfo* out) {
  far3::EditorInfo info{};
  info.StructSize = sizeof(info);
  if (!CallEditor(far3::ECTL_GETINFO, &info)) return 0;
  *out = EditorInfo{};
  out->EditorID = ToInt(info.EditorID);
  out->WindowSizeX = ToInt(info.WindowSizeX);
  out->WindowSizeY = ToInt(info.WindowSizeY);
  out->TotalLines = ToInt(info.TotalLines);
  out->CurLine = ToInt(info.CurLine);
  out->CurPos = ToInt(info.CurPos);
  out->CurTabPos = ToInt(info.CurTabPos);
  out->TopScreenLine = ToInt(info.TopScreenLine);
  out->LeftPos = ToInt(info.LeftPos);
  out->Overtype = ToInt(info.Overtype);
  out->BlockType = ToInt(info.BlockType);
  out->BlockStartLine = ToInt(info.BlockStartLine);
  // The core's text is the editor's text, in UTF-8: no table to convert through.
  out->AnsiMode = 0;
  out->TableNum = -1;
  out->Options = static_cast<DWORD>(info.Options);
  out->TabSize = ToInt(info.TabSize);
  out->BookMarkCount = ToInt(static_cast<far3::IntPtr>(info.BookmarkCount));
  out->CurState = static_cast<DWORD>(info.CurState);
  FetchedLine line;
  if (FetchLine(info.CurLine, &line)) {
    out->CurPos = CharToByte(line.text, out->CurPos);
    out->LeftPos = CharToByte(line.text, out->LeftPos);
  }
  return 1;
}

int SetPosition(const EditorSetPosition* in) {
  far3::EditorSetPosition position{};
  position.StructSize = sizeof(position);
  position.CurLine = in->CurLine;
  position.CurPos = in->CurPos;
  position.CurTabPos = in->CurTabPos;
  position.TopScreenLine = in->TopScreenLine;
  position.LeftPos = in->LeftPos;
  position.Overtype = in->Overtype;
  FetchedLine line;
  if ((in->CurPos >= 0 || in->LeftPos >= 0) && FetchCurrentLine(in->CurLine, &line)) {
    position.CurPos = ByteToCharFloor(line.text, in->CurPos);
    position.LeftPos = ByteToCharFloor(line.text, in->LeftPos);
  }
  return CallEditor(far3::ECTL_SETPOSITION, &position) ? 1 : 0;
}

int Select(const EditorSelect* in) {
  far3::EditorSelect select{};
  select.StructSize = sizeof(select);
  select.BlockType = in->BlockType;
  select.BlockStartLine = in->BlockStartLine;
  select.BlockStartPos = in->BlockStartPos;
  select.BlockWidth = in->BlockWidth;
  select.BlockHeight = in->BlockHeight;
  FetchedLine line;
  if (in->BlockType != BTYPE_NONE && FetchLine(in->BlockStartLine, &line)) {
    // Every unit the core's bytes touch is selected.
    const long long end = static_cast<long long>(in->BlockStartPos) + in->BlockWidth;
    select.BlockStartPos = ByteToCharFloor(line.text, in->BlockStartPos);
    select.BlockWidth =
        ByteToCharCeil(line.text, static_cast<int>(std::min<long long>(end, INT_MAX))) -
        select.BlockStartPos;
  }
  return CallEditor(far3::ECTL_SELECT, &select) ? 1 : 0;
}

}  // namespace

void BindFar3Editor(far3::EditorControlFn control) { g_control = control; }

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
      return CallEditor(far3::ECTL_REDRAW, nullptr) ? 1 : 0;
    default:
      return 0;  // nothing else is bridged: the core asks for nothing else
  }
}
