// Language files: ".Language=Name,Description" on the first line that is neither blank
// nor a "//" comment, then one double-quoted text per line, message 0 first. The bytes
// between the quotes are taken as they are (OEM code page; no escapes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

struct LanguageFile {
  std::string name;         // "English", "Russian", ...
  std::string description;  // what follows the comma
  std::vector<std::string> messages;
  bool markedUtf8 = false;  // the file began with a UTF-8 byte order mark
};

// False when the bytes carry no ".Language=" header.
bool ParseLanguageFile(std::string_view bytes, LanguageFile* out);
// False when the file cannot be read or is not a language file.
bool ReadLanguageFile(const std::string& path, LanguageFile* out);
// Puts the texts in the text model the plugins are given: a file without a UTF-8 mark is
// in the OEM code page, one with the mark in UTF-8. To UTF-8 a byte the code page leaves
// undefined becomes U+FFFD; to OEM a character the code page cannot spell becomes '?'.
void ConvertLanguageFile(LanguageFile* file, bool utf8Model);
// Among the folder's *.lng files (in name order): the one for language (ASCII letters
// compared without case), else the English one, else the first. "" when there is none.
std::string ChooseLanguageFile(const std::string& folder, const std::string& language);

// Compares two texts folding only the ASCII letters, as the host compares names.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace host
