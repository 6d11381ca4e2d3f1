// The host editor as Linquo reaches it: thin calls of the EditorControl service.
#pragma once

#include <string>

#include "far/plugin.h"

// False when the host has no editor open (the record is left zeroed).
bool GetEditorInfo(EditorInfo* info);
// Line number, or -1 for the cursor line. False when the line does not exist.
bool GetEditorLine(int number, EditorGetString* line);
void SetEditorLine(int number, const char* text, int length, const char* eol);
// -1 leaves a field as it is.
void SetEditorPosition(int line, int pos, int topScreenLine = -1);
// A stream block of width characters in one line.
void SelectInEditor(int line, int pos, int width);
void ClearEditorSelection();
void RedrawEditor();
// Whether the editor shows its file in a table other than OEM (ANSI, or a user table):
// the texts Linquo takes from its dialogs are OEM and must then be converted.
bool IsOtherTableShown(const EditorInfo& info);
// Converts text in place, one byte for one, from OEM to the editor's table or back.
// A host without the conversion leaves the text as it is.
void ConvertOemToEditor(std::string* text);
void ConvertEditorToOem(std::string* text);
