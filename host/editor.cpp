#include "host/editor.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "host/host.h"
#include "platform/platform.h"

namespace host {
namespace {

// A resolved path may be longer than the plugins' paths: the longest a posix path can be.
constexpr int kResolvedPathBuffer = 4096;

int LineCount(const EditorBuffer& editor) { return static_cast<int>(editor.lines.size()); }

int ClampLine(const EditorBuffer& editor, int line) {
  return std::clamp(line, 0, LineCount(editor) - 1);
}

int GetString(EditorBuffer& editor, EditorGetString* get) {
  const int number = get->StringNumber < 0 ? editor.curLine : get->StringNumber;
  if (number < 0 || number >= LineCount(editor)) return 0;
  const EditorLine& line = editor.lines[static_cast<std::size_t>(number)];
  if (line.text.size() > static_cast<std::size_t>(INT_MAX)) return 0;
  get->StringText = line.text.c_str();
  get->StringEOL = line.eol.c_str();
  get->StringLength = static_cast<int>(line.text.size());
  editor.LineSelection(number, &get->SelStart, &get->SelEnd);
  return 1;
}

int SetString(EditorBuffer& editor, const EditorSetString* set) {
  const int number = set->StringNumber < 0 ? editor.curLine : set->StringNumber;
  if (number < 0 || number >= LineCount(editor)) return 0;
  if (set->StringLength < 0 || (set->StringLength > 0 && !set->StringText)) return 0;
  EditorLine& line = editor.lines[static_cast<std::size_t>(number)];
  // The new texts are built before the line changes: they may point into the line.
  std::string text(set->StringText ? set->StringText : "",
                   static_cast<std::size_t>(set->StringLength));
  std::string eol = set->StringEOL ? std::string(set->StringEOL) : line.eol;
  ++editor.linesSet;
  if (text == line.text && eol == line.eol) return 1;
  line.text = std::move(text);
  line.eol = std::move(eol);
  editor.modified = true;
  return 1;
}

int GetInfo(const EditorBuffer& editor, EditorInfo* info) {
  *info = EditorInfo{};
  info->FileName = editor.fileName.c_str();
  info->WindowSizeX = 80;
  info->WindowSizeY = 25;
  info->TotalLines = LineCount(editor);
  info->CurLine = editor.curLine;
  info->CurPos = editor.curPos;
  info->CurTabPos = editor.curPos;
  info->TopScreenLine = editor.topScreenLine;
  info->LeftPos = editor.leftPos;
  info->Overtype = editor.overtype;
  info->BlockType = editor.block.type;
  info->BlockStartLine = editor.block.type == BTYPE_NONE ? 0 : editor.block.startLine;
  info->TabSize = 8;
  // As the real host: the ANSI table is the ANSI mode, no user table (-1) either way.
  info->AnsiMode = editor.ansiTable ? 1 : 0;
  info->TableNum = -1;
  return 1;
}

// In place, byte for byte; a byte without a counterpart in the other table stays as it is.
int ConvertTable(const EditorBuffer& editor, const EditorConvertText* convert, bool toOem) {
  if (!convert->Text || convert->TextLength < 0) return 0;
  if (!editor.ansiTable) return 1;  // the editor shows OEM: nothing to convert
  auto* bytes = reinterpret_cast<unsigned char*>(convert->Text);
  for (int i = 0; i < convert->TextLength; ++i) {
    unsigned char converted = bytes[i];
    if (toOem ? platform::ConvertAnsiToOem(bytes[i], &converted)
              : platform::ConvertOemToAnsi(bytes[i], &converted))
      bytes[i] = converted;
  }
  return 1;
}

int SetPosition(EditorBuffer& editor, const EditorSetPosition* position) {
  if (position->CurLine >= 0) editor.curLine = ClampLine(editor, position->CurLine);
  if (position->CurPos >= 0)
    editor.curPos = position->CurPos;
  else if (position->CurTabPos >= 0)
    editor.curPos = position->CurTabPos;
  if (position->TopScreenLine >= 0)
    editor.topScreenLine = ClampLine(editor, position->TopScreenLine);
  if (position->LeftPos >= 0) editor.leftPos = position->LeftPos;
  if (position->Overtype >= 0) editor.overtype = position->Overtype ? 1 : 0;
  return 1;
}

int SelectBlock(EditorBuffer& editor, const EditorSelect* select) {
  if (select->BlockType == BTYPE_NONE) {
    editor.Select(EditorBlock{});
    return 1;
  }
  // Only stream blocks are kept; a column block is refused rather than shown wrongly.
  if (select->BlockType != BTYPE_STREAM) return 0;
  if (select->BlockStartLine < 0 || select->BlockStartLine >= LineCount(editor) ||
      select->BlockStartPos < 0 || select->BlockWidth < 0 || select->BlockHeight < 1)
    return 0;
  EditorBlock block;
  block.type = BTYPE_STREAM;
  block.startLine = select->BlockStartLine;
  block.startPos = select->BlockStartPos;
  // One line: width characters from the start. Several: from the start to the end of the
  // last line's first width characters.
  const long long last = static_cast<long long>(block.startLine) + select->BlockHeight - 1;
  if (last >= LineCount(editor)) return 0;
  block.endLine = static_cast<int>(last);
  const long long end =
      (select->BlockHeight == 1 ? static_cast<long long>(block.startPos) : 0) + select->BlockWidth;
  if (end > INT_MAX) return 0;
  block.endPos = static_cast<int>(end);
  editor.Select(block);
  ++editor.blocksSelected;
  return 1;
}

}  // namespace

int EditorBuffer::Control(int command, void* param) {
  if (command == ECTL_REDRAW) {
    ++redraws;
    return 1;
  }
  if (!param) return 0;
  switch (command) {
    case ECTL_GETSTRING:
      return GetString(*this, static_cast<EditorGetString*>(param));
    case ECTL_SETSTRING:
      return SetString(*this, static_cast<const EditorSetString*>(param));
    case ECTL_GETINFO:
      return GetInfo(*this, static_cast<EditorInfo*>(param));
    case ECTL_SETPOSITION:
      return SetPosition(*this, static_cast<const EditorSetPosition*>(param));
    case ECTL_SELECT:
      return SelectBlock(*this, static_cast<const EditorSelect*>(param));
    case ECTL_EDITORTOOEM:
    case ECTL_OEMTOEDITOR:
      return ConvertTable(*this, static_cast<const EditorConvertText*>(param),
                          command == ECTL_EDITORTOOEM);
    default:
      return 0;
  }
}

std::string EditorBuffer::Text() const {
  std::string bytes;
  for (const EditorLine& line : lines) bytes += line.text + line.eol;
  return bytes;
}

void EditorBuffer::SetText(const std::string& bytes) {
  lines.clear();
  EditorLine line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      line.text += c;
      continue;
    }
    line.eol =
        c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? "\r\n" : std::string(1, c);
    i += line.eol.size() - 1;
    lines.push_back(std::move(line));
    line = EditorLine{};
  }
  lines.push_back(std::move(line));  // the last line, without an end
  curLine = curPos = topScreenLine = leftPos = 0;
  block = EditorBlock{};
  modified = false;
}

