// The host's editor: a buffer of lines, each with its own end-of-line string, a cursor,
// a stream selection and the window's top line, answering the plugins' EditorControl
// commands. Loading and saving keep every byte.
#pragma once

#include <string>
#include <vector>

#include "far/plugin.h"

namespace host {

struct EditorLine {
  std::string text;
  std::string eol;  // "\r\n", "\n", "\r", or "" (only the last line of a file)
};

// A stream block from (startLine, startPos) up to (endLine, endPos), the end exclusive.
struct EditorBlock {
  int type = BTYPE_NONE;
  int startLine = 0;
  int startPos = 0;
  int endLine = 0;
  int endPos = 0;
};

struct EditorBuffer {
  std::string fileName;
  std::vector<EditorLine> lines{EditorLine{}};  // never empty
  int curLine = 0;
  int curPos = 0;  // may lie beyond the line's end
  int topScreenLine = 0;
  int leftPos = 0;
  int overtype = 0;
  // The file is shown in the ANSI table instead of OEM (as the real editor's F8 does): its
  // bytes stay as they are, and the plugins convert their OEM texts for it.
  bool ansiTable = false;
  EditorBlock block;
  bool modified = false;
  int redraws = 0;
  int blocksSelected = 0;  // stream blocks selected through ECTL_SELECT
  int linesSet = 0;        // lines handed over through ECTL_SETSTRING, changed or not

  // Answers one EditorControl command; 0 for a command or record it cannot take.
  int Control(int command, void* param);

  // The buffer as a file holds it.
  std::string Text() const;
  // The file's bytes split into lines: a line ends at CR LF, LF or CR (LF CR is two ends).
  void SetText(const std::string& bytes);
  // Selects the block; BTYPE_NONE clears it.
  void Select(const EditorBlock& block);
  // The selected part of a line as ECTL_GETSTRING reports it: -1/-1 outside the block,
  // SelEnd -1 when the block goes on past the line's end.
  void LineSelection(int line, int* selStart, int* selEnd) const;
};

// False with a reason in *error when the file cannot be read.
bool LoadEditorFile(const std::string& path, EditorBuffer* editor, std::string* error);
// Writes the buffer to a new file in the same folder and renames it over path, keeping
// the old file's permission bits: a failed save leaves the old file as it was.
bool SaveEditorFile(const EditorBuffer& editor, const std::string& path, std::string* error);

}  // namespace host
