// The single-byte code pages a file without a byte order mark may be read through, and
// the stored list of them (the "Encodings" setting, `--encoding` in the quarix program).
#pragma once

#include <string>
#include <vector>

struct CodePage {
  const char* name;     // as the setting spells it: "windows-1251"
  const char* aliases;  // other spellings, separated by blanks: "cp1251 1251"
  // The character of each byte from 0x80 up; 0xFFFF where the byte means nothing.
  char16_t upper[128];
};

// Generated from the code pages' published mappings (code_page_tables.cpp).
extern const CodePage kCodePages[];
extern const int kCodePageCount;

// What one entry of the list names, beside the code pages.
enum class ReadingKind {
  kCodePage,
  kUtf8,     // UTF-8 (in the OEM text model, read into the OEM code page)
  kUtf16Le,  // UTF-16 without a byte order mark
  kUtf16Be,
};

struct Reading {
  ReadingKind kind = ReadingKind::kCodePage;
  const CodePage* codePage = nullptr;
  bool operator==(const Reading&) const = default;
};

// The code page or encoding a name stands for, whatever the case of its letters. False for
// a name it does not know.
bool FindReading(const std::string& name, Reading* reading);
// Reads a list of names separated by commas or blanks. "auto" (or an empty list) adds
// nothing: files without a byte order mark are then read as they are, which is the
// default. False with the first unknown name in *unknown.
bool ParseReadings(const std::string& list, std::vector<Reading>* readings,
                   std::string* unknown = nullptr);
// The names the setting knows, separated by ", ", for help texts and errors.
std::string ListReadingNames();