void EditorBuffer::Select(const EditorBlock& selected) {
  block = selected.type == BTYPE_NONE ? EditorBlock{} : selected;
}

void EditorBuffer::LineSelection(int line, int* selStart, int* selEnd) const {
  *selStart = -1;
  *selEnd = -1;
  if (block.type == BTYPE_NONE || line < block.startLine || line > block.endLine) return;
  // A block that ends at the very start of a later line holds nothing of that line.
  if (line == block.endLine && line != block.startLine && block.endPos == 0) return;
  *selStart = line == block.startLine ? block.startPos : 0;
  *selEnd = line == block.endLine ? block.endPos : -1;
}

bool LoadEditorFile(const std::string& path, EditorBuffer* editor, std::string* error) {
  std::string bytes;
  std::string reason;
  // Line lengths and counts are ints in the editor records.
  switch (platform::ReadWholeFile(path.c_str(), INT_MAX, &bytes, &reason)) {
    case platform::ReadResult::kRead:
      break;
    case platform::ReadResult::kNotRegular:
      *error = path + ": not a regular file";
      return false;
    case platform::ReadResult::kTooLarge:
      *error = path + ": too large for the editor";
      return false;
    case platform::ReadResult::kMissing:
    case platform::ReadResult::kCannotOpen:
    case platform::ReadResult::kCannotRead:
      *error = path + ": " + reason;
      return false;
  }
  editor->SetText(bytes);
  editor->fileName = path;
  return true;
}

bool SaveEditorFile(const EditorBuffer& editor, const std::string& path, std::string* error) {
  // Through a link the file it points at is rewritten, and the link stays a link.
  char resolved[kResolvedPathBuffer];
  const std::string target =
      platform::ResolveFilePath(path.c_str(), resolved, sizeof resolved) ? resolved : path;
  platform::FileInfo info;
  const std::uint32_t mode =
      platform::QueryFileInfo(target.c_str(), &info) ? info.mode : platform::DefaultFileMode();
  const std::size_t slash = target.find_last_of(platform::kPathSeparators);
  const std::string folder =
      slash == std::string::npos ? std::string(".") : target.substr(0, slash);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

  // The new version is written beside the file under a name nobody else uses, then put
  // in its place in one step.
  std::random_device random;
  std::string temp;
  platform::File file;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder + platform::kPathSeparator + "." + name + ".quarix-" + std::to_string(random());
    if (file.CreateNew(temp.c_str(), mode)) break;
    const std::string reason = platform::DescribeLastError();
    if (!platform::PathExists(temp.c_str())) {
      *error = folder + ": cannot create a file to save into: " + reason;
      return false;
    }
  }
  if (!file.IsOpen()) {
    *error = folder + ": cannot create a file to save into: every name tried is taken";
    return false;
  }
  const std::string bytes = editor.Text();
  const bool written = file.Write(bytes.data(), bytes.size());
  std::string reason = written ? std::string() : platform::DescribeLastError();
  // Close puts the bytes on the disk: only then may the new version replace the old one.
  if (!file.Close() && written) reason = platform::DescribeLastError();
  if (!reason.empty()) {
    *error = path + ": cannot write: " + reason + "; the file is unchanged";
    platform::DeleteFile(temp.c_str());
    return false;
  }
  if (!platform::RenameReplace(temp.c_str(), target.c_str())) {
    *error = path + ": cannot replace the file: " + platform::DescribeLastError() +
             "; it is unchanged";
    platform::DeleteFile(temp.c_str());
    return false;
  }
  return true;
}

// ---- The host's side --------------------------------------------------------------------

bool Host::OpenEditor(const std::string& path, std::string* error) {
  auto opened = std::make_unique<EditorBuffer>();
  std::string reason;
  if (!LoadEditorFile(path, opened.get(), &reason)) {
    if (error) *error = reason;
    return false;
  }
  editor_ = std::move(opened);
  return true;
}

EditorBuffer& Host::OpenEditorText(const std::string& bytes, const std::string& fileName) {
  editor_ = std::make_unique<EditorBuffer>();
  editor_->SetText(bytes);
  editor_->fileName = fileName;
  return *editor_;
}

bool Host::SaveEditor(std::string* error) {
  std::string reason = "no file is open in the editor";
  if (editor_ && SaveEditorFile(*editor_, editor_->fileName, &reason)) {
    editor_->modified = false;
    return true;
  }
  if (error) *error = reason;
  return false;
}

void Host::CloseEditor() { editor_.reset(); }

}  // namespace host
